#pragma once

namespace zapo::maj {

// What the runs' coordination knows of them, one for the whole program: the
// application keeps it and hands it to each run. Whether a run goes and the
// status line are the guide's (modele::guide), which the windows read.
struct etat_maj {
    // The user declined to connect: automatic runs wait for the next run asked for.
    bool maj_annulee = false;
    // "Quitter" or "Annuler" during a run: it stops at its next step.
    bool arret_demande = false;
    // The last run ended without renewing anything.
    bool maj_echouee = false;
};

} // namespace zapo::maj
