#pragma once

#include <QDateTime>

namespace zapo::inline noyau {

// Automatic updates after failures: the agent's timer starts no new run for
// 15 minutes after a failed one, then 30, 60 and 120 while failures go on. A
// success ends the waiting. The user's own "Mettre à jour" never asks.
class relance {
public:
    // Minutes to wait after `echecs` failures in a row (0 for none).
    static int attente_minutes(int echecs) {
        if (echecs <= 0)
            return 0;
        return echecs >= 4 ? 120 : 15 << (echecs - 1);
    }

    void echec(const QDateTime& quand) {
        if (echecs_ < 1000)
            ++echecs_;
        prochaine_ = quand.addSecs(qint64(attente_minutes(echecs_)) * 60);
    }
    void succes() {
        echecs_ = 0;
        prochaine_ = {};
    }
    // A clock set back makes the wait no longer than its own length.
    bool permise(const QDateTime& maintenant) const {
        if (echecs_ == 0 || !prochaine_.isValid())
            return true;
        const qint64 reste = maintenant.secsTo(prochaine_);
        return reste <= 0 || reste > qint64(attente_minutes(echecs_)) * 60;
    }
    int echecs() const { return echecs_; }

private:
    int echecs_ = 0;
    QDateTime prochaine_;
};

} // namespace zapo::inline noyau
