#pragma once
// A private session bus, and python3-dbusmock's notification daemon on it when
// a test asks for one; or a private system bus with a mock logind. Debian's own
// python3: the dbusmock package lives there.
#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace zapo::essais {

class bus_notifications {
public:
    ~bus_notifications() {
        for (QProcess* p : {&serveur_, &bus_}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }

    // Why the test cannot run here, or empty.
    static QString manque() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty() ||
            !QFileInfo(python()).isExecutable())
            return QStringLiteral("dbus-daemon ou le python3 de Debian absent");
        if (QProcess::execute(python(), {QStringLiteral("-c"), QStringLiteral("import dbusmock")}) != 0)
            return QStringLiteral("python3-dbusmock absent");
        return {};
    }

    // Starts the bus and makes it this process's session bus (or system bus):
    // call it before the first use of that bus.
    bool demarrer_bus(bool systeme = false) {
        systeme_ = systeme;
        if (!dossier_.isValid())
            return false;
        bus_.start(QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--address=unix:path=") + dossier_.path() + QStringLiteral("/bus"),
                    QStringLiteral("--print-address=1")});
        if (!bus_.waitForStarted())
            return false;
        if (!QTest::qWaitFor([this] { return bus_.canReadLine(); }, 10000))
            return false;
        adresse_ = QString::fromUtf8(bus_.readLine()).trimmed();
        if (adresse_.isEmpty())
            return false;
        qputenv(variable(), adresse_.toUtf8());
        return true;
    }

    // Starts the notification daemon and waits until it owns its name.
    bool demarrer_serveur() {
        return demarrer_mock(QStringLiteral("notification_daemon"),
                             QStringLiteral("org.freedesktop.Notifications"));
    }
    // On a system bus: a logind that emits what the test tells it to.
    bool demarrer_logind() {
        return demarrer_mock(QStringLiteral("logind"), QStringLiteral("org.freedesktop.login1"));
    }

    // Every call the daemon received.
    QByteArray journal() const {
        QFile f(dossier_.path() + QStringLiteral("/mock.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    static QString python() { return QStringLiteral("/usr/bin/python3"); }
    const char* variable() const { return systeme_ ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS"; }
    QDBusConnection bus() const {
        return systeme_ ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
    }

    bool demarrer_mock(const QString& modele, const QString& nom) {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(variable()), adresse_);
        serveur_.setProcessEnvironment(env);
        serveur_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{QStringLiteral("-m"),         QStringLiteral("dbusmock"),
                         QStringLiteral("--template"), modele,
                         QStringLiteral("-l"),         dossier_.path() + QStringLiteral("/mock.log")};
        if (systeme_)
            args.insert(2, QStringLiteral("--system"));
        serveur_.start(python(), args);
        if (!serveur_.waitForStarted())
            return false;
        return QTest::qWaitFor([&] { return bus().interface()->isServiceRegistered(nom).value(); }, 15000);
    }

    QTemporaryDir dossier_;
    QProcess bus_;
    QProcess serveur_;
    QString adresse_;
    bool systeme_ = false;
};

} // namespace zapo::essais
