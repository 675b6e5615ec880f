#pragma once
// A private session bus, and python3-dbusmock's notification daemon on it when
// a test asks for one. Debian's own python3: the dbusmock package lives there.
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

    // Starts the bus and makes it this process's session bus: call it before the
    // first use of the session bus.
    bool demarrer_bus() {
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
        qputenv("DBUS_SESSION_BUS_ADDRESS", adresse_.toUtf8());
        return true;
    }

    // Starts the notification daemon and waits until it owns its name.
    bool demarrer_serveur() {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), adresse_);
        serveur_.setProcessEnvironment(env);
        serveur_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        serveur_.start(python(), {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                  QStringLiteral("--template"), QStringLiteral("notification_daemon"),
                                  QStringLiteral("-l"), dossier_.path() + QStringLiteral("/mock.log")});
        if (!serveur_.waitForStarted())
            return false;
        return QTest::qWaitFor(
            [] {
                return QDBusConnection::sessionBus()
                    .interface()
                    ->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications"))
                    .value();
            },
            15000);
    }

    // Every call the daemon received.
    QByteArray journal() const {
        QFile f(dossier_.path() + QStringLiteral("/mock.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    static QString python() { return QStringLiteral("/usr/bin/python3"); }

    QTemporaryDir dossier_;
    QProcess bus_;
    QProcess serveur_;
    QString adresse_;
};

} // namespace zapo::essais
