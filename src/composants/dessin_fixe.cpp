#include "composants/dessin_fixe.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QWidget>

namespace zapo::composants {

QFont police_dessin() {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(9);
    return f;
}

namespace {

// A style sheet on the control or above it, or on the whole application.
bool sous_feuille_de_style(const QWidget* w) {
    if (!qApp->styleSheet().isEmpty())
        return true;
    for (; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (!w->styleSheet().isEmpty())
            return true;
    return false;
}

} // namespace

void fixer_police(QWidget* fenetre) {
    const QFont police = police_dessin();
    fenetre->setFont(police);
    // A control with a style sheet takes what its own font leaves unsaid from
    // the desktop's font, not from its window's: every control says it all.
    for (QWidget* w : fenetre->findChildren<QWidget*>()) {
        // The others inherit it as they are: setting it on each costs a pass
        // over their own children.
        if (!w->isWindow() && !sous_feuille_de_style(w))
            continue;
        QFont f = w->font().resolve(police);
        f.setFamilies(f.families());
        f.setPointSizeF(f.pointSizeF());
        f.setWeight(f.weight());
        f.setItalic(f.italic());
        f.setUnderline(f.underline());
        w->setFont(f);
    }
}

void palette_fixe(QWidget* zone, const QColor& fond, const QColor& texte) {
    // The style's own palette is its light one, whatever the desktop's theme.
    QPalette pal = zone->style()->standardPalette();
    // Every role set here, so that none comes from the desktop's palette.
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto groupe = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            if (role != QPalette::NoRole)
                pal.setBrush(groupe, role, pal.brush(groupe, role));
        }
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Window, fond);
        pal.setColor(g, QPalette::WindowText, texte);
    }
    pal.setColor(QPalette::Disabled, QPalette::Window, fond);
    zone->setPalette(pal);
    zone->setAutoFillBackground(true);
}

} // namespace zapo::composants
