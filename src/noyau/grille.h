#pragma once

#include "noyau/date_heure.h"

#include <cstdint>
#include <span>
#include <vector>

// Where the time grid draws each programme: pure arithmetic, so that it can be
// checked without a window and only the visible blocks are ever laid out.
namespace zapo::inline noyau {

// The zoom levels, in pixels per minute; the grid opens on `zoom_grille_initial`.
inline constexpr double zooms_grille[] = {1.5, 2, 3, 4, 6, 8, 12};
inline constexpr int nb_zooms_grille = int(std::size(zooms_grille));
inline constexpr int zoom_grille_initial = 3;

struct echelle_grille {
    date_heure origine;       // time at x = 0
    double pixels_minute = 4; // logical pixels
    double densite = 1;       // device pixels per logical pixel
};

// x of a moment, in device pixels, rounded so that blocks that meet share an edge.
std::int64_t x_grille(const echelle_grille& e, date_heure t);
// The moment at device pixel x.
date_heure temps_grille(const echelle_grille& e, double x);

// A programme's start and end, as a channel's row holds them, sorted by start.
struct plage_grille {
    date_heure hdeb;
    date_heure hfin;
};

// One laid-out block: the programme's index in the row, and its device pixels.
struct bloc_grille {
    int index = 0;
    std::int64_t x = 0;
    std::int64_t largeur = 0;
    bool operator==(const bloc_grille&) const = default;
};

// The blocks of one row that meet [debut, fin), cut to it. A programme still
// on when the next one starts ends there (the feed overlaps them), an end
// before its start counts as none, and every block keeps at least one pixel.
// Gaps stay empty.
std::vector<bloc_grille> disposer_rangee(std::span<const plage_grille> row, const echelle_grille& e,
                                         date_heure debut, date_heure fin);

// The programme of a row on at `t` (or the first after it, when `t` falls in a
// gap and `suivant`); -1 when none.
int programme_a(std::span<const plage_grille> row, date_heure t, bool suivant);

} // namespace zapo::inline noyau
