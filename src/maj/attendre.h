#pragma once

#include "noyau/services.h"

namespace zapo::maj {

// Waits while the window's events keep running; measured on a monotonic clock,
// so a wait across midnight (or a clock change) ends on time.
class rythme_reel final : public rythme {
public:
    void attendre(double secondes) override;
};

} // namespace zapo::maj
