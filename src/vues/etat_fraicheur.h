#pragma once

#include "noyau/contexte.h"

// The freshness of the stored programmes and the status line, which need no
// window: they read through modele::guide and the application (`ctx.appli`); a
// failure to read the base raises donnees::erreur_base for the calling event to report.
namespace zapo::vues {

// True when the stored programmes are up to date; sets the guide's status line.
bool verifier_base(contexte& ctx);
// The status line's text and whether a run is going, as the guide keeps them.
QString texte_etat(contexte& ctx);
bool maj_en_cours(contexte& ctx);
// "Date de la base".
void adate_Click(contexte& ctx);

} // namespace zapo::vues
