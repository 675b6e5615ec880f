// The reminder's desktop notification against python3-dbusmock's notification
// daemon on a private session bus: what it shows, its "Voir" action, and the
// other way taken when no server answers.
#include "platform/notifications_rappels.h"

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

using namespace zapo;

namespace {

const QString python_debian = QStringLiteral("/usr/bin/python3");
const QString service = QStringLiteral("org.freedesktop.Notifications");

} // namespace

class test_notifications_rappels : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    QProcess bus_;
    QProcess mock_;
    QString adresse_;

    QByteArray journal() const {
        QFile f(dossier_.path() + QStringLiteral("/mock.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !QFileInfo(python_debian).isExecutable())
            QSKIP("dbus-daemon ou le python3 de Debian absent");
        if (QProcess::execute(python_debian, {QStringLiteral("-c"), QStringLiteral("import dbusmock")}) != 0)
            QSKIP("python3-dbusmock absent");
        QVERIFY(dossier_.isValid());
        bus_.start(daemon,
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--address=unix:path=") + dossier_.path() + QStringLiteral("/bus"),
                    QStringLiteral("--print-address=1")});
        QVERIFY(bus_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bus_.canReadLine(), 10000);
        adresse_ = QString::fromUtf8(bus_.readLine()).trimmed();
        QVERIFY(!adresse_.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", adresse_.toUtf8());
    }

    void cleanupTestCase() {
        for (QProcess* p : {&mock_, &bus_}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
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
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), adresse_);
        mock_.setProcessEnvironment(env);
        mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_.start(python_debian, {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                    QStringLiteral("--template"), QStringLiteral("notification_daemon"),
                                    QStringLiteral("-l"), dossier_.path() + QStringLiteral("/mock.log")});
        QVERIFY(mock_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value(), 15000);

        plateforme::notifications_rappels n;
        QList<int> vus;
        n.voir = [&](int cle) { vus << cle; };
        int autres = 0;
        n.envoyer(QStringLiteral("Columbo"), QStringLiteral("Canal Deux à 21:00"), QStringLiteral("zapo-tv"),
                  2, [&] { ++autres; });
        QTRY_VERIFY_WITH_TIMEOUT(journal().contains(" Notify "), 10000);
        const QByteArray j = journal();
        for (const char* attendu :
             {"\"Zapo-TV\"", "\"zapo-tv\"", "\"Columbo\"", "Canal Deux", "21:00", "\"voir\"", "\"Voir\""})
            QVERIFY2(j.contains(attendu), j.constData());
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
        QTest::qWait(300);
        QVERIFY(vus.isEmpty());
        emettre(1, QStringLiteral("voir"));
        QTRY_COMPARE_WITH_TIMEOUT(vus, QList<int>{2}, 5000);
        QCOMPARE(autres, 0);
    }
};

QTEST_GUILESS_MAIN(test_notifications_rappels)
#include "test_notifications_rappels.moc"
