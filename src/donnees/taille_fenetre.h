#pragma once

#include "donnees/base_programmes.h"

#include <QRect>
#include <QSize>

#include <optional>

// The main window's size as the user left it, in the `reglages` table beside
// the four (created on the first write; an older file reads as "none").
namespace zapo::donnees {

std::optional<QSize> lire_taille_fenetre(base_programmes& b);
void ecrire_taille_fenetre(base_programmes& b, QSize taille);

// The grid window's place and size ("x,y,wxh" under `place_grille`), as the user left it.
std::optional<QRect> lire_place_grille(base_programmes& b);
void ecrire_place_grille(base_programmes& b, QRect place);

} // namespace zapo::donnees
