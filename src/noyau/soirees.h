#pragma once

#include "noyau/date_heure.h"
#include "noyau/panneau.h"

#include <QHash>
#include <QString>

#include <optional>
#include <span>
#include <vector>

// "Ce soir" on every chosen channel at once: the panel's own evening rule,
// applied to each channel's rows.
namespace zapo::inline noyau {

// At most this many programmes a channel, as the panel shows two: the "Ce soir"
// window and the terminal print the same picks.
inline constexpr size_t soir_par_chaine = 2;

// Fed the stored rows of the whole table once, in stored order; the evening's
// day is that of the first row, as in the panel. Only the rows the rule keeps
// are held, and only the first ones of each channel.
class soirees {
public:
    soirees(std::span<const int> chaines, date_heure maintenant);
    // The evening of a chosen day (00:00 of it), whatever the rows' first day.
    soirees(std::span<const int> chaines, date_heure maintenant, date_heure jour);
    void ajouter(const ligne_panneau& l);
    // Whether the row, given next, is kept: the others may come without their title.
    bool titre_utile(const ligne_panneau& l) const;
    // Per channel, in the order given: the panel's evening picks, the first
    // `soir_par_chaine` programmes the rule keeps.
    std::vector<std::vector<ligne_panneau>> resultat() const;

private:
    struct rangs {
        std::vector<ligne_panneau> lignes;
    };
    std::vector<int> chaines_;
    date_heure maintenant_;
    date_heure jour_;
    bool premiere_ = true;
    QHash<int, rangs> par_chaine_;
};

struct chaine_soir {
    int num_chaine = 0;
    QString nom;
    int num_image = 0;
};

// One row of the "Ce soir" window. A channel with nothing tonight has one row
// with its name and "..." in the other columns.
struct ligne_soir {
    int num_chaine = 0;
    QString chaine;
    int num_image = 0;
    bool premiere = false; // the channel's first row: its logo stands beside it
    bool vide = false;     // the "..." row
    QString debut, fin, programme, duree;
    date_heure hdeb;
    bool operator==(const ligne_soir&) const = default;
};

std::vector<ligne_soir> lignes_ce_soir(std::span<const chaine_soir> chaines,
                                       const std::vector<std::vector<ligne_panneau>>& choix,
                                       size_t par_chaine = soir_par_chaine);

// The evenings offered: "Ce soir", "Demain soir", then "samedi 12"... for each
// day after tomorrow up to the last kept one (`dernier`: the latest start kept),
// at most `jours_semaine` days from today. Index k is today + k days.
QStringList choix_soirees(date_heure maintenant, std::optional<date_heure> dernier);

// An evening named on the command line, as days after today. Named as "Ce
// soir" names them ("Ce soir", "Demain soir", "samedi 12"), by weekday and date
// for today and tomorrow too ("jeudi 10"), by weekday alone (the next one,
// today included: "dimanche" on a Sunday is tonight, as "Ce soir" is the first
// evening offered), or "aujourd'hui", "demain", AAAA-MM-JJ. Case and accents
// ignored. Names reach `jours_semaine` days; a date may lie anywhere. None for
// anything else, a day name this week does not hold included ("samedi 13").
struct jour_soiree {
    qint64 ecart = 0;   // days after today
    bool nomme = false; // by its weekday: said back the same way
    bool operator==(const jour_soiree&) const = default;
};
std::optional<jour_soiree> lire_jour_soiree(const QString& texte, date_heure maintenant);

// "45 min", "1h", "1h30", "2h05".
QString texte_duree(date_heure longueur);

// "Aujourd'hui, de 20:50 à 22:40 (1h50)": the day seen from `maintenant`.
QString texte_horaire(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree,
                      date_heure maintenant);

} // namespace zapo::inline noyau
