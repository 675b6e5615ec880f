#pragma once

#include "core/contexte.h"

namespace zapo::internet {

void afficher_aide(contexte& ctx);

} // namespace zapo::internet
