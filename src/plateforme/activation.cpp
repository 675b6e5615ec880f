#include "plateforme/activation.h"

#include "plateforme/journal_plateforme.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QPointer>

namespace zapo::plateforme {

namespace {

const QString interface_application = QStringLiteral("org.freedesktop.Application");

} // namespace

activation_bus::activation_bus(std::function<void()> activer, QObject* parent)
    : QObject(parent), activer_(std::move(activer)) {
    new adaptateur_application(this);
}

activation_bus::~activation_bus() {
    if (!inscrit_)
        return;
    bus_.unregisterObject(chemin());
    bus_.unregisterService(QStringLiteral(ZAPO_ID_APPLI));
}

QString activation_bus::chemin() {
    QString c = QStringLiteral("/") + QStringLiteral(ZAPO_ID_APPLI);
    c.replace(QLatin1Char('.'), QLatin1Char('/'));
    c.replace(QLatin1Char('-'), QLatin1Char('_'));
    return c;
}

bool activation_bus::inscrire(const QDBusConnection& bus) {
    if (inscrit_ || !bus.isConnected())
        return inscrit_;
    bus_ = bus;
    if (!bus_.registerObject(chemin(), this, QDBusConnection::ExportAdaptors))
        return false;
    if (!bus_.registerService(QStringLiteral(ZAPO_ID_APPLI))) {
        qCInfo(zapo_plateforme) << "le nom" << ZAPO_ID_APPLI << "est déjà pris sur le bus de session";
        bus_.unregisterObject(chemin());
        return false;
    }
    inscrit_ = true;
    return true;
}

bool activation_bus::activer_ouverte(const QDBusConnection& bus, int attente_ms) {
    if (!bus.isConnected())
        return false;
    QDBusMessage appel = QDBusMessage::createMethodCall(QStringLiteral(ZAPO_ID_APPLI), chemin(),
                                                        interface_application, QStringLiteral("Activate"));
    appel << QVariantMap();
    // Events go on while waiting: the object called may live in this very process.
    const QDBusMessage reponse = bus.call(appel, QDBus::BlockWithGui, attente_ms);
    return reponse.type() == QDBusMessage::ReplyMessage;
}

adaptateur_application::adaptateur_application(activation_bus* parent)
    : QDBusAbstractAdaptor(parent), activation_(parent) {}

void adaptateur_application::Activate(const QVariantMap&) {
    // Answered at once; the window comes once the bus call is over, since loading
    // it may start an update and its modal window.
    QMetaObject::invokeMethod(
        activation_,
        [a = QPointer<activation_bus>(activation_)] {
            if (a && a->activer_)
                a->activer_();
        },
        Qt::QueuedConnection);
}

} // namespace zapo::plateforme
