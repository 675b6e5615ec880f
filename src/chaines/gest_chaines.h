#pragma once

#include "noyau/contexte.h"

#include <functional>

// Removing chosen channels, as the main window's list shows them. Database
// failures propagate as donnees::erreur_base to the event that started the work.
namespace zapo::chaines {

// Asks, then removes the selected channel (0: none is selected, which is said).
void supprimer_chaine(contexte& ctx, int num_chaine);
// Asks, then removes every listed channel, one refresh per channel.
// `premiere_chaine` gives the channel now first in the list, 0 when the list is
// empty or gone (each refresh may run an update, during which the window can close).
void vider_chaines(contexte& ctx, const std::function<int()>& premiere_chaine);
// Removes the channel's programmes and its row in one transaction, then refreshes.
void effacer_chaine(contexte& ctx, int num_chaine);

} // namespace zapo::chaines
