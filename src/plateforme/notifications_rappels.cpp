#include "plateforme/notifications_rappels.h"

#include "plateforme/notifications.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QVariantMap>

#include <utility>

namespace zapo::plateforme {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString chemin = QStringLiteral("/org/freedesktop/Notifications");
const QString action_voir = QStringLiteral("voir");
constexpr std::size_t nb_ouvertes_max = 64;

// One Notify call's answer. Qt hands it to these slots as it hands over the
// bus's signals, in the order the bus delivered them: the notification's number
// is known before any action on it is heard, however quick the action.
class attente_notify : public QObject {
    Q_OBJECT
public:
    attente_notify(std::function<void(uint)> numero, std::function<void()> sans_serveur, QObject* parent)
        : QObject(parent), numero_(std::move(numero)), sans_serveur_(std::move(sans_serveur)) {}

public Q_SLOTS:
    void reponse(uint id) {
        deleteLater();
        if (auto f = std::exchange(numero_, nullptr))
            f(id);
        sans_serveur_ = nullptr;
    }
    void erreur(const QDBusError&) {
        deleteLater();
        numero_ = nullptr;
        if (auto f = std::exchange(sans_serveur_, nullptr))
            f();
    }

private:
    std::function<void(uint)> numero_;
    std::function<void()> sans_serveur_;
};

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
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (sans_serveur)
            sans_serveur();
        return;
    }
    QVariantMap indices;
    indices.insert(QStringLiteral("category"), QStringLiteral("x-zapo-tv.rappel"));
    auto* attente = new attente_notify(
        [this, cle](uint id) {
            if (ouvertes_.size() >= nb_ouvertes_max)
                ouvertes_.erase(ouvertes_.begin());
            ouvertes_[id] = cle;
        },
        std::move(sans_serveur), this);
    if (!bus.callWithCallback(
            message_notify(titre, corps, icone, QStringList{action_voir, QStringLiteral("Voir")}, indices),
            attente, SLOT(reponse(uint)), SLOT(erreur(QDBusError)), delai_reponse_ms))
        attente->erreur(QDBusError());
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

#include "notifications_rappels.moc"
