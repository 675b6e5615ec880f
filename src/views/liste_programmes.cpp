#include "data/base_programmes.h"
#include "data/details.h"
#include "views/clics_vues.h"
#include "views/fl_details.h"
#include "views/fl_main.h"
#include "views/largeurs.h"
#include "views/outils_vues.h"
#include "views/rappels_vues.h"

#include <QCollator>
#include <QFontMetrics>
#include <QHeaderView>

namespace zapo::vues {

namespace {

// Text order as a French reader expects it: accents and case do not split
// "Été" from "ete"; equal texts keep their stored order (the sort is stable).
class ligne_programme final : public QTreeWidgetItem {
public:
    bool operator<(const QTreeWidgetItem& autre) const override {
        const int c = treeWidget() ? treeWidget()->sortColumn() : 0;
        return comparateur().compare(text(c), autre.text(c)) < 0;
    }

private:
    static const QCollator& comparateur() {
        static const QCollator col = [] {
            QCollator c{QLocale(QLocale::French, QLocale::France)};
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        return col;
    }
};

void preparer_colonnes(QTreeWidget* l) {
    if (l->columnCount() == 4 && l->headerItem()->text(3) == QLatin1String("Programme"))
        return;
    l->setColumnCount(4);
    l->setHeaderLabels(
        {QString(), QStringLiteral("Début"), QStringLiteral("Fin"), QStringLiteral("Programme")});
    QTreeWidgetItem* entete = l->headerItem();
    entete->setTextAlignment(1, Qt::AlignCenter);
    entete->setTextAlignment(2, Qt::AlignCenter);
    entete->setToolTip(0, QStringLiteral("Programme en cours"));
    QHeaderView* h = l->header();
    h->setStretchLastSection(false);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setSectionsClickable(true);
    // The drawn widths (80 and 400 twips) would hide the mark and cut the times
    // in today's fonts: those columns get at least what they hold.
    const QFontMetrics fm(l->font());
    const int heure = fm.horizontalAdvance(QStringLiteral("00:00")) + 12;
    l->setColumnWidth(0, std::max(vues::pixels(80), l->iconSize().width() + 8));
    l->setColumnWidth(1, std::max(vues::pixels(400), heure));
    l->setColumnWidth(2, std::max(vues::pixels(400), heure));
    l->setColumnWidth(3, vues::pixels(2000));
    vues::elargir_derniere_colonne(l, vues::pixels(2000));
}

} // namespace

void remplir_programmes(contexte& ctx, vues::fl_main& f) {
    QTreeWidget* l = f.lst_prog;
    l->clear();
    preparer_colonnes(l);
    QList<QTreeWidgetItem*> lignes;
    {
        donnees::base_programmes base(ctx.chemin_base());
        const QHash<qint64, details_programme> details =
            donnees::lire_details_chaine(base, ctx.g.chaine_courante);
        int position = 0;
        base.parcourir_chaine(ctx.g.chaine_courante, [&](const donnees::ligne_liste& r) {
            auto* it = new ligne_programme;
            it->setData(0, vues::role_num_chaine, r.chaine);
            it->setData(0, vues::role_debut, qint64(r.hdeb.secondes()));
            it->setData(0, vues::role_position, ++position);
            it->setData(0, vues::role_num_chaine, r.chaine);
            it->setData(0, vues::role_debut, qint64(r.hdeb.secondes()));
            it->setText(1, r.hdeb.format_hhnn());
            it->setText(2, r.hfin.format_hhnn());
            it->setText(3, r.programme);
            it->setToolTip(3, vues::infobulle(r.programme));
            if (const auto d = details.constFind(r.hdeb.secondes()); d != details.cend()) {
                const QString bulle = vues::infobulle(r.programme + QLatin1Char('\n') + resume_details(*d));
                for (int c = 1; c <= 3; ++c)
                    it->setToolTip(c, bulle);
            }
            it->setTextAlignment(1, Qt::AlignCenter);
            it->setTextAlignment(2, Qt::AlignCenter);
            lignes << it;
        });
    }
    l->addTopLevelItems(lignes);
    vues::marquer_rappels(ctx, l, 3);
    // Once the user has sorted, later fillings keep that order.
    if (l->header()->isSortIndicatorShown())
        l->sortItems(l->header()->sortIndicatorSection(), Qt::AscendingOrder);
}

void choix_chaine(contexte& ctx, vues::fl_main& f) {
    remplir_programmes(ctx, f);
    affiche_actuel(ctx, f);
}

void lst_chaines_ItemClick(contexte& ctx, vues::fl_main& f) {
    int num = 0;
    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = f.lst_chaines->topLevelItem(i);
        if (it->isSelected())
            num = it->data(0, vues::role_num_chaine).toInt();
    }
    if (num != ctx.g.chaine_courante) {
        ctx.g.chaine_courante = num;
        choix_chaine(ctx, f);
    }
}

void lst_prog_ColumnClick(vues::fl_main& f, int colonne) {
    // Always ascending: a second click on the same header changes nothing.
    QHeaderView* h = f.lst_prog->header();
    h->setSortIndicatorShown(true);
    h->setSortIndicator(colonne, Qt::AscendingOrder);
    f.lst_prog->sortItems(colonne, Qt::AscendingOrder);
}

void lst_prog_ItemActivated(contexte& ctx, vues::fl_main& f) {
    const QTreeWidgetItem* it = f.lst_prog->currentItem();
    if (!it)
        return;
    const QVariant debut = it->data(0, vues::role_debut);
    if (!debut.isValid())
        return;
    std::optional<details_programme> d;
    {
        donnees::base_programmes base(ctx.chemin_base(), donnees::base_programmes::ouverture::lecture_seule);
        d = donnees::lire_details(base, it->data(0, vues::role_num_chaine).toInt(),
                                  date_heure::depuis_secondes(debut.toLongLong()));
    }
    vues::fl_details::afficher(it->text(3), d.value_or(details_programme{}), &f);
}

void montrer_programme(contexte& ctx, vues::fl_main& f, int num_chaine, qint64 debut) {
    if (QTreeWidgetItem* it = ligne_chaine(f.lst_chaines, num_chaine)) {
        f.lst_chaines->setCurrentItem(it);
        f.lst_chaines->scrollToItem(it);
    }
    // As a click on the row: the programme list and the panel follow.
    lst_chaines_ItemClick(ctx, f);
    if (ctx.g.chaine_courante != num_chaine || debut == 0)
        return;
    QTreeWidget* l = f.lst_prog;
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = l->topLevelItem(i);
        if (it->data(0, vues::role_debut).toLongLong() == debut) {
            l->setCurrentItem(it);
            l->scrollToItem(it);
            break;
        }
    }
}

} // namespace zapo::vues
