#pragma once

#include <QString>

namespace zapo::maj {

// What the program knows of update runs, one for the whole program: the
// application keeps it and hands it to each run, the windows read it through
// application_zapo.
struct etat_maj {
    bool maj_en_cours = false;
    // The user declined to connect: automatic runs wait for the next run asked for.
    bool maj_annulee = false;
    // "Quitter" or "Annuler" during a run: it stops at its next step.
    bool arret_demande = false;
    // The last run ended without renewing anything.
    bool maj_echouee = false;
    // The status line, kept while the main window is closed.
    QString texte_etat;
};

} // namespace zapo::maj
