#include "outils/ecran_virtuel.h"

#include "outils/sans_bus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

namespace zapo::essais {

ecran_virtuel::ecran_virtuel() {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return;
    xvfb_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    xvfb_.setStandardErrorFile(QProcess::nullDevice());
    // Xvfb picks a free display itself and names it on the descriptor given;
    // -noreset keeps it from refusing the next client after the last one left.
    xvfb_.start(QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                 QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                 QStringLiteral("tcp"), QStringLiteral("-noreset")});
    QByteArray sortie;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000 && !sortie.contains('\n') && xvfb_.state() != QProcess::NotRunning) {
        xvfb_.waitForReadyRead(50);
        sortie += xvfb_.readAllStandardOutput();
    }
    bool ok = false;
    const int n = sortie.trimmed().toInt(&ok);
    if (ok)
        affichage_ = QStringLiteral(":%1").arg(n);
}

ecran_virtuel::~ecran_virtuel() {
    if (xvfb_.state() == QProcess::NotRunning)
        return;
    xvfb_.terminate();
    if (!xvfb_.waitForFinished(2000)) {
        xvfb_.kill();
        xvfb_.waitForFinished(2000);
    }
}

void ecran_virtuel::preparer(QProcessEnvironment& env) const {
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), affichage_);
    for (const char* v :
         {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(v));
    // With a display and no bus, libdbus would autolaunch one on it.
    if (!env.contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")))
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QLatin1String(adresse_sans_bus));
}

bool ecran_virtuel::capturer(const QString& outil_capture, const QString& fichier) const {
    QDir().mkpath(QFileInfo(fichier).absolutePath());
    QProcess c;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QLatin1String(adresse_sans_bus));
    preparer(env);
    c.setProcessEnvironment(env);
    c.start(outil_capture, {fichier});
    return c.waitForFinished(10000) && c.exitStatus() == QProcess::NormalExit && c.exitCode() == 0;
}

} // namespace zapo::essais
