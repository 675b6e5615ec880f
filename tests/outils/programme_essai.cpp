#include "programme_essai.h"

#include "outils/sans_bus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace zapo::essais {

programme_essai::programme_essai(const QString& options) : env_(QProcessEnvironment::systemEnvironment()) {
    const QString source = qEnvironmentVariable("ZAPO_EXE");
    ok_ = dir_.isValid() && !source.isEmpty() && QFile::copy(source, exe());
    if (!ok_)
        return;
    QFile(exe()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!options.isEmpty()) {
        QFile f(dir_.path() + QStringLiteral("/config.ini"));
        ok_ = f.open(QIODevice::WriteOnly) && f.write(options.toLatin1()) > 0;
    }
    const QString racine = dir_.path();
    for (const char* d : {"/home", "/config", "/donnees", "/run"})
        QDir().mkpath(racine + QLatin1String(d));
    QFile::setPermissions(racine + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env_.insert(QStringLiteral("HOME"), racine + QStringLiteral("/home"));
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), racine + QStringLiteral("/config"));
    env_.insert(QStringLiteral("XDG_DATA_HOME"), racine + QStringLiteral("/donnees"));
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), racine + QStringLiteral("/run"));
    env_.insert(QStringLiteral("ZAPO_TV_ADRESSE_TEST"), QStringLiteral("127.0.0.1"));
    env_.insert(QStringLiteral("ZAPO_TV_JOURNAL_BOITES"), racine + QStringLiteral("/boites.jsonl"));
    if (!env_.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // No bus nor screen of the user's: the program must not reach one, nor have
    // D-Bus autolaunch a bus on a display. A test gives its own (ecran_virtuel,
    // a private bus) when it wants one.
    for (const char* v : {"DBUS_SESSION_BUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS"})
        env_.insert(QLatin1String(v), QLatin1String(adresse_sans_bus));
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY"})
        env_.remove(QLatin1String(v));
}

programme_essai::~programme_essai() {
    for (auto& p : processus_) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}

QProcess* programme_essai::lancer(const QStringList& arguments) {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env_);
    p->setWorkingDirectory(dir_.path());
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(exe(), arguments);
    p->waitForStarted(5000);
    processus_.push_back(std::move(p));
    return processus_.back().get();
}

bool attendre_ligne(QProcess& p, const QByteArray& attendu, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        while (p.canReadLine())
            if (p.readLine().startsWith(attendu))
                return true;
        if (p.state() == QProcess::NotRunning && !p.canReadLine())
            return false;
        p.waitForReadyRead(50);
    }
    return false;
}

void programme_essai::suivre_fenetre() {
    env_.insert(QStringLiteral("ZAPO_TV_JOURNAL_VUES"), dir_.path() + QStringLiteral("/vues.jsonl"));
}

bool programme_essai::fenetre_affichee() const {
    const QString journal = env_.value(QStringLiteral("ZAPO_TV_JOURNAL_VUES"));
    return !journal.isEmpty() && QFileInfo(journal).size() > 0;
}

QList<QJsonObject> programme_essai::boites() const {
    QList<QJsonObject> res;
    QFile f(dir_.path() + QStringLiteral("/boites.jsonl"));
    if (!f.open(QIODevice::ReadOnly))
        return res;
    for (const QByteArray& ligne : f.readAll().split('\n'))
        if (!ligne.trimmed().isEmpty())
            res << QJsonDocument::fromJson(ligne).object();
    return res;
}

} // namespace zapo::essais
