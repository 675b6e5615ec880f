#include "noyau/grille.h"

#include <algorithm>
#include <cmath>

namespace zapo::inline noyau {

std::int64_t x_grille(const echelle_grille& e, date_heure t) {
    const double minutes = double((t - e.origine).secondes()) / 60.0;
    return std::llround(minutes * e.pixels_minute * e.densite);
}

date_heure temps_grille(const echelle_grille& e, double x) {
    const double secondes = x / (e.pixels_minute * e.densite) * 60.0;
    return e.origine + date_heure::depuis_secondes(std::llround(secondes));
}

namespace {

// Where a row's programme ends on screen: its own end, or the next start when sooner.
date_heure fin_affichee(std::span<const plage_grille> row, size_t i) {
    date_heure f = std::max(row[i].hfin, row[i].hdeb);
    if (i + 1 < row.size())
        f = std::min(f, std::max(row[i + 1].hdeb, row[i].hdeb));
    return f;
}

size_t premier_candidat(std::span<const plage_grille> row, date_heure t) {
    // Blocks end at the next start at the latest, so only the one before the
    // first start after `t` can still be on at `t`.
    const auto it = std::upper_bound(row.begin(), row.end(), t,
                                     [](date_heure v, const plage_grille& p) { return v < p.hdeb; });
    const auto i = size_t(it - row.begin());
    return i == 0 ? 0 : i - 1;
}

} // namespace

std::vector<bloc_grille> disposer_rangee(std::span<const plage_grille> row, const echelle_grille& e,
                                         date_heure debut, date_heure fin) {
    std::vector<bloc_grille> res;
    for (size_t i = premier_candidat(row, debut); i < row.size() && row[i].hdeb < fin; ++i) {
        const date_heure d = std::max(row[i].hdeb, debut);
        const date_heure f = std::min(fin_affichee(row, i), fin);
        if (f <= debut && row[i].hdeb < debut)
            continue;
        const std::int64_t x = x_grille(e, d);
        res.push_back({int(i), x, std::max<std::int64_t>(1, x_grille(e, f) - x)});
    }
    return res;
}

int programme_a(std::span<const plage_grille> row, date_heure t, bool suivant) {
    if (row.empty())
        return -1;
    const size_t i = premier_candidat(row, t);
    if (row[i].hdeb <= t && t < fin_affichee(row, i))
        return int(i);
    if (!suivant)
        return -1;
    for (size_t k = i; k < row.size(); ++k)
        if (row[k].hdeb > t)
            return int(k);
    return -1;
}

} // namespace zapo::inline noyau
