#include "views/clics_vues.h"

#include "core/version.h"
#include "views/annonce.h"
#include "views/fl_main.h"

#include <QPointer>
#include <QSignalBlocker>

namespace zapo::vues {

QString titre_fenetre() {
    return QStringLiteral("Zapo-TV  ") + texte_version();
}

void rafraichir_fenetre(contexte& ctx, vues::fl_main& f) {
    auto& g = ctx.g;
    f.cagent->setChecked(g.opt_agent);
    f.cconnectauto->setChecked(g.opt_connexion);
    f.cdecauto->setChecked(g.opt_deconnexion);
    f.cmajauto->setChecked(g.opt_majauto);
    f.setWindowTitle(titre_fenetre());
    g.chaine_courante = 1;
    remplir_chaines(ctx, f);
    vues::ecrire_texte(f.txt_etat, g.texte_etat);
    if (!verifier_base(ctx) && g.opt_majauto && ctx.appli) {
        // The run's loops let the user close the window, or quit, meanwhile.
        const QPointer<vues::fl_main> garde_f(&f);
        ctx.appli->lancer_maj();
        if (!garde_f || garde_f->est_dechargee())
            return;
    }
    remplir_programmes(ctx, f);
    f.show();
    affiche_actuel(ctx, f);
    if (f.lst_chaines->topLevelItemCount() > 0) {
        {
            const QSignalBlocker bloque(f.lst_chaines);
            f.lst_chaines->setCurrentItem(f.lst_chaines->topLevelItem(0));
        }
        // The first row is selected as if clicked: channels are numbered from 2,
        // so keeping channel 1 current would leave the panel empty until a click.
        lst_chaines_ItemClick(ctx, f);
    }
}

} // namespace zapo::vues
