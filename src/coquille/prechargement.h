#pragma once

namespace zapo::coquille {

// Qt's image-format plugins, loaded on a thread of their own while the start
// checks the base and builds the agent. The main window's menu bar reads a
// picture of Qt's (its overflow arrow), and any first picture read loads every
// such plugin: on the main thread that came before the window's first frame.
// Qt's loader may not be entered from two threads for the same plugin, so
// nothing on the main thread reads a picture before attendre_images()
// has returned: the main window and the message boxes call it first.
void precharger_images();
// Waits for the thread when it runs; at once otherwise. Called again at exit.
void attendre_images();

} // namespace zapo::coquille
