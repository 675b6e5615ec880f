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
    entrees_.push_back({chaine, *rang, position, hdeb, hfin, titre});
    replis_.push_back(replier(titre));
}

void index_recherche::terminer() {
    std::vector<std::uint32_t> ordre(entrees_.size());
    for (std::size_t i = 0; i < ordre.size(); ++i)
        ordre[i] = std::uint32_t(i);
    std::stable_sort(ordre.begin(), ordre.end(), [this](std::uint32_t a, std::uint32_t b) {
        const programme_trouvable& pa = entrees_[a];
        const programme_trouvable& pb = entrees_[b];
        if (pa.hdeb != pb.hdeb)
            return pa.hdeb < pb.hdeb;
        return pa.rang_chaine < pb.rang_chaine;
    });
    std::vector<programme_trouvable> tries;
    tries.reserve(entrees_.size());
    qsizetype longueur = 0;
    for (const QString& t : replis_)
        longueur += t.size() + 1;
    texte_.clear();
    texte_.reserve(longueur);
    debuts_.clear();
    debuts_.reserve(entrees_.size());
    for (const std::uint32_t i : ordre) {
        tries.push_back(std::move(entrees_[i]));
        debuts_.push_back(texte_.size());
        texte_ += replis_[i];
        texte_ += QChar(u'\n');
    }
    entrees_ = std::move(tries);
    replis_ = {};
    positions_.clear();
}

index_recherche::resultat index_recherche::chercher(const QString& saisie, date_heure maintenant,
                                                    qsizetype plafond) const {
    resultat r;
    const QStringList mots = mots_recherche(saisie);
    if (mots.isEmpty() || debuts_.empty())
        return r;
    // The longest word is looked for through all the titles at once; the others
    // only in the titles where it was found. Words hold no blank, so no match
    // runs from one title into the next.
    qsizetype pivot = 0;
    for (qsizetype i = 1; i < mots.size(); ++i)
        if (mots[i].size() > mots[pivot].size())
            pivot = i;
    const QStringView texte(texte_);
    std::size_t k = 0;
    qsizetype depuis = 0;
    for (;;) {
        const qsizetype trouve = texte.indexOf(mots[pivot], depuis);
        if (trouve < 0)
            break;
        while (k + 1 < debuts_.size() && debuts_[k + 1] <= trouve)
            ++k;
        const qsizetype fin = (k + 1 < debuts_.size() ? debuts_[k + 1] : texte.size()) - 1;
        const QStringView titre = texte.sliced(debuts_[k], fin - debuts_[k]);
        // A programme that is over cannot be watched any more; the one on now still can.
        bool retenu = entrees_[k].hfin > maintenant;
        for (qsizetype i = 0; retenu && i < mots.size(); ++i)
            retenu = i == pivot || titre.contains(mots[i]);
        if (retenu && r.total++ < plafond)
            r.lignes.push_back(std::uint32_t(k));
        depuis = fin + 1;
    }
    return r;
}

} // namespace zapo
