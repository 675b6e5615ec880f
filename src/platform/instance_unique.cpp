#include "platform/instance_unique.h"

namespace zapo::plateforme {

instance_unique::instance_unique(const QString& dossier)
    : verrou_(std::make_unique<QLockFile>(dossier + QStringLiteral("/.zapo-tv.lock"))) {
    // Age must never make a live copy's lock look stale; only a dead owner does.
    verrou_->setStaleLockTime(0);
}

instance_unique::etat instance_unique::acquerir() {
    if (verrou_->tryLock(0))
        return etat::acquis;
    return verrou_->error() == QLockFile::LockFailedError ? etat::deja_ouverte : etat::impossible;
}

} // namespace zapo::plateforme
