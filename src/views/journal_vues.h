#pragma once

namespace zapo::vues {

class fl_main;

// Whole-program tests read what the main window shows from a journal named by
// ZAPO_TV_JOURNAL_VUES: one JSON line per panel refresh. Nothing happens when
// the variable is unset, or when the program is built without ZAPO_CROCHETS_ESSAI.
void journaliser(const fl_main& f);

} // namespace zapo::vues
