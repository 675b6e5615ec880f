#pragma once

#include <QString>

namespace zapo::essais {

// The version the project's CMake declares, as the program must show it: read from
// the build, never written out in a test.
inline QString version_projet() {
    return QStringLiteral(ZAPO_VERSION_PROJET);
}

} // namespace zapo::essais
