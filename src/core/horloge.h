#pragma once

#include "core/date_heure.h"

#include <QDateTime>

namespace zapo {

// The wall clock, replaced by a fixed one in tests.
class horloge {
public:
    virtual ~horloge() = default;
    virtual QDateTime maintenant() const = 0;
    date_heure maintenant_dh() const { return date_heure::depuis_qdatetime(maintenant()); }
};

class horloge_systeme final : public horloge {
public:
    QDateTime maintenant() const override;
};

// A clock that stays where it is told; for tests and benchmarks.
class horloge_fixe final : public horloge {
public:
    explicit horloge_fixe(QDateTime t = {}) : t_(std::move(t)) {}
    QDateTime maintenant() const override { return t_; }
    void regler(QDateTime t) { t_ = std::move(t); }
    void avancer(qint64 secondes) { t_ = t_.addSecs(secondes); }

private:
    QDateTime t_;
};

} // namespace zapo
