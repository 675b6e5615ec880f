#pragma once

#include "donnees/base_programmes.h"

#include <QString>

#include <functional>

namespace zapo::terminal {

// Runs `lire` on the base at `chemin`, checked as at start-up, without writing
// anything beside it: when no journal is there the file is read as unchanging,
// and read again the ordinary way if it changed meanwhile; a base in WAL mode
// in a folder that cannot be written falls back to the unchanging reading.
// `lire` may run twice and must start from scratch each time. Throws
// donnees::erreur_base with the start-up check's message.
void lire_base(const QString& chemin, const std::function<void(donnees::base_programmes&)>& lire);

} // namespace zapo::terminal
