#include "liaison/garde.h"
#include "modele/guide.h"
#include "vues/fl_main.h"

namespace zapo::vues {

void fl_main::ecouter_guide() {
    modele::guide& g = modele::guide_de(ctx_);
    // Closed but not yet freed, the window shows nothing more.
    auto quand_chargee = [this](auto faire) {
        return [this, faire] {
            if (!est_dechargee())
                liaison::garde(ctx_, [&] { faire(); });
        };
    };
    connect(&g, &modele::guide::chaines_changees, this, quand_chargee([this] { rafraichir_fenetre(); }));
    connect(&g, &modele::guide::programmes_changes, this, quand_chargee([this] {
        const modele::guide::seance s(modele::guide_de(ctx_));
        remplir_programmes();
        affiche_actuel();
    }));
    connect(&g, &modele::guide::sante_changee, this, quand_chargee([this] { marquer_sante(); }));
    // The status line says at once what the runs and the freshness check say.
    connect(&g, &modele::guide::etat_maj_change, this,
            quand_chargee([this] { ecrire_etat(modele::guide_de(ctx_).texte_etat()); }));
}

} // namespace zapo::vues
