#pragma once

#include "data/base_programmes.h"

#include <QSize>

#include <optional>

// The main window's size as the user left it, in the `reglages` table beside
// the four (created on the first write; an older file reads as "none").
namespace zapo::donnees {

std::optional<QSize> lire_taille_fenetre(base_programmes& b);
void ecrire_taille_fenetre(base_programmes& b, QSize taille);

} // namespace zapo::donnees
