#pragma once

#include "core/services.h"

namespace zapo::plateforme {

// Desktop notifications through org.freedesktop.Notifications on the session
// bus. The call is sent without waiting for its answer: a missing server or a
// missing bus costs nothing and shows nothing. The body is plain text.
class notifications_dbus final : public notificateur {
public:
    // actions: pairs of key and French label, as the protocol wants them.
    void envoyer(const QString& titre, const QString& corps, const QString& icone = {},
                 const QStringList& actions = {}) override;
};

} // namespace zapo::plateforme
