#include "data/lecture_recherche.h"

#include "data/base_programmes.h"

namespace zapo::donnees {

index_recherche lire_index_recherche(const QString& chemin_base) {
    base_programmes base(chemin_base);
    std::vector<std::pair<int, QString>> ordre;
    for (const chaine& c : base.lire_chaines())
        ordre.emplace_back(c.num_chaine, c.nom);
    index_recherche index(ordre);
    base.parcourir_liste([&](const ligne_liste& r) { index.ajouter(r.chaine, r.hdeb, r.hfin, r.programme); });
    index.terminer();
    return index;
}

} // namespace zapo::donnees
