#pragma once

#include <QIcon>
#include <QPixmap>

namespace zapo::composants {

// Logo n of the program's own set of sixteen badges (1-based); a clear 48 x 35
// picture when n is out of range.
QPixmap dessiner_logo(int n);
// The sizes the program's icon is painted at, as the installed theme has them.
inline constexpr int tailles_icone_programme[] = {16, 22, 24, 32, 48, 64, 128, 256};
// A channel's own logo (PNG bytes as the update keeps them), fitted and centred
// in the same 48 x 35 and drawn at the screens' ratio; badge n when there is
// no picture or it cannot be read.
QPixmap dessiner_logo(int n, const QByteArray& png);
// The program's icon (tray and windows).
QIcon icone_programme();

} // namespace zapo::composants
