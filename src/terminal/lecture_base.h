#pragma once

#include "donnees/base_programmes.h"

#include <QString>

#include <functional>

namespace zapo::terminal {

// Runs `lire` on the base at `chemin`, checked as at start-up, without writing
// anything beside it: with no journal the file is read as unchanging; a -wal
// left without its -shm is read from a private copy of both; a base with both
// is read as a reader among others. Read without locks, it is read again when the
// files changed meanwhile, so `lire` may run more than once and must start
// from scratch each time. Throws donnees::erreur_base with the start-up
// check's message.
void lire_base(const QString& chemin, const std::function<void(donnees::base_programmes&)>& lire);

} // namespace zapo::terminal
