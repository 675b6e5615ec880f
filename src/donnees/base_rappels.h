#pragma once

#include "donnees/base_programmes.h"
#include "noyau/rappels.h"

#include <QStringList>

#include <vector>

// Reminders, favourite words and the reminder setting, in three tables of
// their own beside the four: an older file without them reads as "none", and
// they are created on the first write.
namespace zapo::donnees {

void creer_tables_rappels(base_programmes& b);

// Every reminder, removed ones included, in the order they were set.
std::vector<rappel> lire_rappels(base_programmes& b);
// Sets a reminder on a programme; one the user had removed comes back.
void ajouter_rappel(base_programmes& b, const rappel& r);
// Several at once, as they come (the favourite words'); no revival here.
void ajouter_rappels(base_programmes& b, std::span<const rappel> rappels);
// The user's "Ne plus me prévenir": kept as removed so that no word brings it back.
void retirer_rappel(base_programmes& b, int chaine, date_heure debut);
void marquer_envoye(base_programmes& b, qint64 id);
// All of them in one transaction. Without `attendre`, a base another connection
// is writing to refuses at once (false) instead of holding the caller up; any
// other failure gives false too, and nothing is noted.
bool marquer_envoyes(base_programmes& b, std::span<const qint64> ids, bool attendre);
void deplacer_rappel(base_programmes& b, qint64 id, const programme_rappel& p);
// Rows whose programme ended before `avant`.
void effacer_rappels_finis(base_programmes& b, date_heure avant);

int lire_minutes_avant(base_programmes& b);
void ecrire_minutes_avant(base_programmes& b, int minutes);

// Whether the user was once offered the agent, which the reminders need.
bool agent_propose(base_programmes& b);
void noter_agent_propose(base_programmes& b);

QStringList lire_mots_favoris(base_programmes& b);
void ecrire_mots_favoris(base_programmes& b, const QStringList& mots);

// Every kept programme, of every day of the week, as the reminders read them.
std::vector<programme_rappel> lire_programmes_rappel(base_programmes& b);

// After new programmes came (or new words): reminders follow their programme,
// the favourite words add theirs, and rows of programmes over for a day go.
void ajuster_rappels(base_programmes& b, date_heure maintenant);

} // namespace zapo::donnees
