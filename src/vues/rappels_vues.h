#pragma once

#include "noyau/contexte.h"
#include "vues/outils_vues.h"

#include <QIcon>
#include <QTreeWidget>

#include <set>
#include <utility>

namespace zapo::vues {

// Programme rows carry role_num_chaine and role_debut (vues/outils_vues.h),
// on the title column or on column 0.

// What a screen reader adds to a row that has a reminder.
inline const QString texte_rappel_prevu = QStringLiteral("rappel prévu");

// The context menu of programme rows, by right click or the menu key: "Me
// prévenir", or "Ne plus me prévenir" when the row already has a reminder.
void installer_menu_rappels(contexte& ctx, QTreeWidget* liste, int colonne_titre);
// The bell on the rows that have a reminder, and only on them.
void marquer_rappels(contexte& ctx, QTreeWidget* liste, int colonne_titre);
QIcon icone_cloche();

// The live reminders (channel, start as date_heure seconds); removed ones are
// only kept for the favourite words' sake.
std::set<std::pair<int, qint64>> rappels_vivants(contexte& ctx);
// Whether a live reminder names the programme (channel, start as date_heure seconds).
bool rappel_prevu(contexte& ctx, int chaine, qint64 debut);
// "Me prévenir" (`prevu` false) or "Ne plus me prévenir" on a kept programme, of any day.
void basculer_rappel(contexte& ctx, int chaine, qint64 debut, bool prevu);

} // namespace zapo::vues
