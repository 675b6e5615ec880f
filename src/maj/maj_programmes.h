#pragma once

#include "maj/etat_maj.h"
#include "maj/recup.h"
#include "modele/guide.h"
#include "noyau/contexte.h"

#include <QString>

#include <functional>
#include <memory>

namespace zapo::maj {

// echec_chaines: every channel's fetch failed, nothing was renewed.
enum class fin_maj { complete, echec_connexion, annulee, erreur, echec_chaines };

// The connection prompt's answer; the values are those the program always stored.
enum class reponse { aucune = 0, non = 1, oui = 2 };

// Where a run shows how far it has gone: the progress window, or a test's recorder.
class suivi_maj {
public:
    virtual ~suivi_maj() = default;
    virtual void ecrire_progres1(float valeur) = 0;
    virtual void ecrire_progres2(float valeur) = 0;
    // The whole run's bar as last written (single precision, not rounded).
    virtual float valeur_progres2() const = 0;
    virtual void ecrire_cours(const QString& texte) = 0;
    // Called at once when the user stops the run (empty: nobody to call).
    virtual void sur_interruption(std::function<void()> f) = 0;
};

// What the run takes from outside the update layer. Empty members get the
// program's own behaviour.
struct branchements {
    // One fetcher for the run (the program's: 60-second time-out, ctx's clock).
    std::function<std::unique_ptr<maj::recuperateur>()> fabrique_recup;
    // The connection prompt, modal. Without one, nobody answers (reponse::aucune).
    std::function<reponse()> demander_connexion;
    // Started by the agent's timer: channels gone wrong are named in a desktop notification.
    bool automatique = false;
    // The program's run state; without one the run keeps its own.
    etat_maj* etat = nullptr;
};

// One update run inside its window. A channel's rows are replaced only when its
// new programmes have come; a channel whose fetch failed, or brought nothing for
// the kept period, keeps what it had. Each channel's rows, details and health are
// one short transaction written once it is fetched, so that the base is never
// locked during a network wait: whatever way the run ends (no line, "Annuler", an
// error, the process dying), each channel holds all its old rows or all its new
// ones. The `maj` stamp and the removal of channels no longer chosen come last,
// only when every channel has been tried and at least one brought programmes.
// With no channel chosen, no line is asked for. The run tells the context's
// guide (required) that it starts and how it ends, and writes the status line there.
class pilote_maj {
public:
    pilote_maj(contexte& ctx, suivi_maj& f, branchements b);
    // Throws on an error (database, fetch); the channels written before it keep their new rows.
    // The guide hears of the end whichever way the run ends.
    fin_maj maj_programmes();

private:
    fin_maj derouler();
    bool etape_connexion();
    void echec_connexion();
    void raccrocher();
    void signaler(const QStringList& noms);
    void pause(double secondes = 0.5);

    contexte& ctx_;
    modele::guide& guide_;
    suivi_maj& f_;
    branchements b_;
    etat_maj etat_propre_;
    etat_maj& etat_;
    bool deja_connecte_ = false; // the line was up before the run: it stays up
};

} // namespace zapo::maj
