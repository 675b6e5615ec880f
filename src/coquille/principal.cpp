#include "coquille/application.h"

#include "composants/dessins.h"
#include "composants/placement.h"
#include "composants/style_appli.h"
#include "coquille/ligne_commande.h"
#include "coquille/memoire.h"
#include "donnees/base_programmes.h"
#include "donnees/raison_ecriture.h"
#include "donnees/verification_differee.h"
#include "liaison/garde.h"
#include "noyau/version.h"
#include "plateforme/activation.h"
#include "plateforme/connexion_linux.h"
#include "plateforme/dossier.h"
#include "plateforme/instance_unique.h"
#include "plateforme/notifications.h"
#include "plateforme/signaux_arret.h"
#include "suivi/fl_maj.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <optional>

namespace zapo::coquille {

namespace {

void installer_francais(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Qt's own texts are all in qtbase_fr; qt_fr only gathers it with other
    // modules' catalogues, so it is read only where qtbase_fr is missing
    // (both at once held qtbase_fr twice, each copy read in full).
    for (const char* nom : {"qtbase_fr", "qt_fr"}) {
        auto* t = new QTranslator(&app);
        if (t->load(QString::fromLatin1(nom), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QApplication::installTranslator(t);
            return;
        }
        delete t;
    }
}

// SIGTERM or SIGINT: as "Quitter", at once. A run going stops at its next step
// and hangs up a line it dialled; what is open waiting for an answer is closed
// as by Échap, since nobody is there to give one. The reminders told but not
// yet noted are noted as the agent goes, before the process ends.
void arreter_sur_signal(fl_init& agent) {
    agent.quitter_appli();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && !qobject_cast<suivi::fl_maj*>(d))
            d->reject();
}

// A second start while this one is still starting (its first update, its
// questions): what is on screen comes forward; nothing is loaded meanwhile.
void ramener_au_demarrage(fl_init& agent) {
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = agent.fenetre();
    if (w && w->isVisible())
        composants::montrer_devant(w);
}

} // namespace

int principal(int argc, char** argv, const crochets_programme& crochets) {
    if (const auto statut = repondre_ligne_commande(argc, argv))
        return *statut;
    // Desktops tie our windows to the launcher, its name and its icon by this.
    QGuiApplication::setDesktopFileName(QStringLiteral(ZAPO_ID_APPLI));
    QApplication app(argc, argv);
    if (crochets.au_demarrage)
        crochets.au_demarrage();
    vues::definir_releve_vues(crochets.vues);
    QApplication::setApplicationName(QStringLiteral("Zapo-TV"));
    QApplication::setOrganizationName(QStringLiteral("Zapo-TV"));
    QApplication::setApplicationVersion(texte_version());
    QApplication::setQuitOnLastWindowClosed(false);
    composants::installer_style_appli();
    QApplication::setWindowIcon(composants::icone_programme());
    installer_francais(app);

    horloge_systeme horloge;
    boites_qt boites_reelles;
    boites_reelles.definir_releve(crochets.boites);
    boites_message& boites = boites_reelles;
    plateforme::connexion_linux connexion;
    maj::rythme_reel pas;
    contexte ctx;
    ctx.horloge_ = &horloge;
    ctx.boites = &boites_reelles;
    ctx.connexion = &connexion;
    ctx.pas = &pas;
    // "Annuler" during the on-line step stops the wait on NetworkManager too.
    plateforme::notifications_dbus notifications;
    ctx.notifications = &notifications;

    // One copy per data folder; the second says so and touches nothing.
    const QString dossier = plateforme::trouver_dossier_appli();
    if (!QFileInfo(dossier).isDir()) {
        boites.afficher(QStringLiteral("Zapo-TV"),
                        QStringLiteral("Impossible de créer le dossier de données « %1 » : %2.")
                            .arg(dossier, donnees::raison_creation_dossier(dossier)),
                        icone_boite::critique);
        return 1;
    }
    plateforme::instance_unique instance(dossier);
    switch (instance.acquerir()) {
    case plateforme::instance_unique::etat::acquis:
        break;
    case plateforme::instance_unique::etat::deja_ouverte:
        boites.afficher(QStringLiteral("Erreur"), QStringLiteral("L'application est déjà ouverte"),
                        icone_boite::critique);
        // Then the running copy shows its main window.
        plateforme::activation_bus::activer_ouverte();
        return 0;
    case plateforme::instance_unique::etat::impossible:
        // Not another copy: the folder refuses the lock file.
        boites.afficher(QStringLiteral("Zapo-TV"),
                        QStringLiteral("Impossible de démarrer Zapo-TV dans le dossier « %1 » : %2.")
                            .arg(dossier, instance.raison().isEmpty()
                                              ? donnees::raison_ecriture_impossible(dossier)
                                              : instance.raison()),
                        icone_boite::critique);
        return 1;
    }

    // The delivered database, laid down on first use and checked before anything reads it.
    if (!plateforme::deposer_base(dossier, QStringLiteral(":/programmes.mdb"))) {
        boites.afficher(
            QStringLiteral("Zapo-TV"),
            QStringLiteral("Impossible de créer la base des programmes « %1/programmes.mdb » : %2.")
                .arg(dossier, donnees::raison_ecriture_impossible(dossier)),
            icone_boite::critique);
        return 1;
    }
    ctx.dossier_appli = dossier;
    // Checked without changing anything: a refused file stays as the user had it.
    // The pages of the programmes, which grow with the days kept, are read
    // beside the main window's construction; nothing opens the file meanwhile.
    std::optional<donnees::verification_differee> pages;
    if (!liaison::garde(ctx, [&] {
            donnees::base_programmes(ctx.chemin_base(), donnees::base_programmes::ouverture::verification)
                .verifier_structure(false);
            pages.emplace(ctx.chemin_base());
        }))
        return 1;

    // What the windows read and listen to, for the whole run.
    modele::guide guide(ctx);
    ctx.guide = &guide;
    fl_init agent(ctx);
    // "Annuler" during the on-line step stops the wait on NetworkManager too.
    connexion.definir_arret(&agent.etat().arret_demande);
    // Told to end (a logout, Ctrl+C, kill): the same end as "Quitter".
    plateforme::signaux_arret signaux;
    QObject::connect(&signaux, &plateforme::signaux_arret::arret_demande, &agent,
                     [&ctx, &agent] { liaison::garde(ctx, [&] { arreter_sur_signal(agent); }); });
    liaison::garde(ctx, [&] { agent.preparer_fenetre(); });
    // A refused file: the window built meanwhile was never shown.
    if (!liaison::garde(ctx, [&] { pages->attendre(); }))
        return 1;
    // Taken before the start's update and questions: a second start meanwhile
    // asks this copy, which brings forward what it shows.
    bool demarre = false;
    plateforme::activation_bus activation([&agent, &demarre] {
        if (demarre)
            agent.activer();
        else
            ramener_au_demarrage(agent);
    });
    activation.inscrire();
    liaison::garde(ctx, [&] {
        agent.Form_Load();
        demarre = true;
    });
    // A start that failed is a start refused (status 1), whatever ended it.
    if (!demarre)
        return 1;
    if (agent.termine())
        return 0;
    // The agent alone shows no window: what its start freed goes back now.
    // A window hands it back once filled, after its first frame.
    if (!agent.fenetre())
        liberer_memoire_inutilisee();
    return QApplication::exec();
}

} // namespace zapo::coquille
