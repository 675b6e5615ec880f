#include "donnees/raison_ecriture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

#include <sys/stat.h>

namespace zapo::donnees {

QString raison_ecriture_impossible(const QString& dossier) {
    const QFileInfo info(dossier);
    if (!info.isDir())
        return QStringLiteral("le dossier n'existe pas");
    const QStorageInfo disque(dossier);
    if (disque.isValid()) {
        if (disque.isReadOnly())
            return QStringLiteral("le disque est en lecture seule");
        // A few blocks left are as good as none: every write wants some room.
        if (disque.bytesAvailable() < 64 * 1024)
            return QStringLiteral("le disque est plein");
    }
    if (!info.isWritable())
        return QStringLiteral("accès refusé");
    return QStringLiteral("écriture impossible");
}

QString raison_creation_dossier(const QString& dossier) {
    QString chemin = QDir::cleanPath(QFileInfo(dossier).absoluteFilePath());
    for (;;) {
        const QFileInfo info(chemin);
        if (info.exists() || info.isSymLink()) {
            if (info.isDir())
                return raison_ecriture_impossible(chemin);
            return chemin == QDir::cleanPath(QFileInfo(dossier).absoluteFilePath())
                       ? QStringLiteral("un fichier porte déjà ce nom")
                       : QStringLiteral("« %1 » n'est pas un dossier").arg(chemin);
        }
        const QString parent = info.absolutePath();
        if (parent == chemin)
            return QStringLiteral("écriture impossible");
        chemin = parent;
    }
}

bool autre_chose_qu_un_fichier(const QString& chemin) {
    struct stat s {};
    return ::stat(QFile::encodeName(chemin).constData(), &s) == 0 && !S_ISREG(s.st_mode);
}

QString raison_erreur_systeme(int code) {
    switch (code) {
    case ENOSPC:
        return QStringLiteral("il ne reste plus de place");
    case EDQUOT:
        return QStringLiteral("le quota de disque est dépassé");
    case EPIPE:
        return QStringLiteral("le programme qui lisait la sortie l'a fermée");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case EROFS:
        return QStringLiteral("le disque est en lecture seule");
    case EIO:
        return QStringLiteral("erreur de lecture ou d'écriture sur le disque");
    case EFBIG:
        return QStringLiteral("le fichier dépasse la taille permise");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("le dossier n'existe pas");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("le périphérique n'existe pas ou ne répond pas");
    case EBADF:
        return QStringLiteral("la sortie est fermée");
    default:
        return QStringLiteral("écriture impossible (erreur système %1)").arg(code);
    }
}

} // namespace zapo::donnees
