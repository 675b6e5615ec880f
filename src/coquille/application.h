#pragma once

#include "coquille/boites_qt.h"
#include "coquille/coordination_maj.h"
#include "coquille/icone_agent.h"
#include "liaison/occupation.h"
#include "maj/attendre.h"
#include "maj/etat_maj.h"
#include "modele/guide.h"
#include "modele/service_rappels.h"
#include "noyau/contexte.h"
#include "noyau/horloge.h"
#include "plateforme/notifications_rappels.h"
#include "plateforme/reveil.h"
#include "vues/fl_main.h"
#include "vues/journal_vues.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace zapo::coquille {

// What the agent reaches outside itself; tests replace each piece.
struct branchements_agent {
    // Whether a notification area exists on the desktop now.
    std::function<bool()> zone_notification;
    // How long the start waits for a notification area that is not there yet
    // (at login the panel often starts after the programs it autostarts).
    int attente_zone_ms = 10000;
    // Shows the first-run questions modally.
    std::function<void()> montrer_premiere;
    std::function<void()> inscrire_demarrage;
    std::function<void()> retirer_demarrage;
    // Runs one update in its window, modally, with the program's run state.
    std::function<void(maj::etat_maj&)> executer_maj;
    // Tells the user of a due reminder; the desktop notification by default.
    modele::avertisseur_rappels* avertisseur = nullptr;
};

// The hidden agent: start-up and the close rule. It owns the main window while
// it is loaded, the notification-area icon (icone_agent), the update runs
// (coordination_maj) and the reminders' service; the main window's commands go
// to executer_commande (commandes.h). Lives for the whole run.
class fl_init : public QObject {
    Q_OBJECT
public:
    explicit fl_init(contexte& ctx, branchements_agent b = {});
    ~fl_init() override;

    // Start-up, after the single-instance check: options (or the first run),
    // the icon, then the main window unless the agent alone is wanted.
    void Form_Load();
    // Before Form_Load, while the base's pages are still being checked: the main
    // window is built (neither shown nor filled) when the options ask for it,
    // so that both take their time side by side. Its load then takes it.
    void preparer_fenetre();
    void initialiser();
    void lire_options();
    void enregistrer_options();

    // Loads the main window when it is not loaded (its load runs the refresh).
    void charger_fenetre();
    void quitter_appli();
    void fermer_fenetre();
    void lancer_maj() { maj_.lancer(); }

    // Another start asked for the program: the main window comes forward,
    // restored when minimised, loaded when closed.
    void activer();
    void icone_activee(QSystemTrayIcon::ActivationReason raison);
    // Reminders: aimed again after every change; "Voir" shows the programme
    // (its channel when it is gone).
    void rearmer_rappels();
    void montrer_chaine(int num_chaine);
    void montrer_rappel(int num_chaine, date_heure debut);
    // A handler of ours that shows something in the main window, loaded again
    // when it was closed; the window stays allocated while `quoi` runs.
    void montrer_dans_fenetre(const std::function<void(vues::fl_main&)>& quoi);
    // The first reminder set while the agent is off: the user is offered it, once.
    void proposer_agent();
    modele::service_rappels& rappels() { return *rappels_; }
    void tic() { maj_.tic(); }
    void tps_maj_Timer() { maj_.tps_maj_Timer(); }

    // The main window's options.
    void cmajauto_Click();
    void cconnectauto_Click();
    void cdecauto_Click();
    void cagent_Click();
    void aquitter_Click();

    // The agent option only holds while a notification area exists: without
    // one nobody could reach a program that has no window.
    bool agent_actif() const;

