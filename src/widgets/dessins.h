#pragma once

#include <QIcon>
#include <QPixmap>

namespace zapo::composants {

// Logo n of the program's own set of sixteen badges (1-based); a clear 48 x 35
// picture when n is out of range.
QPixmap dessiner_logo(int n);
// The sizes the program's icon is painted at, as the installed theme has them.
inline constexpr int tailles_icone_programme[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The program's icon (tray and windows).
QIcon icone_programme();

} // namespace zapo::composants
