#include "vues/largeurs.h"

#include "vues/outils_vues.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <optional>
#include <utility>

namespace zapo::vues {

namespace {

constexpr int largeur_chaine_dessinee = 1520; // twips
// Room around a cell's text and between the logo and the name.
constexpr int marges = 16;

} // namespace

int largeur_texte_noms(const QTreeWidget* l) {
    // Shaping every name is what costs; the list is measured again on each
    // resize (the first show brings one right after the fill), mostly with the
    // same names and font: the last answer is kept for those.
    // The font as text: a font kept past the application's end would free
    // engines the application has already freed.
    struct mesure {
        QString police;
        int ppp = 0; // the font's dots per inch come from the list's screen
        QStringList noms;
        int largeur = 0;
    };
    static std::optional<mesure> derniere;
    QStringList noms;
    noms.reserve(l->topLevelItemCount());
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        noms << l->topLevelItem(i)->text(0);
    const QString police = l->font().toString();
    const int ppp = l->logicalDpiY();
    if (derniere && derniere->ppp == ppp && derniere->police == police && derniere->noms == noms)
        return derniere->largeur;
    const QFontMetrics fm(l->font());
    int texte = 0;
    for (const QString& n : std::as_const(noms))
        texte = std::max(texte, fm.horizontalAdvance(n));
    derniere = mesure{police, ppp, std::move(noms), texte};
    return texte;
}

int largeur_noms(const QTreeWidget* l, int texte) {
    const int retrait = l->rootIsDecorated() ? l->indentation() : 0;
    return retrait + l->iconSize().width() + marges + texte;
}

int largeur_noms(const QTreeWidget* l) {
    return largeur_noms(l, largeur_texte_noms(l));
}

void elargir_derniere_colonne(QTreeWidget* l, int dessinee) {
    const int derniere = l->columnCount() - 1;
    if (derniere < 0)
        return;
    int place =
        l->width() - 2 * l->frameWidth() - l->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, l);
    for (int c = 0; c < derniere; ++c)
        if (!l->isColumnHidden(c))
            place -= l->columnWidth(c);
    l->setColumnWidth(derniere, std::max(dessinee, place));
}

void ajuster_colonne_chaine(QTreeWidget* l, int programme) {
    const int dessinee = pixels(largeur_chaine_dessinee);
    const int chaine = std::max(dessinee, largeur_noms(l));
    // The width the columns may take without a sideways scroll bar.
    int place = l->width() - 2 * l->frameWidth();
    if (l->topLevelItemCount() > 12)
        place -= l->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, l);
    int autres = 0;
    for (int c = 2; c < l->columnCount(); ++c)
        if (!l->isColumnHidden(c))
            autres += l->columnWidth(c);
    const int manque = std::max(0, chaine + programme + autres - place);
    l->setColumnWidth(0, chaine);
    l->setColumnWidth(1, std::max(dessinee, programme - manque));
}

} // namespace zapo::vues
