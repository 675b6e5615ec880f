#pragma once

#include "core/contexte.h"
#include "core/rappels.h"

#include <QObject>
#include <QTimer>

#include <set>

namespace zapo::maj {

// Who tells the user: a desktop notification, else the tray's message, else a box.
class avertisseur_rappels {
public:
    virtual ~avertisseur_rappels() = default;
    virtual void avertir(const rappel& r, const QString& nom_chaine) = 0;
};

// "<chaîne> à HH:MM"
QString corps_avertissement(const rappel& r, const QString& nom_chaine);

// Fires every reminder when it falls due: one single-shot timer aimed at the
// next due time (so off the minute's grid), aimed again after each check and
// each change. The clock is the context's; a timer never sleeps more than a
// quarter of an hour, so that a clock set forward or a suspended machine is
// caught up soon.
class minuterie_rappels : public QObject {
    Q_OBJECT
public:
    minuterie_rappels(contexte& ctx, avertisseur_rappels& a);

    // Reads the reminders again and aims the timer; nothing waits when none is left.
    void rearmer();
    // Tells every reminder due now, drops the ones whose programme is over,
    // then aims again. The shell runs it inside its error boundary when `minuteur` fires.
    void verifier();

    QTimer minuteur;

private:
    contexte& ctx_;
    avertisseur_rappels& avertisseur_;
    // Told in this run though the base refused to note it (busy during an
    // update): never told twice; noted at the next check.
    std::set<qint64> envoyes_;
};

// After a run that renewed programmes: reminders follow their programme, the
// favourite words add theirs, and rows of programmes over for a day go.
void ajuster_rappels_apres_maj(contexte& ctx);

} // namespace zapo::maj
