#pragma once

#include "noyau/alias_chaines.h"

#include <span>

namespace zapo::donnees {
class base_programmes;
}

namespace zapo::maj {

// The ids and names channels have been known by: db/alias_chaines.txt, built into the program.
std::span<const alias_chaine> alias_connus();

// Each of these channels whose stored name is an older name of its own gets
// the name on air; a name the user chose stays. Inside the caller's transaction.
void renommer_chaines(donnees::base_programmes& b, std::span<const int> nums,
                      std::span<const alias_chaine> alias = alias_connus());

} // namespace zapo::maj
