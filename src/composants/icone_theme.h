#pragma once

namespace zapo::composants {

// Until this is called, icone_programme() is our own drawing: looking the icon
// theme up loads icon plugins and reads the theme's folders, which the first
// frame can do without (the installed icon is the same picture). From then on
// it is the theme's when the theme has one, which this returns (once: later
// calls return false), so that the windows already shown take it.
bool consulter_theme_icone();

} // namespace zapo::composants
