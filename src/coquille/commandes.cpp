#include "coquille/commandes.h"

#include "apropos/fl_propos.h"
#include "apropos/liens.h"
#include "chaines/fl_chaine.h"
#include "chaines/gest_chaines.h"
#include "coquille/application.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_ce_soir.h"
#include "vues/fl_grille.h"
#include "vues/fl_recherche.h"

#include <QPointer>

namespace zapo::coquille {

void executer_commande(fl_init& agent, contexte& ctx, vues::fl_main& w, vues::fl_main::commande c) {
    using commande = vues::fl_main::commande;
    switch (c) {
    case commande::mettre_a_jour:
        agent.lancer_maj();
        break;
    case commande::date_base:
        vues::adate_Click(ctx);
        break;
    case commande::fermer:
        agent.fermer_fenetre();
        break;
    case commande::quitter:
        agent.aquitter_Click();
        break;
    case commande::majauto:
        agent.cmajauto_Click();
        break;
    case commande::connexion_auto:
        agent.cconnectauto_Click();
        break;
    case commande::deconnexion_auto:
        agent.cdecauto_Click();
        break;
    case commande::agent:
        agent.cagent_Click();
        break;
    case commande::ajouter_chaine:
        chaines::fl_chaine::afficher(ctx, w.lst_images());
        break;
    case commande::supprimer_chaine:
        chaines::supprimer_chaine(ctx, w.chaine_selectionnee());
        break;
    case commande::vider_chaines:
        chaines::vider_chaines(ctx);
        break;
    case commande::rechercher:
        // A chosen row shows its channel in the main window, loaded again if it was closed.
        vues::fl_recherche::afficher(ctx, [&agent](const vues::cible_programme& cible) {
            agent.montrer_dans_fenetre([&](vues::fl_main& f) { f.montrer_programme(cible); });
        });
        break;
    case commande::ce_soir:
        // "Ce soir sur toutes les chaînes": a row goes to its channel the same way.
        vues::fl_ce_soir::afficher(ctx, [&agent](int chaine, qint64 debut) {
            agent.montrer_dans_fenetre([&](vues::fl_main& f) { f.montrer_programme(chaine, debut); });
        });
        break;
    case commande::grille:
        // A double-click on a channel's name shows it there too.
        vues::fl_grille::afficher(ctx, [&agent](int chaine) {
            agent.montrer_dans_fenetre([&](vues::fl_main& f) { f.montrer_chaine(chaine); });
        });
        break;
    case commande::a_propos:
        apropos::fl_propos::afficher(ctx);
        break;
    case commande::aide:
        apropos::afficher_aide(ctx);
        break;
    }
}

} // namespace zapo::coquille
