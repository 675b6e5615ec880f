#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace zapo::plateforme {

// One running copy per data folder. The lock records the process; a lock left
// by a copy that died (even by SIGKILL) is taken over by the next start.
class instance_unique {
public:
    explicit instance_unique(const QString& dossier);
    // False when another live copy holds the lock.
    bool acquerir();

private:
    std::unique_ptr<QLockFile> verrou_;
};

} // namespace zapo::plateforme
