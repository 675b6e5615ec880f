#include "platform/instance_unique.h"

namespace zapo::plateforme {

instance_unique::instance_unique(const QString& dossier)
    : verrou_(std::make_unique<QLockFile>(dossier + QStringLiteral("/.zapo-tv.lock"))) {
    // Age must never make a live copy's lock look stale; only a dead owner does.
    verrou_->setStaleLockTime(0);
}

bool instance_unique::acquerir() { return verrou_->tryLock(0); }

} // namespace zapo::plateforme
