#pragma once

#include "core/contexte.h"

namespace zapo::vues {
class fl_main;
}

// Removing chosen channels. The channel number comes only from the "index"
// column of the main window's list. Database failures propagate as
// donnees::erreur_base to the event that started the work.
namespace zapo::chaines {

// Asks, then removes the selected channel (the last selected line wins).
void supprimer_chaine(contexte& ctx, vues::fl_main& f);
// Asks, then removes every listed channel, one refresh per channel.
void vider_chaines(contexte& ctx, vues::fl_main& f);
// Removes the channel's programmes and its row in one transaction, then refreshes.
void effacer_chaine(contexte& ctx, int num_chaine);

} // namespace zapo::chaines
