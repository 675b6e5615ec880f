#pragma once

#include "donnees/base_programmes.h"
#include "noyau/recherche.h"

#include <QString>

namespace zapo::donnees {

// Every kept programme of the chosen channels (the week, `liste` first), each
// read once and its texts folded there; throws erreur_base.
index_recherche lire_index_recherche(const QString& chemin_base);
index_recherche lire_index_recherche(base_programmes& base);

} // namespace zapo::donnees
