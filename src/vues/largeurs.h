#pragma once

class QTreeWidget;

namespace zapo::vues {

// What "Chaine" needs to show every name of lst_chaines whole: logo, gaps and text.
int largeur_noms(const QTreeWidget* l);
// The same room, given the widest name's text (`texte`, measured once by the caller).
int largeur_noms(const QTreeWidget* l, int texte);
// The widest text of column 0.
int largeur_texte_noms(const QTreeWidget* l);

// Widens "Chaine" to its longest name. The width comes from the room left at
// the list's right, then from "Programme en cours" (drawn `programme` pixels
// wide), which keeps at least the drawn width of "Chaine": its titles are
// whole in their tooltips and to screen readers.
void ajuster_colonne_chaine(QTreeWidget* l, int programme);

// Gives the last column of a list the room left at its right (keeping room for a
// vertical scroll bar), never less than its drawn width `dessinee`.
void elargir_derniere_colonne(QTreeWidget* l, int dessinee);

} // namespace zapo::vues
