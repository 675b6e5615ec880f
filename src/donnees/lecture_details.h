#pragma once

#include "donnees/base_programmes.h"
#include "noyau/details.h"
#include "noyau/fiche_programme.h"

#include <QHash>

#include <functional>
#include <optional>
#include <span>

// Programme details, in `details_programmes`: a table of its own, created when
// missing, keyed by channel and start (seconds). Older files do not have it and
// read as having no details.
namespace zapo::donnees {

void creer_details(base_programmes& b);
// An older table gets the columns of the marks (rediffusion, inédit, stars).
void completer_details(base_programmes& b);
bool a_colonne(base_programmes& b, const char* table, const char* colonne);
// The details' columns from `premier` on (sous_titre ... classement, then the
// marks when `marques`), as the details' tables store them.
details_programme lire_colonnes_details(requete& r, int premier, bool marques);
void lier_details(requete& r, int premier, const details_programme& d);
// A channel's details go and its new ones come, inside the caller's
// transaction, with its rows: only programmes that have some are written.
void remplacer_details(base_programmes& b, int num_chaine, std::span<const fiche_programme> programmes);
// Details of channels no longer in `chaines`, and of one channel.
void effacer_details_orphelins(base_programmes& b);
void effacer_details(base_programmes& b, int num_chaine);

// One channel's details by start (date_heure seconds); empty without the table.
QHash<qint64, details_programme> lire_details_chaine(base_programmes& b, int num_chaine);
std::optional<details_programme> lire_details(base_programmes& b, int num_chaine, date_heure hdeb);
// The details of a few programmes (channel, start), in that order; one statement
// for all of them, each a lookup by key.
std::vector<std::optional<details_programme>>
lire_details_de(base_programmes& b, std::span<const std::pair<int, date_heure>> programmes);
// Where a list's programmes take their details from: `liste`'s table, or the week.
enum class source_details { liste, semaine };
// Only the categories of a few programmes (channel, start), in that order: what a
// genre column needs up front, without decoding the other texts. One statement,
// each a lookup by key; empty for a programme without details or without the table.
std::vector<QStringList> lire_categories_de(base_programmes& b, source_details source,
                                            std::span<const std::pair<int, date_heure>> programmes);
// One programme's details from either source, as lire_details_de and
// lire_details_semaine_de give them.
std::optional<details_programme> lire_details_source(base_programmes& b, source_details source,
                                                     int num_chaine, date_heure hdeb);
// Every stored detail: channel -> start -> details.
QHash<int, QHash<qint64, details_programme>> lire_tous_details(base_programmes& b);
// The details of one programme after another through one prepared statement,
// for readers of every row that must not hold them all.
class lecteur_details {
public:
    explicit lecteur_details(base_programmes& b);
    std::optional<details_programme> lire(int num_chaine, date_heure hdeb);

private:
    std::optional<requete> r_; // empty when no programme has details
    bool marques_ = false;
};

} // namespace zapo::donnees
