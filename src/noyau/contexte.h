#pragma once

#include "noyau/options_format.h"
#include "noyau/services.h"

#include <QString>

namespace zapo::modele {
class guide;
}

namespace zapo::inline noyau {

class horloge;

// What every layer is handed: where the program's files are, the user's options
// and the replaceable services, the application around the windows among them
// (all set by the shell at start-up). The state of the windows and of update
// runs is kept by their owners, not here.
struct contexte {
    QString dossier_appli; // no trailing slash
    // As config.ini holds them; the shell reads them at start and saves each change.
    valeurs_options options;

    horloge* horloge_ = nullptr;
    boites_message* boites = nullptr;
    service_connexion* connexion = nullptr;
    rythme* pas = nullptr;
    notificateur* notifications = nullptr;
    application_zapo* appli = nullptr;
    // What the windows read and listen to (src/modele), set by the shell.
    modele::guide* guide = nullptr;

    QString chemin_base() const { return dossier_appli + QStringLiteral("/programmes.mdb"); }
    QString chemin_options() const { return dossier_appli + QStringLiteral("/config.ini"); }
};

} // namespace zapo::inline noyau
