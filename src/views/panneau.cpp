#include "data/base_programmes.h"
#include "views/clics_vues.h"
#include "views/fl_main.h"

#include "core/horloge.h"

#include <QLocale>

namespace zapo::clics {

void affiche_date(contexte& ctx, vues::fl_main& f) {
    f.txt_date->setText(
        QLocale(QLocale::French).toString(ctx.horloge_->maintenant(), QStringLiteral("dddd d MMMM yyyy   HH:mm")));
}

void vider_panneau(vues::fl_main& f) {
    for (QLabel* l : {f.txt_hd1, f.txt_hd2, f.txt_hd3, f.txt_hd4, f.txt_hf1, f.txt_hf2, f.txt_hf3, f.txt_hf4, f.txt1,
                      f.txt2, f.txt3, f.txt4}) {
        l->clear();
        l->setToolTip(QString());
    }
    f.progres->setValue(0);
    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i) {
        f.lst_chaines->topLevelItem(i)->setText(1, QStringLiteral("..."));
        f.lst_chaines->topLevelItem(i)->setText(2, QString());
    }
}

void affiche_actuel(contexte& ctx, vues::fl_main& f) {
    affiche_date(ctx, f);
    vider_panneau(f);
}

void tps_minute_Timer(contexte& ctx, vues::fl_main& f) {
    f.txt_etat->setText(ctx.g.texte_etat);
    if (!ctx.g.maj_en_cours)
        affiche_actuel(ctx, f);
}

} // namespace zapo::clics
