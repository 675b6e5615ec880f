// Test helper, not a test: the main window's four option commands, one after
// another without end, on the given folder's config.ini. Says PRET once they
// run, so that a test can kill it (SIGKILL) in the middle of an option change.
//   options_en_boucle DOSSIER

#include "coquille/application.h"
#include "outils/horloge_fixe.h"
#include "vues/fl_main.h"

#include "outils/controles.h"
#include "outils/faux_services.h"

#include <QApplication>

#include <cstdio>

using namespace zapo;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    horloge_fixe horloge(QDateTime(QDate(2026, 12, 7), QTime(14, 0)));
    essais::fausses_boites boites;
    essais::fausse_connexion connexion;
    essais::rythme_nul pas;
    contexte ctx;
    ctx.dossier_appli = QString::fromLocal8Bit(argv[1]);
    ctx.horloge_ = &horloge;
    ctx.boites = &boites;
    ctx.connexion = &connexion;
    ctx.pas = &pas;

    coquille::branchements_agent b;
    b.zone_notification = [] { return false; };
    b.montrer_premiere = [] {};
    b.inscrire_demarrage = [] {};
    b.retirer_demarrage = [] {};
    b.executer_maj = [](maj::etat_maj&) {};
    coquille::fl_init agent(ctx, b);
    agent.Form_Load();
    // The agent option may be on from an earlier kill: the window is wanted anyway.
    agent.charger_fenetre();

    vues::fl_main* f = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<vues::fl_main*>(w))
            f = m;
    if (!f)
        return 1;
    QAction* const commandes[] = {
        essais::controle<QAction>(*f, "cmajauto"), essais::controle<QAction>(*f, "cconnectauto"),
        essais::controle<QAction>(*f, "cdecauto"), essais::controle<QAction>(*f, "cagent")};
    std::puts("PRET");
    std::fflush(stdout);
    for (unsigned i = 0;; ++i) {
        commandes[i % 4]->trigger();
        QCoreApplication::processEvents();
        // A failed write shows a box: that is a failure here.
        if (!boites.vues.empty())
            return 3;
    }
}
