#include "plateforme/dossier.h"

#include "plateforme/journal_plateforme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <unistd.h>

namespace zapo::plateforme {

bool programme_installe(const QString& dossier_executable) {
    return !dossier_executable.isEmpty() &&
           QFileInfo(QDir::cleanPath(dossier_executable)).fileName() == QLatin1String("bin");
}

QString dossier_donnees_perso(bool creer) {
    QString perso = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (perso.isEmpty())
        perso = QDir::homePath() + QStringLiteral("/.local/share");
    perso = QDir::cleanPath(perso + QStringLiteral("/Zapo-TV"));
    if (creer && !QDir().mkpath(perso))
        qCWarning(zapo_plateforme, "Impossible de créer le dossier de données « %s ».",
                  qUtf8Printable(perso));
    return perso;
}

QString trouver_dossier_appli(bool creer) {
    const QString exe = QCoreApplication::applicationDirPath();
    if (programme_installe(exe)) {
        // Never beside an installed program, root included: /usr/bin is no place for a base.
        qCDebug(zapo_plateforme, "Programme installé dans « %s » : données de l'utilisateur.",
                qUtf8Printable(exe));
        return dossier_donnees_perso(creer);
    }
    if (!exe.isEmpty() && ::access(QFile::encodeName(exe).constData(), W_OK) == 0)
        return QDir::cleanPath(exe);
    const QString perso = dossier_donnees_perso(creer);
    qCInfo(zapo_plateforme, "Le dossier du programme « %s » est en lecture seule : données dans « %s ».",
           qUtf8Printable(exe), qUtf8Printable(perso));
    return perso;
}

bool deposer_base(const QString& dossier, const QString& source) {
    const QString cible = dossier + QStringLiteral("/programmes.mdb");
    if (QFileInfo::exists(cible))
        return true;
    QFile src(source);
    if (!src.open(QIODevice::ReadOnly)) {
        qCWarning(zapo_plateforme, "Base livrée « %s » illisible.", qUtf8Printable(source));
        return false;
    }
    // Written whole under another name first, so a crash never leaves half a base.
    QSaveFile f(cible);
    // Unbuffered, so that a short write is seen before the commit.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qCWarning(zapo_plateforme, "Impossible de créer « %s » : %s.", qUtf8Printable(cible),
                  qUtf8Printable(f.errorString()));
        return false;
    }
    const QByteArray contenu = src.readAll();
    if (f.write(contenu) != contenu.size()) {
        qCWarning(zapo_plateforme, "Écriture de « %s » interrompue : %s.", qUtf8Printable(cible),
                  qUtf8Printable(f.errorString()));
        f.cancelWriting();
        return false;
    }
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!f.commit()) {
        qCWarning(zapo_plateforme, "Impossible d'enregistrer « %s » : %s.", qUtf8Printable(cible),
                  qUtf8Printable(f.errorString()));
        return false;
    }
    qCInfo(zapo_plateforme, "Base livrée déposée dans « %s ».", qUtf8Printable(cible));
    return true;
}

} // namespace zapo::plateforme
