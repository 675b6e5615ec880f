#pragma once

#include "noyau/services.h"

#include <QDBusPendingCall>
#include <QVariantMap>

#include <optional>

namespace zapo::plateforme {

// The one Notify call of org.freedesktop.Notifications every notice goes
// through: sent without auto-starting a server, the body escaped so that it
// reads as plain text. Nothing (nullopt) without a session bus.
std::optional<QDBusPendingCall> appeler_notify(const QString& titre, const QString& corps,
                                               const QString& icone, const QStringList& actions,
                                               const QVariantMap& indices, int delai_ms = -1);

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
