#pragma once

#include "core/date_heure.h"

#include <QString>

namespace zapo {

// One programme as a schedule source gives it; the names are those of the
// `liste` columns filled from it.
struct fiche_programme {
    QString programme;
    date_heure hdeb;
    date_heure duree;
    date_heure hfin;

    bool operator==(const fiche_programme&) const = default;
};

} // namespace zapo
