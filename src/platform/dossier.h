#pragma once

#include <QString>

namespace zapo::plateforme {

// The folder that holds programmes.mdb and config.ini: the executable's folder,
// or the per-user data folder when that one cannot be written (installed
// system-wide). No trailing slash.
QString trouver_dossier_appli();

// Lays down the delivered database from `source` (the copy carried in the
// program's resources) when `dossier`/programmes.mdb does not exist. Never
// overwrites. Returns false when the copy could not be made.
bool deposer_base(const QString& dossier, const QString& source);

} // namespace zapo::plateforme
