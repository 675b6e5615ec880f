#include "plateforme/notifications.h"

#include "noyau/decodage.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace zapo::plateforme {

QDBusMessage message_notify(const QString& titre, const QString& corps, const QString& icone,
                            const QStringList& actions, const QVariantMap& indices) {
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Without a server, the bus answers with an error that nobody reads; the
    // call never auto-starts one.
    m.setAutoStartService(false);
    // Most servers read the body as markup: a channel named "A & B" must stay
    // whole, a title holding tags shows them.
    m << QStringLiteral("Zapo-TV") << uint(0) << icone << texte_inerte(titre)
      << texte_inerte(corps).toHtmlEscaped() << actions << indices << int(-1);
    return m;
}

std::optional<QDBusPendingCall> appeler_notify(const QString& titre, const QString& corps,
                                               const QString& icone, const QStringList& actions,
                                               const QVariantMap& indices, int delai_ms) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus.asyncCall(message_notify(titre, corps, icone, actions, indices), delai_ms);
}

void notifications_dbus::envoyer(const QString& titre, const QString& corps, const QString& icone,
                                 const QStringList& actions) {
    // Without a server, the bus answers with an error that nobody reads.
    appeler_notify(titre, corps, icone, actions, {});
}

} // namespace zapo::plateforme
