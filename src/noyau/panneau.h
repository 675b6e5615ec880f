#pragma once

#include "noyau/date_heure.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// What the now / next / tonight panel and the two "on now" columns of the
// channel list show, worked out from the stored rows and the clock alone.
namespace zapo::inline noyau {

// One panel row: start and end as "hh:nn" and the full title.
struct rangee_panneau {
    bool remplie = false;
    QString hdeb;
    QString hfin;
    QString titre;
    date_heure debut{}; // the programme's start, to find its details
    bool operator==(const rangee_panneau&) const = default;
};

// A channel's programme on now, as its row of the channel list shows it.
struct en_cours_chaine {
    QString titre;
    int pourcentage = 0;
    date_heure hdeb;
    date_heure hfin;
    std::int64_t instant_debut = 0; // the same, as instants (seconds since 1970 UTC)
    std::int64_t instant_fin = 0;
    bool operator==(const en_cours_chaine&) const = default;
};

enum rang_panneau { rang_actuel = 0, rang_suite = 1, rang_soir1 = 2, rang_soir2 = 3 };

struct etat_panneau {
    std::array<rangee_panneau, 4> rangees; // indexed by `rang_panneau`
    int progres = 0;                       // elapsed part of the current channel's programme on now
    // Positions (from 1, stored order) among the current channel's rows that are on now.
    std::vector<qint64> marques;
    // Position of the last of them, the one the panel shows; 0 when none.
    qint64 ligne_en_cours = 0;
    qint64 nb_lignes_chaine = 0;
    // Channel number -> its programme on now (the last matching stored row).
    QHash<int, en_cours_chaine> par_chaine;
};

// Elapsed percentage of a programme at `maintenant`: elapsed time * 100 / length,
// absolute value, rounded half to even, clamped to 0..100. The length is `duree`,
// or, when that is missing or zero, the time from start to end; 0 when both are zero.
int pourcentage_ecoule(date_heure maintenant, date_heure hdeb, date_heure hfin,
                       std::optional<date_heure> duree);

// One stored row of `liste`. `duree` is empty when the column is NULL.
struct ligne_panneau {
    date_heure hdeb;
    date_heure hfin;
    QString programme;
    int chaine = 0;
    std::optional<date_heure> duree;
};

// A programme's length: its stored `duree`, or the span from start to end when
// that is missing or zero. The evening rule tests it.
date_heure longueur_programme(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree);

// The day whose evening is "Ce soir": that of the first stored row of the whole
// table (00:00 of its start's date), not today's; never a day after today (rows
// fetched under a clock set ahead).
date_heure jour_programmes(date_heure premier_hdeb, date_heure maintenant);

// Whether one row is an evening programme by the rule below (its title aside).
bool au_soir(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree, date_heure jour,
             date_heure maintenant);
// The starts au_soir keeps for the evening of `jour`: from the first, before the second.
std::pair<date_heure, date_heure> debuts_soir(date_heure jour);

// One channel's evening programmes among its rows (given in stored order), in
// that order: not over at `maintenant`, starting from 20:30 of `jour` and before
// 00:15 the day after, at least 45 minutes long. The panel shows the first two.
std::vector<ligne_panneau> ce_soir(const std::vector<ligne_panneau>& lignes_chaine, date_heure jour,
                                   date_heure maintenant);

// Fed the stored rows one by one in stored order; only the current channel's
// rows are kept, for its evening.
class calcul_panneau {
public:
    calcul_panneau(int chaine_courante, date_heure maintenant);
    // The clock's own reading: in the hour the clocks repeat, it says which pass
    // it is, and the rows are compared with it as instants.
    calcul_panneau(int chaine_courante, const QDateTime& maintenant);
    void ajouter(date_heure hdeb, date_heure hfin, const QString& programme, int chaine,
                 std::optional<date_heure> duree);
    // The same row with its place in the stored order (`rang`, growing) and that of
    // the row stored just before it (`rang_precedent`; none for the first). A reader
    // may then hand over only the rows the panel uses (the first of the table, the
    // current channel's, those that may be on now) and get the full pass's result.
    void ajouter_rang(const ligne_panneau& l, qint64 rang, std::optional<qint64> rang_precedent);
    etat_panneau resultat() const;
    date_heure maintenant() const { return maintenant_; }
    // Whether the row's title is shown (on now, or of the current channel);
    // the others may be given without it. An hour either side: where the clocks
    // go back, a wall-clock time is up to an hour off its place.
    bool titre_utile(date_heure hdeb, date_heure hfin, int chaine) const {
        return chaine == chaine_courante_ ||
               (maintenant_ + une_heure > hdeb && maintenant_ < hfin + une_heure);
    }

private:
    int chaine_courante_;
    date_heure maintenant_;
    fuseau_local fuseau_;
    std::int64_t instant_;
    QHash<int, suite_instants> suites_; // each channel's rows as instants
    qint64 n_ = 0;
    bool premier_ = true;
    std::optional<qint64> ligne_en_cours_rang_; // place of the current channel's last row on now
    date_heure jour_;
    std::vector<ligne_panneau> lignes_chaine_;
    etat_panneau etat_;
};

} // namespace zapo::inline noyau
