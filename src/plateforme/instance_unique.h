#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>
#include <memory>

namespace zapo::plateforme {

// One running copy per data folder. Only a live process holding this folder's
// lock refuses a start: a lock left by a copy that died (even by SIGKILL, even
// before it wrote who it was), copied from elsewhere, or a link to nothing is
// taken over by the next start.
class instance_unique {
public:
    // `attente_contenu`: how long an unreadable lock gets to show its owner.
    explicit instance_unique(const QString& dossier,
                             std::chrono::milliseconds attente_contenu = std::chrono::milliseconds(1000));
    enum class etat { acquis, deja_ouverte, impossible };
    // deja_ouverte when another live copy holds the lock; impossible when the
    // lock cannot be written at all (full disk, no right to write in the
    // folder) or a lock nobody can be seen to hold cannot be read.
    etat acquerir();
    // After impossible: what stands in the way when it is not the folder itself
    // (a FIFO or a folder in the lock's place), in French; empty otherwise.
    const QString& raison() const { return raison_; }

private:
    enum class remplacement { fait, tenu, impossible };
    // Removes a lock nobody holds (tested on the file itself, read-only if
    // need be); tenu when a live copy holds it.
    remplacement remplacer_abandonne(const QByteArray& nom);

    QString chemin_;
    QString raison_;
    std::unique_ptr<QLockFile> verrou_;
    std::chrono::milliseconds attente_contenu_;
};

} // namespace zapo::plateforme
