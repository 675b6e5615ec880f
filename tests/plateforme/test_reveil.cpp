// Waking from sleep, as a mock logind on a private system bus says it: only
// the end of the sleep is heard.
#include "plateforme/reveil.h"

#include "outils/bus_notifications.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>

using namespace zapo;

class test_reveil : public QObject {
    Q_OBJECT

    essais::bus_notifications bus_;

    void veille(bool avant) {
        auto m = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
        m << QStringLiteral("org.freedesktop.login1.Manager") << QStringLiteral("PrepareForSleep")
          << QStringLiteral("b") << QVariantList{QVariant::fromValue(QDBusVariant(avant))};
        const QDBusMessage r = QDBusConnection::systemBus().call(m, QDBus::Block, 5000);
        QVERIFY2(r.type() == QDBusMessage::ReplyMessage, qPrintable(r.errorMessage()));
    }

private Q_SLOTS:
    void initTestCase() {
        if (const QString manque = essais::bus_notifications::manque(); !manque.isEmpty())
            QSKIP(qPrintable(manque));
        QVERIFY(bus_.demarrer_bus(true));
        QVERIFY(bus_.demarrer_logind());
    }

    void apres_veille() {
        plateforme::reveil_systeme r;
        int nb = 0;
        r.apres_veille = [&] { ++nb; };
        veille(true);
        // Going to sleep must do nothing: no signal says so, only a short wait can.
        QTest::qWait(200);
        QCOMPARE(nb, 0);
        veille(false);
        QTRY_COMPARE_WITH_TIMEOUT(nb, 1, 5000);
    }
};

QTEST_GUILESS_MAIN(test_reveil)
#include "test_reveil.moc"
