#include "platform/dossier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <unistd.h>

namespace zapo::plateforme {

QString trouver_dossier_appli() {
    const QString exe = QCoreApplication::applicationDirPath();
    if (!exe.isEmpty() && ::access(QFile::encodeName(exe).constData(), W_OK) == 0)
        return QDir::cleanPath(exe);
    // $XDG_DATA_HOME/Zapo-TV, that is ~/.local/share/Zapo-TV by default.
    QString perso = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (perso.isEmpty())
        perso = QDir::homePath() + QStringLiteral("/.local/share");
    perso += QStringLiteral("/Zapo-TV");
    QDir().mkpath(perso);
    return QDir::cleanPath(perso);
}

bool deposer_base(const QString& dossier, const QString& source) {
    const QString cible = dossier + QStringLiteral("/programmes.mdb");
    if (QFileInfo::exists(cible))
        return true;
    QFile src(source);
    if (!src.open(QIODevice::ReadOnly))
        return false;
    // Written whole under another name first, so a crash never leaves half a base.
    QSaveFile f(cible);
    // Unbuffered, so that a short write is seen before the commit.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray contenu = src.readAll();
    if (f.write(contenu) != contenu.size()) {
        f.cancelWriting();
        return false;
    }
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return f.commit();
}

} // namespace zapo::plateforme
