#pragma once

#include "noyau/options_format.h"

#include <QString>

#include <optional>

namespace zapo::donnees {

// The options as stored in config.ini; empty when the file cannot be read as such
// (or is not a regular file, which is never opened).
std::optional<valeurs_options> lire_fichier_options(const QString& chemin);

// Replaces the file as a whole (written aside, then renamed), so that a crash
// never leaves it short. On failure the old file stays as it was and `erreur`
// says why, in French. Anything but a regular file is left in place.
bool ecrire_fichier_options(const QString& chemin, const valeurs_options& v, QString* erreur = nullptr);

} // namespace zapo::donnees
