#include "platform/instance_unique.h"

#include <QThread>

#include <chrono>

namespace zapo::plateforme {

instance_unique::instance_unique(const QString& dossier, std::chrono::milliseconds attente_contenu)
    : verrou_(std::make_unique<QLockFile>(dossier + QStringLiteral("/.zapo-tv.lock"))),
      attente_contenu_(attente_contenu) {
    // Age must never make a live copy's lock look stale; only a dead owner does.
    verrou_->setStaleLockTime(0);
}

instance_unique::etat instance_unique::acquerir() {
    if (verrou_->tryLock(0))
        return etat::acquis;
    if (verrou_->error() != QLockFile::LockFailedError)
        return etat::impossible;
    // A lock whose owner cannot be read was cut short (a copy killed, or the power
    // lost, between creating the file and writing it): Qt would never call it
    // stale, and Zapo-TV could not start again. A live copy writes its line at
    // once, so the file gets a moment; then it goes unless a process still holds
    // it (removeStaleLockFile checks the system lock before removing).
    qint64 pid = 0;
    QString hote, appli;
    const auto fin = std::chrono::steady_clock::now() + attente_contenu_;
    while (!verrou_->getLockInfo(&pid, &hote, &appli)) {
        if (std::chrono::steady_clock::now() >= fin) {
            if (verrou_->removeStaleLockFile() && verrou_->tryLock(0))
                return etat::acquis;
            break;
        }
        QThread::msleep(50);
        if (verrou_->tryLock(0))
            return etat::acquis;
    }
    return verrou_->error() == QLockFile::LockFailedError ? etat::deja_ouverte : etat::impossible;
}

} // namespace zapo::plateforme
