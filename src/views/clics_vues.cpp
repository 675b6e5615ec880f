#include "views/clics_vues.h"

#include "core/version.h"
#include "views/fl_main.h"

#include <QSignalBlocker>

namespace zapo::clics {

QString titre_fenetre() { return QStringLiteral("Zapo-TV  ") + texte_version(); }

void rafraichir_fenetre(contexte& ctx, vues::fl_main& f) {
    auto& g = ctx.g;
    f.cagent->setChecked(g.opt_agent);
    f.cconnectauto->setChecked(g.opt_connexion);
    f.cdecauto->setChecked(g.opt_deconnexion);
    f.cmajauto->setChecked(g.opt_majauto);
    f.setWindowTitle(titre_fenetre());
    g.chaine_courante = 1;
    remplir_chaines(ctx, f);
    f.txt_etat->setText(g.texte_etat);
    if (!verifier_base(ctx) && g.opt_majauto && ctx.lancer_maj)
        ctx.lancer_maj();
    remplir_programmes(ctx, f);
    f.show();
    affiche_actuel(ctx, f);
    if (f.lst_chaines->topLevelItemCount() > 0) {
        // Selecting from code is not a click: the current channel stays 1.
        const QSignalBlocker bloque(f.lst_chaines);
        f.lst_chaines->topLevelItem(0)->setSelected(true);
    }
}

} // namespace zapo::clics
