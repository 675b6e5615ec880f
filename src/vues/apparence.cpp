#include "vues/apparence.h"

#include "composants/dessin_fixe.h"

#include <QPalette>
#include <QWidget>

namespace zapo::vues {

void colorer_fond(QWidget* w) {
    // A fixed background takes fixed colours for all it holds, or a dark theme
    // writes light on light and puts dark buttons on it.
    composants::palette_fixe(w, QColor(192, 255, 255), Qt::black);
}

void colorer_liste(QWidget* liste) {
    // Only these two roles: the rest comes from the window, as fixed as it is.
    QPalette pal;
    pal.setColor(QPalette::Base, QColor(192, 192, 255));
    pal.setColor(QPalette::Text, Qt::black);
    liste->setPalette(pal);
    liste->setFont(police_liste());
}

QFont police_liste() {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(9.75);
    return f;
}

} // namespace zapo::vues
