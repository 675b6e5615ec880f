#include "terminal/lecture_base.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace zapo::terminal {

namespace {

using donnees::base_programmes;

// What tells that someone else touched the files while we read them.
struct empreinte {
    qint64 taille = -1;
    QDateTime modifie;
    qint64 taille_wal = -1;
    QDateTime wal_modifie;
    bool shm = false;
    bool journal = false;
    bool operator==(const empreinte&) const = default;
};

empreinte relever(const QString& chemin) {
    empreinte e;
    const QFileInfo info(chemin);
    if (info.exists()) {
        e.taille = info.size();
        e.modifie = info.lastModified();
    }
    const QFileInfo wal(chemin + QStringLiteral("-wal"));
    if (wal.exists()) {
        e.taille_wal = wal.size();
        e.wal_modifie = wal.lastModified();
    }
    e.shm = QFileInfo::exists(chemin + QStringLiteral("-shm"));
    e.journal = QFileInfo::exists(chemin + QStringLiteral("-journal"));
    return e;
}

// The ways of reading that make no file beside the base. Opened the ordinary
// way, a base in WAL mode gets a -wal and a -shm when they are missing.
enum class lecture { figee, copie, partagee };

lecture choisir(const empreinte& e) {
    if (e.taille < 0 || e.journal)
        return lecture::partagee;
    // No journal: the file holds everything and nobody is writing it.
    if (e.taille_wal < 0)
        return lecture::figee;
    // A -wal without its -shm: nobody has the base open (a copy that writes
    // keeps a -shm). SQLite reads a -wal only through a -shm (or a lock this
    // file may refuse), so what was committed there is read from a copy.
    if (!e.shm)
        return lecture::copie;
    // Someone may have it open: read it as a reader among others, on its -shm.
    return lecture::partagee;
}

void ouvrir_et_lire(const QString& chemin, base_programmes::ouverture mode,
                    const std::function<void(base_programmes&)>& lire) {
    base_programmes base(chemin, mode);
    base.verifier_structure();
    lire(base);
}

// The base and its -wal copied to a private folder and read there; messages
// name the user's file.
void lire_copie(const QString& chemin, const std::function<void(base_programmes&)>& lire) {
    QTemporaryDir dossier;
    const QString copie = dossier.filePath(QStringLiteral("programmes.mdb"));
    if (!dossier.isValid() || !QFile::copy(chemin, copie)) {
        // No room for a copy: the file as it is, without what the -wal adds.
        ouvrir_et_lire(chemin, base_programmes::ouverture::figee, lire);
        return;
    }
    QFile::setPermissions(copie, QFile::ReadOwner | QFile::WriteOwner);
    QFile::copy(chemin + QStringLiteral("-wal"), copie + QStringLiteral("-wal"));
    try {
        ouvrir_et_lire(copie, base_programmes::ouverture::lecture_seule, lire);
    } catch (const donnees::erreur_base& e) {
        throw donnees::erreur_base(QString(e.message()).replace(copie, chemin));
    }
}

bool dossier_inscriptible(const QString& chemin) {
    const QString dossier = QFileInfo(chemin).absolutePath();
    return ::access(QFile::encodeName(dossier).constData(), W_OK) == 0;
}

} // namespace

void lire_base(const QString& chemin, const std::function<void(base_programmes&)>& lire) {
    // Read without locks, the files must be the same after as before; else
    // they are looked at again, since a writer that came or went changes the way.
    for (int essai = 0; essai < 3; ++essai) {
        const empreinte avant = relever(chemin);
        const lecture l = choisir(avant);
        if (l == lecture::partagee) {
            try {
                ouvrir_et_lire(chemin, base_programmes::ouverture::lecture_seule, lire);
            } catch (const donnees::erreur_base&) {
                // A -shm that cannot be written in a folder that cannot be
                // written either: nobody can change the base, read it alone.
                if (avant.taille < 0 || avant.journal || dossier_inscriptible(chemin))
                    throw;
                lire_copie(chemin, lire);
            }
            return;
        }
        try {
            if (l == lecture::figee)
                ouvrir_et_lire(chemin, base_programmes::ouverture::figee, lire);
            else
                lire_copie(chemin, lire);
            if (relever(chemin) == avant)
                return;
        } catch (const donnees::erreur_base&) {
            if (relever(chemin) == avant)
                throw;
        }
    }
    // Changing all the while: a writer is at work, with its -shm.
    ouvrir_et_lire(chemin, base_programmes::ouverture::lecture_seule, lire);
}

} // namespace zapo::terminal
