#include "data/raison_ecriture.h"

#include <QFileInfo>
#include <QStorageInfo>

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

} // namespace zapo::donnees
