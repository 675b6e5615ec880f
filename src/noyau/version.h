#pragma once

#include <QString>

namespace zapo::inline noyau {

inline constexpr int version_majeure = ZAPO_VERSION_MAJEURE;
inline constexpr int version_mineure = ZAPO_VERSION_MINEURE;
inline constexpr int version_revision = ZAPO_VERSION_REVISION;

// "2.1.8"
inline QString texte_version() {
    return QStringLiteral("%1.%2.%3").arg(version_majeure).arg(version_mineure).arg(version_revision);
}

} // namespace zapo::inline noyau
