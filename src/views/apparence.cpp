#include "views/apparence.h"

#include <QPalette>
#include <QWidget>

namespace zapo::vues {

void colorer_fond(QWidget* w) {
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(192, 255, 255));
    // A fixed background takes a fixed text colour, or a dark theme writes light on light.
    pal.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(pal);
}

void colorer_liste(QWidget* liste) {
    QPalette pal = liste->palette();
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
