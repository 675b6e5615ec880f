#include "terminal/lecture_base.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace zapo::terminal {

namespace {

using donnees::base_programmes;

// What tells that someone else touched the file while we read it.
struct empreinte {
    qint64 taille = -1;
    QDateTime modifie;
    bool wal = false;
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
    e.wal = QFileInfo::exists(chemin + QStringLiteral("-wal"));
    e.journal = QFileInfo::exists(chemin + QStringLiteral("-journal"));
    return e;
}

void ouvrir_et_lire(const QString& chemin, base_programmes::ouverture mode,
                    const std::function<void(base_programmes&)>& lire) {
    base_programmes base(chemin, mode);
    base.verifier_structure();
    lire(base);
}

bool dossier_inscriptible(const QString& chemin) {
    const QString dossier = QFileInfo(chemin).absolutePath();
    return ::access(QFile::encodeName(dossier).constData(), W_OK) == 0;
}

} // namespace

void lire_base(const QString& chemin, const std::function<void(base_programmes&)>& lire) {
    const empreinte avant = relever(chemin);
    // No journal beside the file: nobody is writing it, and reading it as
    // unchanging leaves no -wal or -shm behind.
    if (avant.taille >= 0 && !avant.wal && !avant.journal) {
        try {
            ouvrir_et_lire(chemin, base_programmes::ouverture::figee, lire);
            if (relever(chemin) == avant)
                return;
        } catch (const donnees::erreur_base&) {
            if (relever(chemin) == avant)
                throw;
        }
    }
    // Someone has it open: read it as a reader among others.
    try {
        ouvrir_et_lire(chemin, base_programmes::ouverture::lecture_seule, lire);
    } catch (const donnees::erreur_base&) {
        // A WAL base in a read-only folder cannot get its -shm: nobody can
        // write there either, so the file cannot change under us.
        if (avant.taille < 0 || dossier_inscriptible(chemin))
            throw;
        ouvrir_et_lire(chemin, base_programmes::ouverture::figee, lire);
    }
}

} // namespace zapo::terminal
