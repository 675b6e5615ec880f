#pragma once

#include "noyau/contexte.h"

// Removing chosen channels, as the main window's list shows them. Database
// failures propagate as donnees::erreur_base to the event that started the work.
namespace zapo::chaines {

// Asks, then removes the selected channel (0: none is selected, which is said).
void supprimer_chaine(contexte& ctx, int num_chaine);
// Asks, then removes every channel of the list in one transaction.
void vider_chaines(contexte& ctx);
// Removes the channel's programmes and its row in one transaction; the guide
// tells the windows.
void effacer_chaine(contexte& ctx, int num_chaine);

} // namespace zapo::chaines
