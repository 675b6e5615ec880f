#pragma once

#include "noyau/services.h"

#include <optional>

namespace zapo::crochets {

// With ZAPO_TV_JOURNAL_BOITES set, a box is written to that file as one JSON line
// and answered "Oui" (or "OK") without being shown; otherwise nullopt.
std::optional<reponse_boite> journaliser_boite(const QString& titre, const QString& texte, icone_boite icone,
                                               boutons_boite boutons);

} // namespace zapo::crochets
