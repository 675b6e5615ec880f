#include "plateforme/reveil.h"

#include <QDBusConnection>

namespace zapo::plateforme {

reveil_systeme::reveil_systeme(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                SLOT(veille(bool)));
}

void reveil_systeme::veille(bool avant) {
    if (!avant && apres_veille)
        apres_veille();
}

} // namespace zapo::plateforme
