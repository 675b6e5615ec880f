#pragma once

#include "noyau/date_heure.h"

#include <QDateTime>

namespace zapo::inline noyau {

// The wall clock, replaced by a fixed one in tests (tests/outils/horloge_fixe.h).
class horloge {
public:
    virtual ~horloge() = default;
    virtual QDateTime maintenant() const = 0;
    virtual date_heure maintenant_dh() const { return date_heure::depuis_qdatetime(maintenant()); }
};

class horloge_systeme final : public horloge {
public:
    QDateTime maintenant() const override;
};

} // namespace zapo::inline noyau
