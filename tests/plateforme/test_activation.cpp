// The running copy on a private session bus: a second start's call brings it
// forward, and nobody else can take its name meanwhile.
#include "outils/bus_notifications.h"
#include "plateforme/activation.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>

using namespace zapo;

class test_activation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon absent");
        QVERIFY(bus_.demarrer_bus());
    }

    void seconde_copie_appelle_la_premiere() {
        const QDBusConnection autre =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("seconde"));
        QVERIFY(autre.isConnected());
        // Nobody holds the name yet: the call fails at once.
        QVERIFY(!plateforme::activation_bus::activer_ouverte(autre));

        int appels = 0;
        {
            plateforme::activation_bus premiere([&] { ++appels; });
            QVERIFY(premiere.inscrire());
            QCOMPARE(plateforme::activation_bus::chemin(), QStringLiteral("/fr/zapotv/ZapoTV"));
            QVERIFY(plateforme::activation_bus::activer_ouverte(autre));
            QTRY_COMPARE(appels, 1);
            // The desktop's own way in: org.freedesktop.Application.Activate, with
            // its platform data.
            QDBusMessage appel = QDBusMessage::createMethodCall(
                QStringLiteral(ZAPO_ID_APPLI), plateforme::activation_bus::chemin(),
                QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
            appel << QVariantMap{{QStringLiteral("desktop-startup-id"), QStringLiteral("essai")}};
            QCOMPARE(autre.call(appel, QDBus::BlockWithGui, 5000).type(), QDBusMessage::ReplyMessage);
            QTRY_COMPARE(appels, 2);
            // Another holder is refused while this one runs.
            plateforme::activation_bus intrus([] {});
            QVERIFY(!intrus.inscrire(autre));
        }
        // Gone with its copy: the name is free again.
        QTRY_VERIFY(!autre.interface()->isServiceRegistered(QStringLiteral(ZAPO_ID_APPLI)).value());
        QVERIFY(!plateforme::activation_bus::activer_ouverte(autre));
        QCOMPARE(appels, 2);
    }

private:
    essais::bus_notifications bus_;
};

QTEST_GUILESS_MAIN(test_activation)
#include "test_activation.moc"
