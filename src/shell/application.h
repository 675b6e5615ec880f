#pragma once

#include "core/contexte.h"
#include "core/horloge.h"
#include "shell/boites_qt.h"
#include "update/attendre.h"
#include "views/fl_main.h"

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>


namespace zapo::coquille {

// The hidden agent: owns the notification-area icon, its menu and the update
// timer, and the main window while it is loaded. Lives for the whole run.
class fl_init : public QObject {
    Q_OBJECT
public:
    explicit fl_init(contexte& ctx);
    ~fl_init() override;

    // The start-up sequence. Returns false when the program must end at once.
    bool Form_Load();

    // Loads the main window when it is not loaded (its load runs the refresh).
    void charger_fenetre();
    void quitter_appli();
    void fermer_fenetre();
    void lancer_maj();

    vues::fl_main* fenetre() const { return fl_main_; }
    QSystemTrayIcon& icone() { return icone_; }
    QTimer tps_maj;
    QMenu menuicone;
    QAction* menu02 = nullptr; // "Mettre à jour"
    QAction* menu01 = nullptr; // "Quitter"

private:
    void brancher_fenetre(vues::fl_main* f);
    void Form_Unload_main();

    contexte& ctx_;
    QPointer<vues::fl_main> fl_main_;
    QSystemTrayIcon icone_;
    bool en_sortie_ = false;
    bool sortie_apres_maj_ = false;
};

// The whole program, from main().
int principal(int argc, char** argv);

} // namespace zapo::coquille
