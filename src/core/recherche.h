#pragma once

#include "core/date_heure.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace zapo {

// A stored programme as the search shows it.
struct programme_trouvable {
    int chaine = 0;
    int rang_chaine = 0; // the channel's place among the chosen ones, from 0
    int position = 0;    // from 1, among its channel's stored rows
    date_heure hdeb;
    date_heure hfin;
    QString titre;
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

    // One row of `liste`, in stored order.
    void ajouter(int chaine, date_heure hdeb, date_heure hfin, const QString& titre);
    // Puts the programmes in the order results are shown: by start, then in the
    // channels' order, then in stored order.
    void terminer();

    struct resultat {
        std::vector<std::uint32_t> lignes; // indexes into entrees(), in shown order
        qsizetype total = 0;               // every match, including those past the cap
    };
    // The programmes not yet over at `maintenant` whose title holds every word
    // typed; at most `plafond` are kept, all of them counted.
    resultat chercher(const QString& saisie, date_heure maintenant, qsizetype plafond) const;

    const std::vector<programme_trouvable>& entrees() const { return entrees_; }
    const QString& nom_chaine(int rang) const { return noms_.at(std::size_t(rang)); }

private:
    QHash<int, int> rangs_;
    std::vector<QString> noms_;
    QHash<int, int> positions_;
    std::vector<programme_trouvable> entrees_;
    std::vector<QString> replis_; // until terminer()
    // The folded titles end to end in shown order, each followed by a line break,
    // and where each one starts.
    QString texte_;
    std::vector<qsizetype> debuts_;
};

} // namespace zapo
