#pragma once

#include <QIcon>
#include <QPixmap>

namespace zapo::composants {

// Logo n of the program's own set of sixteen badges (1-based); a clear 48 x 35
// picture when n is out of range.
QPixmap dessiner_logo(int n);
// The program's icon (tray and windows).
QIcon icone_programme();

} // namespace zapo::composants
