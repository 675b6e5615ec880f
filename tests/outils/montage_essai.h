#pragma once

#include <QString>

namespace zapo::essais {

// Mounts for tests that need a read-only folder or a full disk. As root,
// permissions stop no write, so the test process moves into a private mount
// namespace of its own (its children follow it) and mounts there; nothing is
// seen outside the test, and everything goes when the test ends.

// Enters the private namespace once; false when not root or when refused.
bool espace_montage_prive();

// A tmpfs of `octets` over `dossier` (which must exist).
bool monter_tmpfs(const QString& dossier, qint64 octets);

// `dossier` seen read-only from now on, files and sub-folders included.
bool monter_lecture_seule(const QString& dossier);

// `source` (a file or a folder) seen at `cible` as well, which must exist.
bool lier(const QString& source, const QString& cible);

bool demonter(const QString& dossier);

// Fills the file system holding `dossier` with a file `nom` until fewer than
// `reste` bytes are free; returns the bytes still free.
qint64 remplir(const QString& dossier, const QString& nom, qint64 reste);

} // namespace zapo::essais
