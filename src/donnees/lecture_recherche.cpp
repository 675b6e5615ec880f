#include "donnees/lecture_recherche.h"

#include "donnees/base_programmes.h"
#include "donnees/semaine.h"

namespace zapo::donnees {

index_recherche lire_index_recherche(const QString& chemin_base) {
    base_programmes base(chemin_base);
    return lire_index_recherche(base);
}

index_recherche lire_index_recherche(base_programmes& base) {
    std::vector<std::pair<int, QString>> ordre;
    for (const chaine& c : base.lire_chaines())
        ordre.emplace_back(c.num_chaine, c.nom);
    index_recherche index(ordre);
    parcourir_semaine(base, true, [&](const programme_semaine& p) {
        index.ajouter(p.chaine, p.hdeb, p.hfin, p.titre, p.details, p.position > 0);
    });
    index.terminer();
    return index;
}

} // namespace zapo::donnees
