#pragma once

class QWidget;

namespace zapo::crochets {

// What the main window shows, one JSON line per panel refresh, appended to the
// file named by ZAPO_TV_JOURNAL_VUES; nothing when the variable is unset.
void ecrire_releve_vues(const QWidget& fenetre);

} // namespace zapo::crochets
