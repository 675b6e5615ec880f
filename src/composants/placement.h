#pragma once

class QWidget;

namespace zapo::composants {

// Centres a top-level window on the screen.
void centrer(QWidget* w);
// Shows a window, or brings it back to the front when it is already open.
void montrer_devant(QWidget* w);

} // namespace zapo::composants
