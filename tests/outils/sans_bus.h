// Where a test points D-Bus when it wants no bus at all.
#pragma once

namespace zapo::essais {

// An address no bus ever answers at. Set rather than left out: without one,
// libdbus autolaunches a bus on the X display (writing ~/.dbus) or finds the
// desktop's own. tests/CMakeLists.txt gives every test the same by default.
inline constexpr char adresse_sans_bus[] = "unix:path=/dev/null/zapo-tv-sans-bus";

} // namespace zapo::essais
