#include "core/recherche.h"

#include "core/repli.h"

#include <algorithm>

namespace zapo {

QStringList mots_recherche(const QString& saisie) {
    // Bound what one keystroke may cost, whatever is pasted into the field.
    constexpr qsizetype longueur_max = 200;
    const QString replie = replier(saisie.left(longueur_max));
    QStringList mots;
    qsizetype debut = -1;
    for (qsizetype i = 0; i <= replie.size(); ++i) {
        // Any blank splits words: spaces, tabs, no-break spaces.
        const bool blanc = i == replie.size() || replie.at(i).isSpace();
        if (!blanc && debut < 0)
            debut = i;
        else if (blanc && debut >= 0) {
            const QString mot = replie.mid(debut, i - debut);
            if (!mots.contains(mot))
                mots << mot;
            debut = -1;
        }
    }
    return mots;
}

bool correspond_recherche(const QString& titre_replie, const QStringList& mots) {
    if (mots.isEmpty())
        return false;
    for (const QString& m : mots)
        if (!contient_replie(titre_replie, m))
            return false;
    return true;
}

index_recherche::index_recherche(const std::vector<std::pair<int, QString>>& chaines) {
    for (const auto& [num, nom] : chaines)
        if (!rangs_.contains(num)) {
            rangs_.insert(num, int(noms_.size()));
            noms_.push_back(nom);
        }
}

void index_recherche::ajouter(int chaine, date_heure hdeb, date_heure hfin, const QString& titre) {
    const auto rang = rangs_.constFind(chaine);
    if (rang == rangs_.cend())
        return;
    // Counted like the programme list counts its rows, so the main window finds this one.
    const int position = ++positions_[chaine];
    entrees_.push_back({chaine, *rang, position, hdeb, hfin, titre, replier(titre)});
}

void index_recherche::terminer() {
    std::stable_sort(entrees_.begin(), entrees_.end(),
                     [](const programme_trouvable& a, const programme_trouvable& b) {
                         if (a.hdeb != b.hdeb)
                             return a.hdeb < b.hdeb;
                         return a.rang_chaine < b.rang_chaine;
                     });
    positions_.clear();
}

index_recherche::resultat index_recherche::chercher(const QString& saisie, date_heure maintenant,
                                                    qsizetype plafond) const {
    resultat r;
    const QStringList mots = mots_recherche(saisie);
    if (mots.isEmpty())
        return r;
    for (std::size_t i = 0; i < entrees_.size(); ++i) {
        const programme_trouvable& p = entrees_[i];
        // A programme that is over cannot be watched any more; the one on now still can.
        if (p.hfin <= maintenant || !correspond_recherche(p.titre_replie, mots))
            continue;
        if (r.total++ < plafond)
            r.lignes.push_back(std::uint32_t(i));
    }
    return r;
}

} // namespace zapo
