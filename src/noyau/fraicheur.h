#pragma once

#include "noyau/date_heure.h"

#include <QString>

#include <optional>

// Whether the stored programmes are recent enough, and how to say so.
namespace zapo::inline noyau {

// Up to date unless the last run is from an earlier day and it is 10:00 or later,
// or the last run is from today before 10:00, or from before yesterday, or later
// than now. A base never stamped is not up to date.
bool est_a_jour(std::optional<date_heure> derniere_maj, date_heure maintenant);

// "Programmes à jour." / "La base n'est pas à jour."
QString texte_etat_base(bool a_jour);

// What "Date de la base" shows: the date in French, a lone carriage return, the verdict.
QString message_date_base(std::optional<date_heure> derniere_maj, bool a_jour);

} // namespace zapo::inline noyau
