#pragma once

#include "noyau/date_heure.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <vector>

namespace zapo::inline noyau {

// A programme the user wants to be told about, kept by its channel, its start
// and its title (the programme rows have no key of their own).
struct rappel {
    qint64 id = 0;
    int chaine = 0;
    date_heure debut;
    date_heure fin;
    QString titre;
    bool envoye = false;      // told, or dropped: never again
    bool automatique = false; // made by a favourite word
    bool retire = false;      // removed by the user: kept only so that no word brings it back
    // Where the clocks go back, which of the repeated hour's readings `debut` and
    // `fin` are (instants, seconds since 1970 UTC), as its programme's neighbours
    // tell; without them, the earlier reading.
    std::optional<std::int64_t> instant_debut{};
    std::optional<std::int64_t> instant_fin{};
};

// A reminder's start and end as instants.
std::pair<std::int64_t, std::int64_t> instants_rappel(const rappel& r, fuseau_local& f);

// How long before the start the warning comes, in minutes.
inline constexpr int minutes_avant_defaut = 5;
inline constexpr int choix_minutes_avant[] = {0, 5, 10, 15};
// Anything but one of the four choices reads as the default.
int minutes_avant_valides(int minutes);

enum class sort_rappel { attendre, avertir, abandonner, rien };

// What to do with a reminder now. Once its time has come, it is told while its
// programme is not over (also after a start that came late), and dropped after.
// Times are compared as instants: the clock's reading says which pass of the
// repeated hour it is (a wall-clock value alone reads as the earlier).
sort_rappel decider_rappel(const rappel& r, date_heure maintenant, int minutes_avant);
sort_rappel decider_rappel(const rappel& r, const QDateTime& maintenant, int minutes_avant);

// The next time a reminder falls due, if any is still waiting: as the wall clock
// shows it, and as an instant.
std::optional<date_heure> prochaine_alerte(std::span<const rappel> rappels, int minutes_avant);
std::optional<std::int64_t> prochain_instant_alerte(std::span<const rappel> rappels, int minutes_avant);

// A reminder as the user reads it: its programme's title, and "<chaîne> à HH:MM",
// or "<chaîne>, commencé à HH:MM" when it comes after its programme began (missed
// while Zapo-TV was closed or the computer asleep).
struct rappel_a_dire {
    int chaine = 0;
    date_heure debut;
    QString titre;
    QString corps;
};
rappel_a_dire dire_rappel(const rappel& r, const QString& nom_chaine, date_heure maintenant);
rappel_a_dire dire_rappel(const rappel& r, const QString& nom_chaine, const QDateTime& maintenant);
// Begun this long ago, a programme is told as begun.
inline constexpr date_heure retard_rappel = date_heure::duree_hm(0, 1);

// One warning for the user; "Voir" shows the programme of `chaine` at `debut`.
struct avertissement_rappel {
    QString titre;
    QStringList lignes; // the body, a line each
    int chaine = 0;
    date_heure debut;
    int nombre = 1; // reminders it tells of
};
// Reminders due together, at most this many as separate notifications; beyond,
// one lists this many and sums up the rest.
inline constexpr int nb_avertissements_separes = 3;
// All of them in one warning (for a box or the tray's one message): a lone
// reminder as it is; several as "N rappels", a line for each of the first ones,
// then "et 37 autres rappels". In the order given.
avertissement_rappel resumer_rappels(std::span<const rappel_a_dire> dits);
// The notifications for reminders due together: each on its own while they are
// few, else the one summary.
std::vector<avertissement_rappel> avertissements_rappels(std::span<const rappel_a_dire> dits);
// The box's text: "Rappel : <titre>\r<chaîne> à HH:MM", or the summary's lines.
QString texte_boite_rappels(const avertissement_rappel& a);

// A stored programme, as the reminders read it.
struct programme_rappel {
    int chaine = 0;
    date_heure debut;
    date_heure fin;
    QString titre;
};

// Where a reminder's programme went after an update: the same channel's
// programme with the same title (case and accents aside) closest to the old
// start, within two hours of it. None when nothing fits: the reminder stays.
std::optional<programme_rappel> suivre_rappel(const rappel& r, std::span<const programme_rappel> programmes);
inline constexpr date_heure ecart_suivi_max = date_heure::duree_hm(2, 0);

// Favourite words: bounded, trimmed, without empties or repeats (case and accents aside).
inline constexpr int nb_mots_max = 200;
inline constexpr int longueur_mot_max = 100;
QStringList nettoyer_mots(const QStringList& mots);

// Whether a title holds a favourite word: the word, case, accents and ligatures
// aside, at the start of a word of the title ("foot" finds "Football", "film"
// finds "Films", "art" does not find "Départ"). A word of several words matches
// as a whole ("star wars" finds "Star Wars : épisode I").
bool titre_contient_mot(const QString& titre_replie, const QString& mot_replie);

// The reminders the favourite words add: every programme not yet started whose
// title holds one of them, unless some reminder (told, removed or waiting)
// already names that programme.
std::vector<rappel> rappels_des_mots(std::span<const programme_rappel> programmes, const QStringList& mots,
                                     std::span<const rappel> existants, date_heure maintenant);

// The programmes still to come whose title holds one of the words and that have
// a reminder waiting: what saving the words says it did.
int nb_rappels_des_mots(std::span<const rappel> rappels, const QStringList& mots, date_heure maintenant);
QString texte_rappels_des_mots(int nb);

} // namespace zapo::inline noyau
