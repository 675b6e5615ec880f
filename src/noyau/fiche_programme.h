#pragma once

#include "noyau/date_heure.h"
#include "noyau/details.h"

#include <QString>
#include <QStringView>

namespace zapo::inline noyau {

// One programme as a schedule source gives it; the names are those of the
// `liste` columns filled from it.
struct fiche_programme {
    QString programme;
    date_heure hdeb;
    date_heure duree;
    date_heure hfin;
    details_programme details{}; // feeds only

    bool operator==(const fiche_programme&) const = default;
};

// The week a feed's channel keeps: from 00:00 today, this many days, at most
// this many programmes.
inline constexpr int jours_semaine = 8;
inline constexpr int max_programmes_semaine = 1500;

// No title needs more; a feed that sends more is cut here by every reader.
inline constexpr qsizetype titre_max = 500;

// At most `titre_max` characters, never half of a surrogate pair.
inline QStringView couper_titre(QStringView t) {
    if (t.size() <= titre_max)
        return t;
    qsizetype n = titre_max;
    if (t[n - 1].isHighSurrogate())
        --n;
    return t.first(n);
}

} // namespace zapo::inline noyau
