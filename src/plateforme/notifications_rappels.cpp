#include "plateforme/notifications_rappels.h"

#include "plateforme/notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QVariantMap>

namespace zapo::plateforme {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString chemin = QStringLiteral("/org/freedesktop/Notifications");
const QString action_voir = QStringLiteral("voir");
constexpr std::size_t nb_ouvertes_max = 64;

} // namespace

notifications_rappels::notifications_rappels(QObject* parent) : QObject(parent) {}

void notifications_rappels::ecouter() {
    if (a_l_ecoute_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    a_l_ecoute_ = bus.connect(service, chemin, service, QStringLiteral("ActionInvoked"), this,
                              SLOT(action_choisie(uint, QString))) &&
                  bus.connect(service, chemin, service, QStringLiteral("NotificationClosed"), this,
                              SLOT(fermee(uint, uint)));
}

void notifications_rappels::envoyer(const QString& titre, const QString& corps, const QString& icone, int cle,
                                    std::function<void()> sans_serveur) {
    ecouter();
    QVariantMap indices;
    indices.insert(QStringLiteral("category"), QStringLiteral("x-zapo-tv.rappel"));
    const auto appel = appeler_notify(titre, corps, icone, QStringList{action_voir, QStringLiteral("Voir")},
                                      indices, delai_reponse_ms);
    if (!appel) { // no session bus
        if (sans_serveur)
            sans_serveur();
        return;
    }
    auto* attente = new QDBusPendingCallWatcher(*appel, this);
    connect(attente, &QDBusPendingCallWatcher::finished, this,
            [this, cle, sans_serveur = std::move(sans_serveur)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> r = *w;
                if (r.isError()) {
                    if (sans_serveur)
                        sans_serveur();
                    return;
                }
                if (ouvertes_.size() >= nb_ouvertes_max)
                    ouvertes_.erase(ouvertes_.begin());
                ouvertes_[r.value()] = cle;
            });
}

void notifications_rappels::action_choisie(uint id, const QString& action) {
    const auto it = ouvertes_.find(id);
    if (it == ouvertes_.end())
        return;
    const int cle = it->second;
    if ((action == action_voir || action == QLatin1String("default")) && voir)
        voir(cle);
}

void notifications_rappels::fermee(uint id, uint) {
    ouvertes_.erase(id);
}

} // namespace zapo::plateforme
