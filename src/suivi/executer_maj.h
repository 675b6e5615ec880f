#pragma once

#include "maj/maj_programmes.h"

#include <functional>

namespace zapo::suivi {

class fl_maj;

// fl_maj's whole life, as the launcher needs it: the window shows (modal to the
// application), the run goes on inside (telling the guide it starts and ends),
// the window closes. An error ends the run and is reported in a
// "Zapo-TV" box once the window has gone. Without a prompt in `b`, fl_connect asks.
// `a_l_ouverture` is called with the window once it shows, before the run starts.
maj::fin_maj executer_maj(contexte& ctx, maj::branchements b = {},
                          const std::function<void(fl_maj&)>& a_l_ouverture = {});

} // namespace zapo::suivi
