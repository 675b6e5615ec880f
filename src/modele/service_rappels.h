#pragma once

#include "modele/guide.h"
#include "noyau/contexte.h"
#include "noyau/rappels.h"

#include <QObject>
#include <QTimer>

#include <set>
#include <span>

namespace zapo::modele {

// Who tells the user: desktop notifications, else the tray's message, else a box.
class avertisseur_rappels {
public:
    virtual ~avertisseur_rappels() = default;
    // Reminders due together, by start time; never empty.
    virtual void avertir(std::span<const rappel_a_dire> rappels) = 0;
};

// The reminders, without a window or a bus: fires each one when it falls due
// (missed ones at start while their programme is on), through one single-shot
// timer aimed at the next due time (so off the minute's grid), aimed again after
// each check and each change the guide announces. The clock is the context's
// wall clock; the timer counts on a clock that stops while the machine sleeps,
// so it never waits more than a minute before looking at the wall clock again.
// Who tells the user is the avertisseur's business.
class service_rappels : public QObject {
    Q_OBJECT
public:
    service_rappels(contexte& ctx, guide& g, avertisseur_rappels& a);
    // Notes what is still to be noted, waiting for the base if need be.
    ~service_rappels() override;

    // Aims the timer from the guide's reminders; nothing waits when none is left.
    void rearmer();
    // The program ends: no more aiming, whatever the guide says next.
    void arreter();
    // Tells every reminder due now (together), drops the ones whose programme is
    // over, then aims again. The shell runs it inside its error boundary when
    // `minuteur` fires.
    void verifier();
    // Told but not yet noted in the base (busy with an update).
    std::size_t nb_a_noter() const { return envoyes_.size(); }

    QTimer minuteur;

    static constexpr int attente_max_ms = 60 * 1000;
    static constexpr int nouvel_essai_ms = 2 * 1000;

private:
    contexte& ctx_;
    guide& guide_;
    avertisseur_rappels& avertisseur_;
    bool arrete_ = false;
    // Told in this run though the base refused to note it: never told twice,
    // noted at a later check, or when the program ends.
    std::set<qint64> envoyes_;
};

} // namespace zapo::modele
