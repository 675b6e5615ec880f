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
    enum class etat { acquis, deja_ouverte, impossible };
    // deja_ouverte when another live copy holds the lock; impossible when the
    // lock cannot be written at all (full disk, no right to write).
    etat acquerir();

private:
    std::unique_ptr<QLockFile> verrou_;
};

} // namespace zapo::plateforme
