#pragma once

#include <QFont>

class QWidget;

namespace zapo::vues {

// The main window's look, shared by the windows opened from it.
// Light cyan behind, with black text whatever the desktop's theme.
void colorer_fond(QWidget* w);
// A list as those windows draw it: lavender, black text, the list font.
void colorer_liste(QWidget* liste);
// Arial, 9.75 points.
QFont police_liste();

} // namespace zapo::vues
