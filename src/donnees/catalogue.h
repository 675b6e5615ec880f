#pragma once

#include "donnees/base_programmes.h"

#include <QString>

// Adding a channel from the catalogue (`modele`) to `chaines`.
namespace zapo::donnees {

// The channel number is a 16-bit value in the database.
inline constexpr int num_chaine_max = 32767;

enum class resultat_ajout { ajoutee, deja_presente, numeros_epuises };

struct bilan_ajout {
    resultat_ajout resultat = resultat_ajout::ajoutee;
    int num_chaine = 0; // the number given (or that would have been)
    int nb_lignes = 0;  // rows appended to `chaines`
};

// In one transaction: a name already chosen (exact comparison) is refused;
// otherwise every catalogue row of that name is appended with one more than the
// greatest number present, never less than 2.
bilan_ajout ajouter_du_catalogue(base_programmes& base, const QString& nom, int num_image);

} // namespace zapo::donnees
