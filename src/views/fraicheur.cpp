#include "data/base_programmes.h"
#include "views/clics_vues.h"

namespace zapo::clics {

bool verifier_base(contexte& ctx) {
    donnees::base_programmes base(ctx.chemin_base());
    const bool a_jour = base.lire_maj().has_value();
    ctx.g.texte_etat = a_jour ? QStringLiteral("Programmes à jour.") : QStringLiteral("La base n'est pas à jour.");
    return a_jour;
}

void adate_Click(contexte& ctx) { (void)ctx; }

} // namespace zapo::clics
