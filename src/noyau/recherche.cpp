#include "noyau/recherche.h"

#include "noyau/repli.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace zapo::inline noyau {

namespace {

// Where `mot` is in `texte` from `depuis`; -1 when it is not. The words typed
// are short, where memmem is slowest: sixteen places are tried at once, those
// where the word's first and last bytes both stand, and only they are compared.
qsizetype chercher_octets(QByteArrayView texte, const QByteArray& mot, qsizetype depuis = 0) {
    const qsizetype n = mot.size();
    const qsizetype taille = texte.size();
    if (n == 0 || depuis > taille - n)
        return -1;
    const char* t = texte.data();
    const char* m = mot.constData();
    qsizetype i = depuis;
#ifdef __SSE2__
    const __m128i premier = _mm_set1_epi8(m[0]);
    const __m128i dernier = _mm_set1_epi8(m[n - 1]);
    for (; i + 16 + n - 1 <= taille; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + n - 1));
        unsigned masque = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, premier), _mm_cmpeq_epi8(b, dernier))));
        while (masque) {
            const int k = __builtin_ctz(masque);
            if (std::memcmp(t + i + k + 1, m + 1, size_t(n - 1)) == 0)
                return i + k;
            masque &= masque - 1;
        }
    }
#endif
    const void* p = ::memmem(t + i, size_t(taille - i), m, size_t(n));
    return p ? static_cast<const char*>(p) - t : -1;
}

bool contient_octets(QByteArrayView texte, const QByteArray& mot) {
    return chercher_octets(texte, mot) >= 0;
}

} // namespace

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

void index_recherche::ajouter(int chaine, date_heure hdeb, date_heure hfin, const QString& titre,
                              const details_programme& d, bool dans_liste) {
    const auto rang = rangs_.constFind(chaine);
    if (rang == rangs_.cend())
        return;
    // Counted like the programme list counts its rows, so the main window finds this one.
    const int position = dans_liste ? ++positions_[chaine] : 0;
    // A line break never comes out of the folding of a word: it ends each text.
    const auto plier = [](const QString& t) {
        return replier(t).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8();
    };
    auto categories = categories_vues_.constFind(d.categories);
    if (categories == categories_vues_.cend())
        categories = categories_vues_.insert(
            d.categories, {genre_categories(d.categories), plier(d.categories.join(QStringLiteral(", ")))});
    entrees_.push_back({chaine, *rang, position, hdeb, hfin, titre, categories->first});
    QStringList personnes = d.acteurs;
    if (!d.realisateur.isEmpty())
        personnes.prepend(d.realisateur);
    replis_.push_back({plier(titre), plier(d.sous_titre), categories->second,
                       plier(personnes.join(QStringLiteral(", "))), plier(d.description)});
}

QByteArrayView index_recherche::champ::de(std::size_t k) const {
    const qsizetype fin = (k + 1 < debuts.size() ? debuts[k + 1] : texte.size()) - 1;
    return QByteArrayView(texte).sliced(debuts[k], fin - debuts[k]);
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
    for (int f = 0; f < nb_champs; ++f) {
        qsizetype longueur = 0;
        for (const auto& t : replis_)
            longueur += t[std::size_t(f)].size() + 1;
        champ& c = champs_[std::size_t(f)];
        c.texte.clear();
        c.texte.reserve(longueur);
        c.debuts.clear();
        c.debuts.reserve(entrees_.size());
    }
    for (const std::uint32_t i : ordre) {
        tries.push_back(std::move(entrees_[i]));
        for (std::size_t f = 0; f < std::size_t(nb_champs); ++f) {
            champ& c = champs_[f];
            c.debuts.push_back(c.texte.size());
            QByteArray& t = replis_[i][f];
            c.texte += t;
            c.texte += '\n';
            t = QByteArray();
        }
    }
    entrees_ = std::move(tries);
    replis_ = {};
    categories_vues_.clear();
    positions_.clear();
}

index_recherche::resultat index_recherche::chercher(const QString& saisie, date_heure maintenant,
                                                    qsizetype plafond) const {
    resultat r;
    const QStringList mots = mots_recherche(saisie);
    if (mots.isEmpty() || entrees_.empty())
        return r;
    // The longest word is looked for through all the texts of a field at once;
    // the others only in the texts where it was found. Words hold no blank, so
    // no match runs from one programme into the next.
    qsizetype pivot = 0;
    for (qsizetype i = 1; i < mots.size(); ++i)
        if (mots[i].size() > mots[pivot].size())
            pivot = i;
    std::vector<QByteArray> octets;
    for (const QString& m : mots)
        octets.push_back(m.toUtf8());
    const QByteArray& mot_pivot = octets[std::size_t(pivot)];
    // Per programme: 0 not seen, 1 the longest word seen somewhere, 2 found.
    std::vector<std::uint8_t>& etat = etat_;
    etat.assign(entrees_.size(), 0);
    std::array<std::vector<std::uint32_t>, nb_rangs> par_rang;
    const auto tout_dans = [&](QByteArrayView t) {
        for (qsizetype i = 0; i < mots.size(); ++i)
            if (i != pivot && !contient_octets(t, octets[std::size_t(i)]))
                return false;
        return true;
    };
    for (int f = 0; f < nb_champs; ++f) {
        const champ& c = champs_[std::size_t(f)];
        const QByteArrayView texte(c.texte);
        std::size_t k = 0;
        qsizetype depuis = 0;
        for (;;) {
            const qsizetype trouve = chercher_octets(texte, mot_pivot, depuis);
            if (trouve < 0)
                break;
            while (k + 1 < c.debuts.size() && c.debuts[k + 1] <= trouve)
                ++k;
            const QByteArrayView t = c.de(k);
            depuis = c.debuts[k] + t.size() + 1;
            // A programme that is over cannot be watched any more; the one on now still can.
            if (etat[k] == 2 || entrees_[k].hfin <= maintenant)
                continue;
            etat[k] = 1;
            if (tout_dans(t)) {
                etat[k] = 2;
                par_rang[std::size_t(f)].push_back(std::uint32_t(k));
            }
        }
    }
    // Words spread over several fields of one programme.
    for (std::size_t k = 0; k < etat.size(); ++k) {
        if (etat[k] != 1)
            continue;
        bool tous = true;
        for (std::size_t i = 0; tous && i < octets.size(); ++i) {
            bool vu = false;
            for (std::size_t f = 0; !vu && f < std::size_t(nb_champs); ++f)
                vu = contient_octets(champs_[f].de(k), octets[i]);
            tous = vu;
        }
        if (tous)
            par_rang[dans_plusieurs].push_back(std::uint32_t(k));
    }
    // Each list was filled going forward through the programmes: already in shown order.
    for (auto& l : par_rang) {
        for (const std::uint32_t k : l)
            if (r.total++ < plafond)
                r.lignes.push_back(k);
    }
    return r;
}

} // namespace zapo::inline noyau
