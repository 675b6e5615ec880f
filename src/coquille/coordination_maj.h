#pragma once

#include "liaison/occupation.h"
#include "maj/etat_maj.h"
#include "noyau/contexte.h"
#include "noyau/relance.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace zapo::coquille {

// The update runs of the program: their one state, the run asked by hand or by
// the minute's timer (tps_maj) while the base is out of date, the pace after
// failures, and "Quitter" during a run, which waits for it to let go.
class coordination_maj : public QObject {
    Q_OBJECT
public:
    struct actions {
        // Runs one update, modally; `automatique` when tps_maj started it.
        std::function<void(maj::etat_maj&, bool automatique)> executer;
        // A run that "Quitter" waited for has let go.
        std::function<void()> quitter;
        // The program is ending: no run starts.
        std::function<bool()> en_sortie;
    };
    // `occupation` counts the application's handlers: a tick does nothing while
    // one is under way, and a run counts as one.
    coordination_maj(contexte& ctx, liaison::compteur_occupation& occupation, actions a);

    maj::etat_maj& etat() { return etat_; }
    const maj::etat_maj& etat() const { return etat_; }
    const QTimer& tps_maj() const { return tps_maj_; }
    void demarrer() { tps_maj_.start(); }
    void arreter() { tps_maj_.stop(); }

    void lancer();
    // "Quitter" while a run goes: it stops at its next step and the program ends
    // when it has let go. False when no run goes.
    bool differer_sortie();
    bool sortie_differee() const { return sortie_apres_maj_; }

    // One tick of tps_maj as its timer delivers it: nothing while an earlier
    // run, or a box of ours, is still open further down the stack.
    void tic();
    void tps_maj_Timer();

private:
    void lancer(bool automatique);
    bool attente_de_10h();

    contexte& ctx_;
    liaison::compteur_occupation& occupation_;
    actions a_;
    maj::etat_maj etat_;
    QTimer tps_maj_;
    relance relance_;
    bool sortie_apres_maj_ = false;
};

} // namespace zapo::coquille
