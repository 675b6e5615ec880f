// Desktop notifications over D-Bus, against python3-dbusmock's notification
// daemon on a private session bus that the test starts.
#include "banc_maj.h"

#include "outils/programme_essai.h"
#include "platform/notifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QString python_debian = QStringLiteral("/usr/bin/python3");
const QString service = QStringLiteral("org.freedesktop.Notifications");

} // namespace

class test_notifications : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    QProcess bus_;
    QProcess mock_;
    QString adresse_;

    int nb_notify() const {
        QFile f(dossier_.path() + QStringLiteral("/mock.log"));
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return int(f.readAll().count(" Notify "));
    }
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
        // Before the first use of the session bus in this process.
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

    // No server on the bus yet: nothing shows, and nothing waits.
    void sans_serveur() {
        plateforme::notifications_dbus n;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 20; ++i)
            n.envoyer(QStringLiteral("Zapo-TV"), QStringLiteral("essai"));
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
    }

    // Automatic runs with a channel that keeps failing: one notification, not two.
    void une_seule_fois() {
        mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), adresse_);
        mock_.setProcessEnvironment(env);
        mock_.start(python_debian, {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                    QStringLiteral("--template"), QStringLiteral("notification_daemon"),
                                    QStringLiteral("-l"), dossier_.path() + QStringLiteral("/mock.log")});
        QVERIFY(mock_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value(), 15000);

        banc_maj b;
        plateforme::notifications_dbus n;
        b.ctx.notifications = &n;
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        b.ajouter(chaines[2], false);
        serveur_http::reponse r;
        r.statut = 503;
        b.serveur.definir(chaines[2].chemin, r);
        const auto lancer_auto = [&] {
            maj::branchements br;
            br.automatique = true;
            br.fabrique_recup = [&] { return std::make_unique<maj::recuperateur>(b.horloge); };
            return maj::executer_maj(b.ctx, std::move(br));
        };
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QTRY_COMPARE_WITH_TIMEOUT(nb_notify(), 1, 10000);
        QVERIFY2(journal().contains("Canal Trois"), journal().constData());
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QTest::qWait(500);
        QCOMPARE(nb_notify(), 1);
    }
};

QTEST_MAIN(test_notifications)
#include "test_notifications.moc"
