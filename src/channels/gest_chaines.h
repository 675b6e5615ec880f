#pragma once

#include "core/contexte.h"

namespace zapo::vues {
class fl_main;
}

namespace zapo::gest_chaines {

void supprimer_chaine(contexte& ctx, vues::fl_main& f);
void vider_chaines(contexte& ctx, vues::fl_main& f);
void effacer_chaine(contexte& ctx, int num_chaine);

} // namespace zapo::gest_chaines
