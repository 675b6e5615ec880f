#pragma once

#include "donnees/semaine.h"

#include <functional>
#include <optional>
#include <span>

// What the time grid reads: the programmes of a few days only, never the week.
namespace zapo::donnees {

// Every kept programme on between `debut` and `fin`, `liste` winning for the
// day it holds as in parcourir_semaine; each with only the details the grid
// draws (categories, rediffusion, inédit) and no position. The week's rows
// first, then `liste`'s.
void parcourir_periode(base_programmes& b, date_heure debut, date_heure fin,
                       const std::function<void(const programme_semaine&)>& f);

// The latest start the week holds for these channels, each found through the
// week's index rather than by reading the table; none without one.
std::optional<date_heure> dernier_debut_chaines(base_programmes& b, std::span<const int> chaines);

} // namespace zapo::donnees
