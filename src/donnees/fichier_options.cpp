#include "donnees/fichier_options.h"

#include "donnees/raison_ecriture.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zapo::donnees {

std::optional<valeurs_options> lire_fichier_options(const QString& chemin) {
    // Anything but a file (a FIFO, a device, a folder) is neither read nor replaced.
    if (autre_chose_qu_un_fichier(chemin))
        return std::nullopt;
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A few lines are all we read; a huge file is garbage anyway.
    return lire_options(f.read(4096));
}

bool ecrire_fichier_options(const QString& chemin, const valeurs_options& v, QString* erreur) {
    if (autre_chose_qu_un_fichier(chemin)) {
        if (erreur)
            *erreur = QStringLiteral("ce n'est pas un fichier ordinaire");
        return false;
    }
    QSaveFile f(chemin);
    const QByteArray contenu = ecrire_options(v);
    // Unbuffered: a short write must be seen here. Qt commits a buffered file
    // even when its last flush failed, which would leave the file short.
    if (f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && f.write(contenu) == contenu.size() &&
        f.commit())
        return true;
    if (erreur)
        *erreur = raison_ecriture_impossible(QFileInfo(chemin).absolutePath());
    f.cancelWriting();
    return false;
}

} // namespace zapo::donnees
