#pragma once

#include "core/services.h"

#include <QString>

namespace zapo {

class horloge;

// The program-wide variables, one instance for the whole run.
struct globales {
    QString dossier_appli; // no trailing slash
    bool opt_majauto = false;
    bool opt_connexion = false;
    bool opt_deconnexion = false;
    bool opt_agent = false;
    int chaine_courante = 0;
    QString texte_etat;
    bool maj_en_cours = false;
    bool maj_annulee = false;
    bool arret_demande = false;
    bool maj_echouee = false; // the last run ended without renewing anything
};

// What every layer is handed: the variables and the replaceable services, the
// application around the windows among them (set by the shell at start-up).
struct contexte {
    globales g;

    horloge* horloge_ = nullptr;
    boites_message* boites = nullptr;
    service_connexion* connexion = nullptr;
    rythme* pas = nullptr;
    notificateur* notifications = nullptr;
    application_zapo* appli = nullptr;

    QString chemin_base() const { return g.dossier_appli + QStringLiteral("/programmes.mdb"); }
    QString chemin_options() const { return g.dossier_appli + QStringLiteral("/config.ini"); }
};

} // namespace zapo
