#include "donnees/catalogue.h"

#include "donnees/transaction.h"

#include <algorithm>

namespace zapo::donnees {

bilan_ajout ajouter_du_catalogue(base_programmes& base, const QString& nom, int num_image) {
    transaction t(base);
    bilan_ajout bilan;
    int maximum = 1;
    const std::vector<entree_modele> modele = base.lire_modele();
    // A channel renamed on air by an update is still the catalogue row it came from.
    const auto meme_adresse = [&](const QString& adresse) {
        return std::any_of(modele.begin(), modele.end(),
                           [&](const entree_modele& m) { return m.nom == nom && m.url == adresse; });
    };
    for (const auto& c : base.lire_chaines()) {
        if (c.nom == nom || meme_adresse(c.adresse)) {
            bilan.resultat = resultat_ajout::deja_presente;
            return bilan;
        }
        maximum = std::max(maximum, c.num_chaine);
    }
    // Compared before adding one, so that a stray huge number cannot overflow.
    if (maximum >= num_chaine_max) {
        bilan.resultat = resultat_ajout::numeros_epuises;
        bilan.num_chaine = maximum;
        return bilan;
    }
    bilan.num_chaine = maximum + 1;
    for (const auto& m : modele) {
        if (m.nom != nom)
            continue;
        base.ajouter_chaine({bilan.num_chaine, m.nom, m.url, num_image});
        ++bilan.nb_lignes;
    }
    t.valider();
    return bilan;
}

} // namespace zapo::donnees
