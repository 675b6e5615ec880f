#pragma once

#include "core/date_heure.h"

#include <QDateTime>

namespace zapo {

// The wall clock, replaced by a fixed one in tests.
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

// A clock that stays where it is told; for tests and benchmarks.
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
