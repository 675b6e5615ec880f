#pragma once

#include "core/recherche.h"

#include <QString>

namespace zapo::donnees {

// Every stored programme of the chosen channels, each row of `liste` read once
// in stored order and its title folded there; throws erreur_base.
index_recherche lire_index_recherche(const QString& chemin_base);

} // namespace zapo::donnees
