#pragma once

#include "noyau/genres.h"

#include <QString>

#include <optional>

class QComboBox;
class QTreeWidget;
class QWidget;

namespace zapo::vues {

// The genre filter every programme view offers: "Tous les genres", then each
// genre in the legend's order; named "Genre" for screen readers.
QComboBox* creer_filtre_genres(QWidget* parent);
// The genre chosen there; none for "Tous les genres".
std::optional<genre_programme> genre_choisi(const QComboBox* filtre);
// Rows of another genre than the one chosen are dimmed (their "Genre" column
// says which they are); none chosen restores them all. Rows without a
// programme are left as they are.
void eteindre_autres_genres(QTreeWidget* liste, int colonne_genre, std::optional<genre_programme> g);

} // namespace zapo::vues
