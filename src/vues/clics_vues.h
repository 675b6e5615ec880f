#pragma once

#include "noyau/contexte.h"

// The procedures of the views that need no window of theirs. Each opens the
// database itself and closes it before returning; a failure raises
// donnees::erreur_base for the calling event to report.
namespace zapo::vues {

// True when the stored programmes are up to date; sets the guide's status line.
bool verifier_base(contexte& ctx);
// The status line's text and whether a run is going, as the guide keeps them.
QString texte_etat(contexte& ctx);
bool maj_en_cours(contexte& ctx);
// "Date de la base".
void adate_Click(contexte& ctx);

// "Zapo-TV  2.1.8"
QString titre_fenetre();

} // namespace zapo::vues
