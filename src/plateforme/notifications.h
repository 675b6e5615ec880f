#pragma once

#include "noyau/services.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

#include <optional>

namespace zapo::plateforme {

// The one Notify message of org.freedesktop.Notifications every notice sends:
// without auto-starting a server; the summary plain, the body escaped (most
// servers read it as markup), both inert, so that each reads as written.
QDBusMessage message_notify(const QString& titre, const QString& corps, const QString& icone,
                            const QStringList& actions, const QVariantMap& indices);

// That message sent. Nothing (nullopt) without a session bus.
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
