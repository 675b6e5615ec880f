#include "plateforme/instance_unique.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <chrono>

#include <sys/stat.h>
#include <unistd.h>

namespace zapo::plateforme {

namespace {

enum class nature { absente, fichier, lien_casse, autre };

// What stands at the lock's name, seen without opening it: opening a FIFO
// waits for a writer forever.
nature regarder(const QByteArray& chemin) {
    struct stat l {};
    if (::lstat(chemin.constData(), &l) != 0)
        return nature::absente; // QLockFile says what the folder refuses
    if (S_ISREG(l.st_mode))
        return nature::fichier;
    if (!S_ISLNK(l.st_mode))
        return nature::autre;
    struct stat s {};
    if (::stat(chemin.constData(), &s) != 0)
        return errno == ENOENT || errno == ELOOP ? nature::lien_casse : nature::absente;
    return S_ISREG(s.st_mode) ? nature::fichier : nature::autre;
}

} // namespace

instance_unique::instance_unique(const QString& dossier, std::chrono::milliseconds attente_contenu)
    : chemin_(dossier + QStringLiteral("/.zapo-tv.lock")), verrou_(std::make_unique<QLockFile>(chemin_)),
      attente_contenu_(attente_contenu) {
    // Age must never make a live copy's lock look stale; only a dead owner does.
    verrou_->setStaleLockTime(0);
}

instance_unique::etat instance_unique::acquerir() {
    const QByteArray nom = QFile::encodeName(chemin_);
    switch (regarder(nom)) {
    case nature::autre:
        raison_ = QStringLiteral("« .zapo-tv.lock » n'est pas un fichier ordinaire");
        return etat::impossible;
    case nature::lien_casse:
        // A link to nothing holds no lock: it only stands in the way.
        ::unlink(nom.constData());
        break;
    case nature::absente:
    case nature::fichier:
        break;
    }
    if (verrou_->tryLock(0))
        return etat::acquis;
    if (verrou_->error() != QLockFile::LockFailedError)
        return etat::impossible;
    // Only the system lock tells a live holder of this very file: the pid and
    // host written in it may be another folder's (a copied lock) or a number
    // the system gave again. A live copy takes the system lock before it
    // writes its line, so a lock with its line and no holder is stale. One
    // without a readable line may be a copy between creating the file and
    // locking it (or one killed, or the power lost, right then): it gets a
    // moment first.
    qint64 pid = 0;
    QString hote, appli;
    const auto fin = std::chrono::steady_clock::now() + attente_contenu_;
    while (!verrou_->getLockInfo(&pid, &hote, &appli) && std::chrono::steady_clock::now() < fin) {
        QThread::msleep(50);
        if (verrou_->tryLock(0))
            return etat::acquis;
    }
    // Two starts clearing the same stale lock must not remove each other's new one.
    QLockFile retrait(chemin_ + QStringLiteral(".rmlock"));
    if (retrait.tryLock(0) && verrou_->removeStaleLockFile()) {
        retrait.unlock();
        if (verrou_->tryLock(0))
            return etat::acquis;
    }
    return verrou_->error() == QLockFile::LockFailedError ? etat::deja_ouverte : etat::impossible;
}

} // namespace zapo::plateforme
