#include "plateforme/instance_unique.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <sys/file.h>
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
    // Nobody holds it: it is replaced. Unlinking needs only the folder's write
    // right, so a lock the user cannot write (left by a run under sudo, or
    // made read-only) does not refuse every start.
    for (int essai = 0; essai < 3; ++essai) {
        switch (remplacer_abandonne(nom)) {
        case remplacement::fait:
            break;
        case remplacement::tenu:
            return etat::deja_ouverte;
        case remplacement::impossible:
            return etat::impossible;
        }
        if (verrou_->tryLock(0))
            return etat::acquis;
        if (verrou_->error() != QLockFile::LockFailedError)
            return etat::impossible;
    }
    return etat::deja_ouverte;
}

instance_unique::remplacement instance_unique::remplacer_abandonne(const QByteArray& nom) {
    // Read is enough to test the system lock: the file need not be ours nor writable.
    const auto ouvrir = [&] {
        int f = ::open(nom.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (f < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            f = ::open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        return f;
    };
    int fd = ouvrir();
    int erreur = errno;
    // One of ours that even we may not read (chmod 0): we may give ourselves the right.
    if (fd < 0 && erreur == EACCES && ::chmod(nom.constData(), S_IRUSR | S_IWUSR) == 0) {
        fd = ouvrir();
        erreur = errno;
    }
    if (fd < 0) {
        if (erreur == ENOENT)
            return remplacement::fait; // gone meanwhile: the next try makes it
        struct stat s {};
        raison_ =
            ::stat(nom.constData(), &s) == 0 && s.st_uid != ::geteuid()
                ? QStringLiteral("« .zapo-tv.lock » appartient à un autre utilisateur et ne peut pas être lu")
                : QStringLiteral("« .zapo-tv.lock » ne peut pas être lu");
        return remplacement::impossible;
    }
    remplacement res = remplacement::fait;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            res = remplacement::tenu;
        } else {
            raison_ = QStringLiteral("le verrou « .zapo-tv.lock » ne peut pas être pris");
            res = remplacement::impossible;
        }
    } else {
        // Held by us now; another start that replaced it meanwhile made a new
        // file under the name, which must stay. Only this very file goes.
        struct stat ouvert {};
        struct stat nomme {};
        const bool meme = ::fstat(fd, &ouvert) == 0 && ::stat(nom.constData(), &nomme) == 0 &&
                          ouvert.st_dev == nomme.st_dev && ouvert.st_ino == nomme.st_ino;
        if (meme && ::unlink(nom.constData()) != 0 && errno != ENOENT)
            res = remplacement::impossible; // the folder refuses: said as such by the caller
    }
    ::close(fd);
    return res;
}

} // namespace zapo::plateforme
