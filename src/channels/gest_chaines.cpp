#include "channels/gest_chaines.h"

#include "data/base_programmes.h"
#include "views/fl_main.h"

namespace zapo::gest_chaines {

void supprimer_chaine(contexte& ctx, vues::fl_main& f) {
    (void)ctx;
    (void)f;
}

void vider_chaines(contexte& ctx, vues::fl_main& f) {
    (void)ctx;
    (void)f;
}

void effacer_chaine(contexte& ctx, int num_chaine) {
    donnees::base_programmes(ctx.chemin_base()).effacer_chaine(num_chaine);
    if (ctx.rafraichir_fenetre)
        ctx.rafraichir_fenetre();
}

} // namespace zapo::gest_chaines
