#include "modele/guide.h"
#include "ui_fl_main.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_details.h"
#include "vues/fl_main.h"
#include "vues/largeurs.h"
#include "vues/outils_vues.h"
#include "vues/rappels_vues.h"

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

void fl_main::remplir_programmes() {
    QTreeWidget* l = ui->lst_prog;
    l->clear();
    preparer_colonnes(l);
    QList<QTreeWidgetItem*> lignes;
    {
        modele::guide& g = modele::guide_de(ctx_);
        const QHash<qint64, details_programme> details = g.details_chaine(chaine_courante_);
        int position = 0;
        g.parcourir_chaine(chaine_courante_, [&](const donnees::ligne_liste& r) {
            auto* it = new ligne_programme;
            it->setData(0, vues::role_num_chaine, r.chaine);
            it->setData(0, vues::role_debut, qint64(r.hdeb.secondes()));
            it->setData(0, vues::role_position, ++position);
            it->setText(1, r.hdeb.format_hhnn());
            it->setText(2, r.hfin.format_hhnn());
            it->setText(3, texte_inerte(r.programme));
            it->setToolTip(3, vues::infobulle(r.programme));
            if (const auto d = details.constFind(r.hdeb.secondes()); d != details.cend()) {
                const QString bulle = infobulle_details(r.programme, &*d);
                for (int c = 1; c <= 3; ++c)
                    it->setToolTip(c, bulle);
            }
            it->setTextAlignment(1, Qt::AlignCenter);
            it->setTextAlignment(2, Qt::AlignCenter);
            lignes << it;
        });
    }
    l->addTopLevelItems(lignes);
    vues::marquer_rappels(ctx_, l, 3);
    // Once the user has sorted, later fillings keep that order.
    if (l->header()->isSortIndicatorShown())
        l->sortItems(l->header()->sortIndicatorSection(), Qt::AscendingOrder);
}

void fl_main::choix_chaine() {
    const modele::guide::seance s(modele::guide_de(ctx_));
    remplir_programmes();
    affiche_actuel();
}

void fl_main::lst_chaines_ItemClick() {
    const int num = chaine_selectionnee();
    if (num != chaine_courante_) {
        chaine_courante_ = num;
        choix_chaine();
    }
}

void fl_main::lst_prog_ColumnClick(int colonne) {
    // Always ascending: a second click on the same header changes nothing.
    QHeaderView* h = ui->lst_prog->header();
    h->setSortIndicatorShown(true);
    h->setSortIndicator(colonne, Qt::AscendingOrder);
    ui->lst_prog->sortItems(colonne, Qt::AscendingOrder);
}

void fl_main::lst_prog_ItemActivated() {
    const QTreeWidgetItem* it = ui->lst_prog->currentItem();
    if (!it)
        return;
    const QVariant debut = it->data(0, vues::role_debut);
    if (!debut.isValid())
        return;
    vues::fl_details::afficher(ctx_, it->data(0, vues::role_num_chaine).toInt(),
                               date_heure::depuis_secondes(debut.toLongLong()), it->text(3), this);
}

} // namespace zapo::vues
