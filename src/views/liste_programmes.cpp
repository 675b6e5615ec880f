#include "data/base_programmes.h"
#include "views/clics_vues.h"
#include "views/fl_main.h"

namespace zapo::clics {

void remplir_programmes(contexte& ctx, vues::fl_main& f) {
    donnees::base_programmes base(ctx.chemin_base());
    QTreeWidget* l = f.lst_prog;
    l->clear();
    l->setColumnCount(4);
    l->setHeaderLabels({QString(), QStringLiteral("Début"), QStringLiteral("Fin"), QStringLiteral("Programme")});
    base.parcourir_liste([&](const donnees::ligne_liste& r) {
        if (r.chaine != ctx.g.chaine_courante)
            return;
        auto* it = new QTreeWidgetItem(l);
        it->setText(1, r.hdeb.format_hhnn());
        it->setText(2, r.hfin.format_hhnn());
        it->setText(3, r.programme);
    });
}

void choix_chaine(contexte& ctx, vues::fl_main& f) {
    remplir_programmes(ctx, f);
    affiche_actuel(ctx, f);
}

void lst_chaines_ItemClick(contexte& ctx, vues::fl_main& f) {
    int num = 0;
    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i)
        if (f.lst_chaines->topLevelItem(i)->isSelected())
            num = f.lst_chaines->topLevelItem(i)->text(3).toInt();
    if (num != ctx.g.chaine_courante) {
        ctx.g.chaine_courante = num;
        choix_chaine(ctx, f);
    }
}

void lst_prog_ColumnClick(vues::fl_main& f, int colonne) {
    f.lst_prog->setSortingEnabled(false);
    f.lst_prog->sortItems(colonne, Qt::AscendingOrder);
}

} // namespace zapo::clics
