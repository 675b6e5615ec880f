#include "coquille/icone_agent.h"

#include "composants/dessins.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

namespace zapo::coquille {

icone_agent::icone_agent() {
    menuicone_.setTitle(QStringLiteral("Fichier"));
    menu02_ = menuicone_.addAction(QStringLiteral("Mettre à jour"));
    menu02_->setObjectName(QStringLiteral("menu02"));
    menu01_ = menuicone_.addAction(QStringLiteral("Quitter"));
    menu01_->setObjectName(QStringLiteral("menu01"));
    connect(menu02_, &QAction::triggered, this, &icone_agent::mise_a_jour_demandee);
    connect(menu01_, &QAction::triggered, this, &icone_agent::quitter_demande);
}

icone_agent::~icone_agent() = default;

QSystemTrayIcon& icone_agent::icone() {
    if (!icone_) {
        icone_ = std::make_unique<QSystemTrayIcon>();
        // Its tip reads "Zapo-TV".
        icone_->setIcon(composants::icone_programme());
        icone_->setToolTip(QStringLiteral("Zapo-TV"));
        icone_->setContextMenu(&menuicone_);
        connect(icone_.get(), &QSystemTrayIcon::activated, this, &icone_agent::activee);
        connect(icone_.get(), &QSystemTrayIcon::messageClicked, this, &icone_agent::message_clique);
    }
    return *icone_;
}

void icone_agent::changer_image(const QIcon& image) {
    if (icone_)
        icone_->setIcon(image);
}

void icone_agent::montrer() {
    if (!icone().isVisible())
        icone_->show();
}

void icone_agent::cacher() {
    if (icone_)
        icone_->hide();
}

bool icone_agent::messages_possibles() const {
    return visible() && QSystemTrayIcon::supportsMessages();
}

void icone_agent::afficher_message(const QString& titre, const QString& texte) {
    icone().showMessage(titre, texte, composants::icone_programme(), 15000);
}

bool zone_sni_presente() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
    const auto inscrit = bus.interface()->isServiceRegistered(service);
    if (!inscrit.isValid() || !inscrit.value())
        return false;
    auto m = QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierWatcher"),
                                            QStringLiteral("org.freedesktop.DBus.Properties"),
                                            QStringLiteral("Get"));
    m << service << QStringLiteral("IsStatusNotifierHostRegistered");
    // A panel that is busy starting answers later: the next poll asks again.
    const QDBusMessage r = bus.call(m, QDBus::Block, 500);
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return false;
    return r.arguments().first().value<QDBusVariant>().variant().toBool();
}

} // namespace zapo::coquille
