#pragma once

#include "noyau/services.h"

#include <QString>

namespace zapo::plateforme {

// Target of the on-line test: a public host that answers echo requests.
inline constexpr char adresse_test[] = "1.1.1.1";

// adresse_test, or the value of ZAPO_TV_ADRESSE_TEST when that is set (test
// set-ups, networks that filter the usual host).
QString adresse_a_tester();

// Dial-up kinds that NetworkManager brings up and drops for us; Bluetooth only
// as a dial-up ("dun") link.
bool est_type_numerotation(const QString& type, const QString& type_bluetooth = {});

// On line: one echo answered. Dialling and hanging up: NetworkManager on the
// system bus; without it both do nothing.
class connexion_linux final : public service_connexion {
public:
    explicit connexion_linux(int delai_activation_ms = 60000) : delai_activation_ms_(delai_activation_ms) {}

    bool est_connecte() override;
    // Brings up the user's dial-up profile with the highest autoconnect
    // priority, then the most recently used, and waits (events running) until
    // it is up or has failed. Every call is waited for with events running,
    // all within one deadline; a call left unanswered ends the step.
    void connecter() override;
    // Drops every active dial-up connection; Ethernet, Wi-Fi and VPN stay.
    void deconnecter() override;

    // Read while NetworkManager is waited for: once true, the step gives up
    // (the run's "Annuler"). The flag outlives this object.
    void definir_arret(const bool* arret) { arret_ = arret; }

private:
    int delai_activation_ms_;
    const bool* arret_ = nullptr;
};

} // namespace zapo::plateforme
