// The reminder's desktop notification against python3-dbusmock's notification
// daemon on a private session bus: what it shows, its "Voir" action, and the
// other way taken when no server answers.
#include "plateforme/notifications_rappels.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "outils/bus_notifications.h"

using namespace zapo;

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");

} // namespace

class test_notifications_rappels : public QObject {
    Q_OBJECT

    essais::bus_notifications bus_;

    QByteArray journal() const { return bus_.journal(); }

private Q_SLOTS:
    void initTestCase() {
        if (const QString manque = essais::bus_notifications::manque(); !manque.isEmpty())
            QSKIP(qPrintable(manque));
        QVERIFY(bus_.demarrer_bus());
    }

    // Nobody owns the name: the caller hears it at once and warns another way.
    void sans_serveur() {
        plateforme::notifications_rappels n;
        int autres = 0;
        n.envoyer(QStringLiteral("Columbo"), QStringLiteral("Canal Deux à 21:00"), QStringLiteral("zapo-tv"),
                  2, [&] { ++autres; });
        QTRY_COMPARE_WITH_TIMEOUT(autres, 1, 3000);
    }

    // Summary, body, icon and the "Voir" action reach the server; the action
    // chosen there comes back with the reminder's channel.
    void avec_serveur() {
        QVERIFY(bus_.demarrer_serveur());

        plateforme::notifications_rappels n;
        QList<int> vus;
        n.voir = [&](int cle) { vus << cle; };
        int autres = 0;
        n.envoyer(QStringLiteral("Columbo"), QStringLiteral("Canal <b>Deux</b> & Cie à 21:00"),
                  QStringLiteral("zapo-tv"), 2, [&] { ++autres; });
        QTRY_VERIFY_WITH_TIMEOUT(journal().contains(" Notify "), 10000);
        const QByteArray j = journal();
        // The body is markup to most servers: a channel's name is escaped to read as written.
        for (const char* attendu :
             {"\"Zapo-TV\"", "\"zapo-tv\"", "\"Columbo\"", "Canal &lt;b&gt;Deux&lt;/b&gt; &amp; Cie", "21:00",
              "\"voir\"", "\"Voir\""})
            QVERIFY2(j.contains(attendu), j.constData());
        QVERIFY2(!j.contains("<b>"), j.constData());
        // The daemon numbers its notifications from 1. An action on someone
        // else's notification, or another action, shows nothing.
        auto emettre = [&](uint id, const QString& action) {
            auto m = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                    QStringLiteral("org.freedesktop.DBus.Mock"),
                                                    QStringLiteral("EmitSignal"));
            m << service << QStringLiteral("ActionInvoked") << QStringLiteral("us")
              << QVariantList{QVariant::fromValue(QDBusVariant(id)),
                              QVariant::fromValue(QDBusVariant(action))};
            const QDBusMessage r = QDBusConnection::sessionBus().call(m, QDBus::Block, 5000);
            QVERIFY2(r.type() == QDBusMessage::ReplyMessage, qPrintable(r.errorMessage()));
        };
        emettre(7, QStringLiteral("voir"));
        emettre(1, QStringLiteral("autre"));
        // The signals come in the order they were sent: once the last one is heard,
        // the two before it have been, and they showed nothing.
        emettre(1, QStringLiteral("voir"));
        QTRY_COMPARE_WITH_TIMEOUT(vus, QList<int>{2}, 5000);
        QCOMPARE(autres, 0);
    }
};

QTEST_GUILESS_MAIN(test_notifications_rappels)
#include "test_notifications_rappels.moc"
