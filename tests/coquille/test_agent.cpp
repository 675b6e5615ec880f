#include "coquille/fl_premiere.h"
#include "donnees/base_programmes.h"
#include "outils/banc_agent.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/version_projet.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;
using banc = banc_agent;

class test_agent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void premier_lancement() {
        banc b(QByteArray{}); // no config.ini
        b.premiere = [&] {
            b.ctx.options.opt_majauto = false;
            b.ctx.options.opt_agent = true;
        };
        b.agent->Form_Load();
        QCOMPARE(b.nb_premiere, 1);
        QCOMPARE(lire(b.ctx.chemin_options()), QByteArray("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"));
        // The main window opens after a first run, whatever the agent answer.
        QVERIFY(b.agent->fenetre_chargee());
        QVERIFY(b.agent->fenetre());
        QVERIFY(essais::controle<QAction>(*b.agent->fenetre(), "cagent")->isChecked());
        QVERIFY(!essais::controle<QAction>(*b.agent->fenetre(), "cmajauto")->isChecked());
    }

    void options_lues_sans_question() {
        banc b("#TRUE#\r\n#TRUE#\r\n#FALSE#\r\n#TRUE#\r\n");
        b.agent->Form_Load();
        QCOMPARE(b.nb_premiere, 0);
        QVERIFY(b.ctx.options.opt_majauto && b.ctx.options.opt_connexion && !b.ctx.options.opt_deconnexion &&
                b.ctx.options.opt_agent);
        QVERIFY(!b.agent->fenetre_chargee()); // agent alone
        QVERIFY(b.agent->tps_maj().isActive());
        QCOMPARE(b.agent->tps_maj().interval(), 60000);
        QCOMPARE(b.agent->icone().toolTip(), QStringLiteral("Zapo-TV"));
        QStringList menu;
        for (QAction* a : b.agent->menuicone().actions())
            menu << a->text();
        QCOMPARE(menu, (QStringList{QStringLiteral("Mettre à jour"), QStringLiteral("Quitter")}));
    }

    // The window is shown before the area is looked for; the agent alone shows its icon at once.
    void icone_apres_premiere_peinture_data() {
        QTest::addColumn<bool>("agent");
        QTest::newRow("fenêtre d'abord") << false;
        QTest::newRow("agent seul") << true;
    }
    void icone_apres_premiere_peinture() {
        QFETCH(bool, agent);
        banc b(agent ? "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"
                     : "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
        b.agent->Form_Load();
        QCOMPARE(b.agent->fenetre() != nullptr, !agent);
        QCOMPARE(b.agent->icone().isVisible(), agent);
        if (!agent) {
            QVERIFY(b.agent->fenetre()->isVisible());
            QSignalSpy peinte(b.agent->fenetre(), &vues::fl_main::premiere_peinture);
            QVERIFY(peinte.wait());
            QVERIFY(b.agent->icone().isVisible());
        }
        QVERIFY(!b.agent->attend_zone());
    }

    void sans_zone_de_notification() {
        banc b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        b.zone = false;
        b.agent->Form_Load();
        // Not at once: the area may still come (the panel starts after us at login).
        QVERIFY(!b.agent->fenetre_chargee());
        QTRY_VERIFY_WITH_TIMEOUT(b.agent->fenetre_chargee(), 5000);
        QVERIFY(!b.agent->attend_zone());
        b.agent->fenetre()->close();
        QVERIFY(b.agent->termine());
    }

    void clic_sur_l_icone_data() {
        QTest::addColumn<bool>("agent");
        QTest::addColumn<int>("raison");
        QTest::addColumn<bool>("charge_apres");
        QTest::addColumn<bool>("termine");
        // Starting with the window loaded.
        QTest::newRow("agent, gauche ferme") << true << int(QSystemTrayIcon::Trigger) << false << false;
        QTest::newRow("sans agent, gauche quitte") << false << int(QSystemTrayIcon::Trigger) << false << true;
        QTest::newRow("droit ne fait rien") << true << int(QSystemTrayIcon::Context) << true << false;
        QTest::newRow("double clic rien") << true << int(QSystemTrayIcon::DoubleClick) << true << false;
        QTest::newRow("milieu rien") << true << int(QSystemTrayIcon::MiddleClick) << true << false;
    }
    void clic_sur_l_icone() {
        QFETCH(bool, agent);
        QFETCH(int, raison);
        QFETCH(bool, charge_apres);
        QFETCH(bool, termine);
        banc b(agent ? "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"
                     : "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
        b.agent->Form_Load();
        b.agent->charger_fenetre();
        QVERIFY(b.agent->fenetre_chargee());
        b.agent->icone_activee(QSystemTrayIcon::ActivationReason(raison));
        QCOMPARE(b.agent->fenetre_chargee(), charge_apres);
        QCOMPARE(b.agent->termine(), termine);
    }

    void clic_gauche_bascule() {
        banc b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        b.agent->Form_Load();
        QVERIFY(!b.agent->fenetre_chargee());
        for (int i = 0; i < 3; ++i) {
            b.agent->icone_activee(QSystemTrayIcon::Trigger);
            QVERIFY(b.agent->fenetre_chargee());
            QVERIFY(b.agent->fenetre()->isVisible());
            QCOMPARE(b.agent->fenetre()->windowTitle(),
                     QStringLiteral("Zapo-TV  ") + essais::version_projet());
            const QPointer<vues::fl_main> fenetre(b.agent->fenetre());
            b.agent->icone_activee(QSystemTrayIcon::Trigger);
            QVERIFY(!b.agent->fenetre_chargee());
            QTRY_VERIFY(fenetre.isNull()); // the unloaded window is deleted later
        }
        QVERIFY(!b.agent->termine());
    }

    void minuterie_data() {
        QTest::addColumn<QDateTime>("maj");
        QTest::addColumn<QDateTime>("maintenant");
        QTest::addColumn<bool>("majauto");
        QTest::addColumn<bool>("annulee");
        QTest::addColumn<bool>("en_cours");
        QTest::addColumn<int>("nb_maj");
        QTest::addColumn<QString>("etat");
        const QString pas_a_jour = QStringLiteral("La base n'est pas à jour.");
        const QString a_jour = QStringLiteral("Programmes à jour.");
        QTest::newRow("périmée, auto")
            << le(6, 18, 0) << le(7, 10, 0) << true << false << false << 1 << pas_a_jour;
        QTest::newRow("périmée, sans auto")
            << le(6, 18, 0) << le(7, 10, 0) << false << false << false << 0 << pas_a_jour;
        QTest::newRow("refus de connexion")
            << le(6, 18, 0) << le(7, 10, 0) << true << true << false << 0 << pas_a_jour;
        QTest::newRow("déjà en cours")
            << le(6, 18, 0) << le(7, 10, 0) << true << false << true << 0 << pas_a_jour;
        QTest::newRow("à jour") << le(7, 10, 5) << le(7, 23, 0) << true << false << false << 0 << a_jour;
        QTest::newRow("hier, avant 10h")
            << le(6, 18, 0) << le(7, 9, 59) << true << false << false << 0 << a_jour;
        // A run finished this morning cannot count before 10:00: no new run every minute.
        QTest::newRow("ce matin, 9h45")
            << le(7, 9, 30) << le(7, 9, 45) << true << false << false << 0 << pas_a_jour;
        QTest::newRow("ce matin, 10h00")
            << le(7, 9, 30) << le(7, 10, 0) << true << false << false << 1 << pas_a_jour;
        QTest::newRow("jamais mise à jour")
            << QDateTime() << le(7, 8, 0) << true << false << false << 1 << pas_a_jour;
    }
    void minuterie() {
        QFETCH(QDateTime, maj);
        QFETCH(QDateTime, maintenant);
        QFETCH(bool, majauto);
        QFETCH(bool, annulee);
        QFETCH(bool, en_cours);
        QFETCH(int, nb_maj);
        QFETCH(QString, etat);
        banc b;
        if (maj.isValid())
            b.stamper(maj);
        b.horloge.regler(maintenant);
        b.ctx.options.opt_majauto = majauto;
        b.agent->etat().maj_annulee = annulee;
        if (en_cours)
            b.ctx.guide->commencer_maj();
        b.agent->tps_maj_Timer();
        QCOMPARE(b.nb_maj, nb_maj);
        QCOMPARE(b.ctx.guide->texte_etat(), etat);
        if (nb_maj)
            QVERIFY(!b.agent->etat().maj_annulee); // the launcher clears it
    }

    void bascules_reecrivent_tout() {
        banc b("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\nreste\r\n");
        b.agent->Form_Load();
        auto* f = b.agent->fenetre();
        QVERIFY(f);
        essais::controle<QAction>(*f, "cmajauto")->trigger();
        QCOMPARE(lire(b.ctx.chemin_options()), QByteArray("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"));
        essais::controle<QAction>(*f, "cconnectauto")->trigger();
        QCOMPARE(lire(b.ctx.chemin_options()), QByteArray("#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n"));
        essais::controle<QAction>(*f, "cdecauto")->trigger();
        QCOMPARE(lire(b.ctx.chemin_options()), QByteArray("#FALSE#\r\n#TRUE#\r\n#TRUE#\r\n#FALSE#\r\n"));
        essais::controle<QAction>(*f, "cagent")->trigger();
        QCOMPARE(lire(b.ctx.chemin_options()), QByteArray("#FALSE#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n"));
        QCOMPARE(b.nb_inscrire, 1);
        QVERIFY(essais::controle<QAction>(*f, "cagent")->isChecked() &&
                essais::controle<QAction>(*f, "cdecauto")->isChecked() &&
                !essais::controle<QAction>(*f, "cmajauto")->isChecked());
        essais::controle<QAction>(*f, "cagent")->trigger();
        QCOMPARE(b.nb_retirer, 1);
        QVERIFY(!b.ctx.options.opt_agent);
        QVERIFY(!essais::controle<QAction>(*f, "cagent")->isChecked());
        // Agent now off: closing the window ends the program.
        f->close();
        QVERIFY(b.agent->termine());
    }

    void quitter_data() {
        QTest::addColumn<bool>("agent");
        QTest::addColumn<int>("reponse");
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("termine");
        QTest::newRow("agent, annuler") << true << int(reponse_boite::annuler) << true << false;
        QTest::newRow("agent, fermé") << true << int(reponse_boite::aucune) << true << false;
        QTest::newRow("agent, ok") << true << int(reponse_boite::ok) << true << true;
        QTest::newRow("sans agent") << false << int(reponse_boite::ok) << false << true;
    }
    void quitter() {
        QFETCH(bool, agent);
        QFETCH(int, reponse);
        QFETCH(bool, question);
        QFETCH(bool, termine);
        banc b(agent ? "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"
                     : "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
        b.agent->Form_Load();
        b.agent->charger_fenetre();
        b.boites.reponses.push_back(reponse_boite(reponse));
        essais::controle<QAction>(*b.agent->fenetre(), "aquitter")->trigger();
        QCOMPARE(b.agent->termine(), termine);
        QCOMPARE(b.boites.vues.size(), size_t(question ? 1 : 0));
        if (question) {
            const auto& v = b.boites.vues[0];
            QCOMPARE(v.titre, QStringLiteral("Zapo-TV"));
            QCOMPARE(v.icone, icone_boite::exclamation);
            QCOMPARE(v.boutons, boutons_boite::ok_annuler);
            QCOMPARE(v.texte, QStringLiteral("Vous avez choisi de quitter Zapo-TV et de fermer son agent.\r"
                                             "La base ne sera plus mise à jour automatiquement.\r"
                                             "Si vous voulez garder l'agent actif, cliquez sur Annuler puis "
                                             "choisissez Réduire."));
        }
        if (!termine)
            QVERIFY(b.agent->fenetre_chargee());
    }

    // A second start asks for the window: loaded when closed, restored when
    // minimised, the same window when shown.
    void activer() {
        banc b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        b.agent->Form_Load();
        QVERIFY(!b.agent->fenetre_chargee());
        b.agent->activer();
        QVERIFY(b.agent->fenetre_chargee());
        QPointer<vues::fl_main> f = b.agent->fenetre();
        QVERIFY(f && f->isVisible());
        f->showMinimized();
        QTRY_VERIFY(f->isMinimized());
        b.agent->activer();
        QCOMPARE(b.agent->fenetre(), f.data());
        QTRY_VERIFY(!f->isMinimized());
        QVERIFY(f->isVisible());
        QVERIFY(b.boites.vues.empty());
    }

    void reduire_avec_agent() {
        banc b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        b.agent->Form_Load();
        b.agent->charger_fenetre();
        essais::controle<QAction>(*b.agent->fenetre(), "afermer")->trigger();
        QVERIFY(!b.agent->fenetre_chargee());
        QVERIFY(!b.agent->termine());
        b.agent->menu01()->trigger(); // "Quitter" from the icon: no question
        QVERIFY(b.agent->termine());
        QVERIFY(b.boites.vues.empty());
    }

    void menu_mettre_a_jour() {
        banc b;
        b.agent->Form_Load();
        b.agent->etat().maj_annulee = true;
        b.agent->menu02()->trigger();
        QCOMPARE(b.nb_maj, 1);
        QVERIFY(!b.agent->etat().maj_annulee);
        b.ctx.guide->commencer_maj();
        b.agent->menu02()->trigger();
        QCOMPARE(b.nb_maj, 1);
    }

    void options_non_enregistrables() {
        banc b;
        b.agent->Form_Load();
        // The folder vanishes: the file cannot be written.
        b.ctx.dossier_appli = b.dossier.chemin() + QStringLiteral("/absent");
        const QString base = b.dossier.base();
        Q_UNUSED(base);
        b.agent->cdecauto_Click();
        QVERIFY(b.ctx.options.opt_deconnexion); // kept in memory
        QCOMPARE(b.boites.vues.size(), size_t(1));
        QVERIFY(
            b.boites.vues[0].texte.startsWith(QStringLiteral("Les options n'ont pas pu être enregistrées")));
    }

    void premiere_fenetre() {
        dossier_essai d;
        contexte ctx;
        ctx.options.opt_agent = true; // overwritten by the proposals
        int inscrire = 0, retirer = 0;
        coquille::fl_premiere f(
            ctx, [&] { ++inscrire; }, [&] { ++retirer; });
        QVERIFY(f.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.size(), QSize(414, 492));
        QVERIFY(ctx.options.opt_majauto && !ctx.options.opt_connexion && !ctx.options.opt_deconnexion &&
                !ctx.options.opt_agent);
        QCOMPARE(f.choix[0]->checkState(), Qt::Checked);
        const int hauts[4] = {1680, 2520, 3600, 4680};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(f.choix[size_t(i)]->y(), qRound(hauts[i] / 15.0));
            QVERIFY(f.choix[size_t(i)]->text().isEmpty());
        }
        QCOMPARE(essais::controle<QPushButton>(f, "bt_ok")->y(), 440);
        QCOMPARE(f.Label2[3]->text(), QStringLiteral("Utiliser l'agent permanent ?"));
        QCOMPARE(f.Label3[2]->text(),
                 QStringLiteral("Si une connexion Internet a été lancée par Zapo-TV, elle sera "
                                "fermée dès quelle ne sera plus nécessaire."));
        f.choix[0]->setChecked(false);
        f.choix[3]->setChecked(true);
        essais::controle<QPushButton>(f, "bt_ok")->click();
        QVERIFY(!ctx.options.opt_majauto && ctx.options.opt_agent);
        QCOMPARE(inscrire, 1);
        QCOMPARE(retirer, 0);
        QCOMPARE(f.result(), int(QDialog::Accepted));

        coquille::fl_premiere g(
            ctx, [&] { ++inscrire; }, [&] { ++retirer; });
        essais::controle<QPushButton>(g, "bt_ok")->click();
        QCOMPARE(retirer, 1);
        // Closed another way: the proposals stay, autostart is left alone.
        coquille::fl_premiere h(
            ctx, [&] { ++inscrire; }, [&] { ++retirer; });
        h.choix[1]->setChecked(true);
        h.reject();
        QVERIFY(ctx.options.opt_majauto && !ctx.options.opt_connexion);
        QCOMPARE(inscrire, 1);
        QCOMPARE(retirer, 1);
    }
};

QTEST_MAIN(test_agent)
#include "test_agent.moc"