    vues::fl_main* fenetre() const { return fl_main_; }
    bool fenetre_chargee() const { return fenetre_chargee_; } // fl_main is loaded
    // The update runs' state; each run is handed this one.
    maj::etat_maj& etat() { return maj_.etat(); }
    const QTimer& tps_maj() const { return maj_.tps_maj(); }
    void demarrer_tps_maj() { maj_.demarrer(); }
    bool termine() const { return termine_; }
    // Handlers of ours under way, the main window's included (each nested loop
    // keeps the ones below it open).
    int profondeur() const { return occupation_.profondeur(); }
    // Still waiting at start for a notification area to appear.
    bool attend_zone() const { return attente_zone_.isActive(); }
    QSystemTrayIcon& icone() { return icone_.icone(); }
    const QMenu& menuicone() const { return icone_.menuicone(); }
    QAction* menu02() const { return icone_.menu02(); } // "Mettre à jour"
    QAction* menu01() const { return icone_.menu01(); } // "Quitter"

Q_SIGNALS:
    void fin_programme();

private:
    // What the other windows may ask of us (ctx.appli), each request counted as ours.
    class reponses_appli final : public application_zapo {
    public:
        explicit reponses_appli(fl_init& f) : f_(f) {}
        void lancer_maj() override;
        void charger_fenetre() override;
        void enregistrer_options() override;

    private:
        fl_init& f_;
    };
    template <class F> void evenement(F&& f);
    // One run in its window, unless the tests hand their own (b_.executer_maj).
    void executer_maj(maj::etat_maj& etat, bool automatique);
    // Runs `quoi` on the main window, loaded again if needed, held while it runs.
    void dans_fenetre(const std::function<void(vues::fl_main&)>& quoi);
    void montrer_icone();
    void surveiller_zone();
    // The main window's first frame is up: the notification area is looked for now.
    void chercher_zone_apres_peinture();
    // The icon theme is looked up (after the first frame, or before the agent's
    // icon); the windows and the tray take its icon when it has one.
    void prendre_icone_theme();
    void brancher_fenetre(vues::fl_main* f);
    void Form_Unload_main();
    void cocher_options();

    contexte& ctx_;
    // Counts our handlers, the main window's among them.
    liaison::compteur_occupation occupation_;
    reponses_appli appli_{*this};
    branchements_agent b_;
    coordination_maj maj_;
    icone_agent icone_;
    QPointer<vues::fl_main> fl_main_;
    std::unique_ptr<vues::fl_main> fenetre_preparee_;
    bool fenetre_chargee_ = false;
    // Unloaded while a handler held them: they free themselves, or here at the end.
    std::vector<QPointer<vues::fl_main>> dechargees_;
    QTimer attente_zone_;
    int attente_zone_restante_ms_ = 0;
    bool en_sortie_ = false;
    bool termine_ = false;

    // The desktop notification, else the tray's message, else a box.
    class avertisseur_bureau final : public modele::avertisseur_rappels {
    public:
        explicit avertisseur_bureau(fl_init& f) : f_(f) {}
        void avertir(std::span<const rappel_a_dire> rappels) override;

    private:
        fl_init& f_;
    };
    avertisseur_bureau avertisseur_{*this};
    plateforme::notifications_rappels notifications_rappels_;
    // The context's guide, made here when the context came without one.
    std::unique_ptr<modele::guide> guide_propre_;
    std::unique_ptr<modele::service_rappels> rappels_;
    plateforme::reveil_systeme reveil_;
    // What "Voir" shows for each notification still open (bounded), and for the
    // tray's last reminder message.
    int garder_cible(int chaine, date_heure debut);
    std::map<int, std::pair<int, date_heure>> cibles_voir_;
    int derniere_cle_ = 0;
    std::optional<std::pair<int, date_heure>> cible_message_;
    bool agent_propose_ = false;
};

// What a test build of the program adds to it; the installed program leaves all empty.
struct crochets_programme {
    // Once the application object exists.
    std::function<void()> au_demarrage;
    boites_qt::releve_boites boites;
    vues::releve_vues vues;
};

// The whole program, from main().
int principal(int argc, char** argv, const crochets_programme& crochets = {});

} // namespace zapo::coquille
