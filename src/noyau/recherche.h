#pragma once

#include "noyau/date_heure.h"
#include "noyau/details.h"
#include "noyau/genres.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace zapo::inline noyau {

// A stored programme as the search shows it.
struct programme_trouvable {
    int chaine = 0;
    int rang_chaine = 0; // the channel's place among the chosen ones, from 0
    int position = 0;    // from 1, among its channel's `liste` rows; 0 for a later one
    date_heure hdeb;
    date_heure hfin;
    QString titre;
    genre_programme genre = genre_programme::autre;
};

// The folded words of what the user typed; empty when there is nothing to look for.
QStringList mots_recherche(const QString& saisie);

// Whether a folded title holds every word, in any order, each anywhere in it.
bool correspond_recherche(const QString& titre_replie, const QStringList& mots);

// Every stored programme of the chosen channels, ready to be searched: titles
// are folded once, when the list is read, never again at each keystroke.
class index_recherche {
public:
    index_recherche() = default;
    // The chosen channels (number, name) in their order; the rows of any other
    // channel are left out.
    explicit index_recherche(const std::vector<std::pair<int, QString>>& chaines);

    // One kept programme, in stored order: `liste`'s rows of a channel first
    // (`dans_liste`), then its later ones.
    void ajouter(int chaine, date_heure hdeb, date_heure hfin, const QString& titre,
                 const details_programme& d = {}, bool dans_liste = true);
    // Puts the programmes in the order results are shown: by start, then in the
    // channels' order, then in stored order.
    void terminer();

    // Where the words were found, best first.
    enum rang_recherche {
        dans_titre,
        dans_sous_titre,
        dans_categories,
        dans_personnes,
        dans_description,
        dans_plusieurs,
        nb_rangs
    };

    struct resultat {
        std::vector<std::uint32_t> lignes; // indexes into entrees(), in shown order
        qsizetype total = 0;               // every match, including those past the cap
    };
    // The programmes not yet over at `maintenant` that hold every word typed,
    // all in the title first, then all in the sub-title, the categories, the
    // people, the description, then spread over several of them; in each rank by
    // start. At most `plafond` are kept, all of them counted.
    resultat chercher(const QString& saisie, date_heure maintenant, qsizetype plafond) const;

    const std::vector<programme_trouvable>& entrees() const { return entrees_; }
    const QString& nom_chaine(int rang) const { return noms_.at(std::size_t(rang)); }

private:
    QHash<int, int> rangs_;
    std::vector<QString> noms_;
    QHash<int, int> positions_;
    static constexpr int nb_champs = dans_plusieurs;
    std::vector<programme_trouvable> entrees_;
    std::vector<std::array<QByteArray, nb_champs>> replis_; // folded, in UTF-8, until terminer()
    // A week repeats a few dozen category lists: each is judged and folded once (until terminer()).
    QHash<QStringList, std::pair<genre_programme, QByteArray>> categories_vues_;
    // Per field, the folded texts end to end in shown order, each followed by a
    // line break, and where each one starts. In UTF-8: folded texts are nearly
    // all ASCII, so half the bytes to go through at each keystroke, and a
    // UTF-8 word can only match on whole characters.
    struct champ {
        QByteArray texte;
        std::vector<qsizetype> debuts;
        QByteArrayView de(std::size_t k) const;
    };
    std::array<champ, nb_champs> champs_;
    // chercher()'s marks, one byte a programme, kept from one keystroke to the
    // next: a large block asked for at each one makes the allocator tidy up the
    // small blocks the list of results just gave back.
    mutable std::vector<std::uint8_t> etat_;
};

} // namespace zapo::inline noyau
