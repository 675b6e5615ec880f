#include "suivi/executer_maj.h"

#include "suivi/fl_connect.h"
#include "suivi/fl_maj.h"

#include "liaison/garde.h"
#include "modele/guide.h"

namespace zapo::suivi {

maj::fin_maj executer_maj(contexte& ctx, maj::branchements b,
                          const std::function<void(fl_maj&)>& a_l_ouverture) {
    maj::etat_maj etat_propre;
    if (!b.etat)
        b.etat = &etat_propre;
    maj::etat_maj& g = *b.etat;
    maj::fin_maj fin = maj::fin_maj::erreur;
    QString erreur;
    {
        fl_maj f;
        f.setWindowModality(Qt::ApplicationModal);
        f.show();
        f.commencer_run(&g.arret_demande);
        // A failure ends the run as an error, with its text in the box below.
        erreur = liaison::attraper([&] {
                     if (!b.demander_connexion)
                         b.demander_connexion = [&ctx, &f] { return demander_connexion(ctx, &f); };
                     if (a_l_ouverture)
                         a_l_ouverture(f);
                     maj::pilote_maj p(ctx, f, std::move(b));
                     fin = p.maj_programmes();
                 }).value_or(QString());
        f.finir_run();
        f.close();
    }
    // The run told the guide how it ended (the reminders followed, the windows heard).
    if (fin == maj::fin_maj::erreur) {
        // The status line must not go on saying that a run is going.
        g.maj_echouee = true;
        modele::guide_de(ctx).definir_statut(modele::statut_maj::echec);
        if (ctx.boites) {
            QString texte = QStringLiteral("La mise à jour des programmes s'est arrêtée.");
            if (!erreur.isEmpty())
                texte += QLatin1Char('\r') + erreur;
            texte += QStringLiteral("\rLes programmes déjà enregistrés sont conservés.");
            try {
                ctx.boites->afficher(QStringLiteral("Zapo-TV"), texte, icone_boite::critique);
            } catch (...) {
            }
        }
    }
    return fin;
}

} // namespace zapo::suivi
