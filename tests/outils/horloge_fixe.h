#pragma once

#include "noyau/horloge.h"

namespace zapo {

// A clock that stays where it is told; for tests, benchmarks and fuzz targets.
class horloge_fixe final : public horloge {
public:
    explicit horloge_fixe(QDateTime t = {}) { regler(std::move(t)); }
    QDateTime maintenant() const override { return t_; }
    date_heure maintenant_dh() const override { return dh_; }
    void regler(QDateTime t) {
        t_ = std::move(t);
        dh_ = date_heure::depuis_qdatetime(t_);
    }
    void avancer(qint64 secondes) { regler(t_.addSecs(secondes)); }

private:
    QDateTime t_;
    date_heure dh_;
};

} // namespace zapo
