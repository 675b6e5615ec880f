#include "vues/etat_fraicheur.h"

#include "modele/guide.h"
#include "noyau/fraicheur.h"
#include "noyau/horloge.h"

namespace zapo::vues {

bool verifier_base(contexte& ctx) {
    const std::optional<date_heure> derniere = modele::guide_de(ctx).derniere_maj();
    const bool a_jour = est_a_jour(derniere, ctx.horloge_->maintenant_dh());
    modele::guide_de(ctx).definir_statut(a_jour ? modele::statut_maj::a_jour
                                                : modele::statut_maj::pas_a_jour);
    return a_jour;
}

QString texte_etat(contexte& ctx) {
    return modele::guide_de(ctx).texte_etat();
}

bool maj_en_cours(contexte& ctx) {
    return modele::guide_de(ctx).maj_en_cours();
}

void adate_Click(contexte& ctx) {
    const std::optional<date_heure> derniere = modele::guide_de(ctx).derniere_maj();
    // texte_etat stays as it is, even when this answer differs from it.
    const bool a_jour = est_a_jour(derniere, ctx.horloge_->maintenant_dh());
    ctx.boites->afficher(QStringLiteral("Zapo-TV"), message_date_base(derniere, a_jour),
                         icone_boite::information, boutons_boite::ok);
}

} // namespace zapo::vues
