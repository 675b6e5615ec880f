#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>
#include <memory>

namespace zapo::plateforme {

// One running copy per data folder. The lock records the process; a lock left
// by a copy that died (even by SIGKILL, even before it wrote who it was) is
// taken over by the next start.
class instance_unique {
public:
    // `attente_contenu`: how long an unreadable lock gets to show its owner.
    explicit instance_unique(const QString& dossier,
                             std::chrono::milliseconds attente_contenu = std::chrono::milliseconds(1000));
    enum class etat { acquis, deja_ouverte, impossible };
    // deja_ouverte when another live copy holds the lock; impossible when the
    // lock cannot be written at all (full disk, no right to write).
    etat acquerir();

private:
    std::unique_ptr<QLockFile> verrou_;
    std::chrono::milliseconds attente_contenu_;
};

} // namespace zapo::plateforme
