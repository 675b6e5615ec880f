#pragma once

#include "donnees/base_programmes.h"
#include "noyau/date_heure.h"
#include "noyau/details.h"
#include "noyau/fiche_programme.h"
#include "noyau/panneau.h"

#include <functional>
#include <optional>
#include <span>

// The week: every programme a channel's source gave in its last good fetch,
// from 00:00 that day for up to eight days, with its details, in `semaine`, a
// table of its own beside the four. `liste` keeps only its first rows; what
// the windows of the day show is read there as before.
namespace zapo::donnees {

void creer_semaine(base_programmes& b);
// An older file gets the week's table and the details' new columns; nothing
// else changes. Done by every normal opening of the file.
void mettre_a_niveau(base_programmes& b);

// A channel's week goes and its new one comes, inside the caller's
// transaction, beside its rows: at most `max_programmes_semaine`, in order.
void remplacer_semaine(base_programmes& b, int num_chaine, std::span<const fiche_programme> programmes);
// One channel's week in time order, details included; empty without one.
std::vector<fiche_programme> lire_semaine_chaine(base_programmes& b, int num_chaine);
// The weeks of channels no longer in `chaines`.
void effacer_semaine_orphelins(base_programmes& b);

// A kept programme, as the search, the reminders and the later evenings read it.
struct programme_semaine {
    int chaine = 0;
    date_heure hdeb;
    date_heure hfin;
    std::optional<date_heure> duree;
    QString titre;
    // From 1 among the channel's `liste` rows (as the main window counts them);
    // 0 for a programme only in the week, which the main window does not show.
    int position = 0;
    details_programme details;
};

// Every kept programme: each channel's `liste` rows in stored order, then its
// week's programmes that start after the last of them, so that `liste` always
// wins for the day it holds. Details only when asked. A file without the week
// reads as `liste` alone. The week's rows are read as lire_semaine_bornee
// gives them, channel after channel in the list's order.
void parcourir_semaine(base_programmes& b, bool avec_details,
                       const std::function<void(const programme_semaine&)>& f);

// The evening picks of the day `k` days after today, per channel of `chaines`
// in that order: tonight (k = 0) from `liste` and the day of its first row, as
// it always was; a later evening by the same rule over the kept week. What
// "Ce soir" shows for each of its choices and `--ce-soir --jour` prints.
std::vector<std::vector<ligne_panneau>> lire_soirees(base_programmes& b, std::span<const int> chaines,
                                                     date_heure maintenant, int k);

// As parcourir_semaine with details, for readers of every row that must not
// hold them all (the export): `liste`'s details are looked up one by one as
// its rows come; nothing is kept but the last start of each channel.
void parcourir_semaine_flux(base_programmes& b, const std::function<void(const programme_semaine&)>& f);

// The latest start the week holds; none without one.
std::optional<date_heure> dernier_debut_semaine(base_programmes& b);
// The week's details of a few programmes (channel, start), in that order, each
// a lookup by key; none for a programme the week does not hold.
std::vector<std::optional<details_programme>>
lire_details_semaine_de(base_programmes& b, std::span<const std::pair<int, date_heure>> programmes);

// A kept programme's sane bounds (`date_heure` seconds): from 2000 to 2100, and
// at most the week's length. Rows outside them (a damaged or hand-edited file)
// are skipped by every reader of the week.
inline constexpr qint64 debut_min_semaine = 946'684'800;   // 2000-01-01
inline constexpr qint64 debut_max_semaine = 4'102'444'800; // 2100-01-01
inline constexpr qint64 longueur_max_semaine = qint64(jours_semaine) * 86'400;

// What a sane row of the week meets, as SQL over its own columns (the start's
// range aside, which the readers bind): integer start and end, the end after the
// start, a sane length.
extern const char* const condition_semaine_saine;

// Which rows of one channel's week a reader wants: those starting after
// `apres` and before `avant` (`date_heure` seconds).
struct fenetre_semaine {
    int chaine = 0;
    qint64 apres = debut_min_semaine - 1;
    qint64 avant = debut_max_semaine;
};
// Each channel's sane rows in its window, in time order, as many as a run
// writes and within the week from the channel's first sane start, bounded by
// SQLite itself: an over-full table costs what a full one does. `colonnes` are
// read; `f` gets each row with its channel.
void lire_semaine_bornee(base_programmes& b, const char* colonnes, std::span<const fenetre_semaine> fenetres,
                         const std::function<void(int, requete&)>& f);
// The latest sane start of these channels' weeks, each within the week from
// its first sane start, found down the index.
std::optional<qint64> dernier_debut_sain(base_programmes& b, std::span<const int> chaines);
// The numbers of the channel list, in its order: the channels whose week is read.
std::vector<int> chaines_de_la_base(base_programmes& b);

// One programme by channel and start, with its details; none when not kept.
std::optional<programme_semaine> lire_programme_semaine(base_programmes& b, int num_chaine, date_heure hdeb);

} // namespace zapo::donnees
