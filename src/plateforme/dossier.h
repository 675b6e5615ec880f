#pragma once

#include <QString>

namespace zapo::plateforme {

// True when the program runs from an installed prefix: its executable sits in a
// folder named "bin" (/usr/bin, /usr/local/bin, ~/.local/bin...). A build tree
// or a folder of its own keeps everything beside the executable.
bool programme_installe(const QString& dossier_executable);

// The per-user data folder, $XDG_DATA_HOME/Zapo-TV (~/.local/share/Zapo-TV),
// made if missing unless `creer` is false. No trailing slash.
QString dossier_donnees_perso(bool creer = true);

// The folder that holds programmes.mdb, config.ini and the lock. Installed:
// always the per-user data folder, even as root. Otherwise the executable's
// folder, or the per-user data folder when that one cannot be written.
// With `creer` false nothing is made on the disk (readers that write nothing).
QString trouver_dossier_appli(bool creer = true);

// Lays down the delivered database from `source` (the copy carried in the
// program's resources) when `dossier`/programmes.mdb does not exist. Never
// overwrites. Returns false when the copy could not be made.
bool deposer_base(const QString& dossier, const QString& source);

} // namespace zapo::plateforme
