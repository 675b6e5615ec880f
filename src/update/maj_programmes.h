#pragma once

#include "core/contexte.h"
#include "update/recup.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zapo::maj {

class fl_maj;

// echec_chaines: every channel's fetch failed, nothing was renewed.
enum class fin_maj { complete, echec_connexion, annulee, erreur, echec_chaines };

// What the run takes from outside the update layer. Empty members get the
// program's own behaviour.
struct branchements {
    // One fetcher for the run (the program's: 60-second time-out, ctx's clock).
    std::function<std::unique_ptr<recup::recuperateur>()> fabrique_recup;
    // The connection prompt, modal; answers 0 none, 1 no, 2 yes.
    std::function<int(QWidget* parent)> demander_connexion;
    // Writes the main window's status label (the window is loaded by then).
    std::function<void(const QString&)> afficher_etat;
    // Called with the window once it shows, before the run starts.
    std::function<void(fl_maj&)> a_l_ouverture;
    // Started by the agent's timer: channels gone wrong are named in a desktop notification.
    bool automatique = false;
};

// One update run inside its window. A channel's rows are replaced only when its
// new programmes have come; a channel whose fetch failed keeps what it had. The
// replacements, the channels' health and the `maj` stamp are one transaction,
// committed only when every channel has been tried. Any other ending (no line,
// "Annuler", an error, the process dying) leaves `liste` and `maj` as they were;
// when every channel failed, `liste` and `maj` stay as they were too.
class pilote_maj {
public:
    pilote_maj(contexte& ctx, fl_maj& f, branchements b);
    // Throws on an error (database, fetch); nothing stored has changed then.
    fin_maj maj_programmes();

private:
    bool etape_connexion();
    void echec_connexion();
    void raccrocher();
    void signaler(const QStringList& noms);
    void pause(double secondes = 0.5);

    contexte& ctx_;
    fl_maj& f_;
    branchements b_;
};

// fl_maj's whole life, as the launcher needs it: the window shows (modal to the
// application), maj_en_cours is set, the run goes on inside, the window closes
// and maj_en_cours is cleared. An error ends the run and is reported in a
// "Zapo-TV" box once the window has gone.
fin_maj executer_maj(contexte& ctx, branchements b = {});

} // namespace zapo::maj
