#pragma once

#include "core/contexte.h"

namespace zapo::vues {
class fl_main;
}

// The views' procedures. Each opens the database itself and closes it before
// returning; a failure raises donnees::erreur_base for the calling event to report.
namespace zapo::vues {

// Rebuilds the whole window: ticks, caption, lists, status, due update, panel.
void rafraichir_fenetre(contexte& ctx, vues::fl_main& f);

void remplir_chaines(contexte& ctx, vues::fl_main& f);
// Marks the rows of channels whose last update failed or brought nothing (tooltip and
// accessible description), and clears the mark of the others.
void marquer_sante(contexte& ctx, vues::fl_main& f);
void remplir_programmes(contexte& ctx, vues::fl_main& f);
void choix_chaine(contexte& ctx, vues::fl_main& f);
void lst_chaines_ItemClick(contexte& ctx, vues::fl_main& f);
void lst_prog_ColumnClick(vues::fl_main& f, int colonne);

void affiche_actuel(contexte& ctx, vues::fl_main& f);
void vider_panneau(vues::fl_main& f);
void affiche_date(contexte& ctx, vues::fl_main& f);
void tps_minute_Timer(contexte& ctx, vues::fl_main& f);

// True when the stored programmes are up to date; sets texte_etat.
bool verifier_base(contexte& ctx);
// "Date de la base".
void adate_Click(contexte& ctx);

// "Zapo-TV  2.1.8"
QString titre_fenetre();

} // namespace zapo::vues
