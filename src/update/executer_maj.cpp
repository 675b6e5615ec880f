#include "update/executer_maj.h"

#include "update/fl_connect.h"
#include "update/fl_maj.h"
#include "update/minuterie_rappels.h"

namespace zapo::maj {

fin_maj executer_maj(contexte& ctx, branchements b, const std::function<void(fl_maj&)>& a_l_ouverture) {
    etat_maj etat_propre;
    if (!b.etat)
        b.etat = &etat_propre;
    etat_maj& g = *b.etat;
    fin_maj fin = fin_maj::erreur;
    QString erreur;
    {
        fl_maj f;
        f.setWindowModality(Qt::ApplicationModal);
        f.show();
        g.maj_en_cours = true;
        f.commencer_run(&g.arret_demande);
        try {
            if (!b.demander_connexion)
                b.demander_connexion = [&ctx, &f] { return demander_connexion(ctx, &f); };
            if (a_l_ouverture)
                a_l_ouverture(f);
            pilote_maj p(ctx, f, std::move(b));
            fin = p.maj_programmes();
        } catch (const std::bad_alloc&) {
            erreur = QStringLiteral("Mémoire insuffisante.");
        } catch (const std::exception& e) {
            erreur = QString::fromUtf8(e.what());
        } catch (...) {
            erreur = QStringLiteral("Une erreur inattendue est survenue.");
        }
        f.finir_run();
        f.close();
        g.maj_en_cours = false;
    }
    // New programmes: reminders follow theirs and the favourite words add their own.
    // A cancelled or broken run may have renewed some channels too.
    if (fin != fin_maj::echec_connexion) {
        try {
            ajuster_rappels_apres_maj(ctx);
        } catch (const std::exception& e) {
            qWarning("Rappels non ajustés après la mise à jour : %s", e.what());
        }
    }
    if (fin == fin_maj::erreur) {
        // The status line must not go on saying that a run is going.
        g.maj_echouee = true;
        g.texte_etat = QStringLiteral("La mise à jour a échoué.");
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

} // namespace zapo::maj
