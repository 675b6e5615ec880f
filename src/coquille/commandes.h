#pragma once

#include "noyau/contexte.h"
#include "vues/fl_main.h"

namespace zapo::coquille {

class fl_init;

// What each of the main window's menu items and buttons does. `w` is the window
// the command came from; it stays allocated while the command runs.
void executer_commande(fl_init& agent, contexte& ctx, vues::fl_main& w, vues::fl_main::commande c);

} // namespace zapo::coquille
