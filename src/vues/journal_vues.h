#pragma once

#include <functional>

class QWidget;

namespace zapo::vues {

class fl_main;

// Called with the main window after each panel refresh. The installed program
// sets nothing; a test build of it writes what the window shows to a journal.
using releve_vues = std::function<void(const QWidget& fenetre)>;
void definir_releve_vues(releve_vues releve);

void journaliser(const fl_main& f);

} // namespace zapo::vues
