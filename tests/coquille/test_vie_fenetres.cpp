// Clicks and ticks that arrive inside nested loops (the run's pauses, open
// boxes): the main window may go at any moment and nothing uses it afterwards;
// ticks do not stack runs and boxes; the start waits for a notification area.

#include "outils/banc_agent.h"
#include "outils/banc_vie.h"

#include "coquille/boites_qt.h"
#include "outils/controles.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

class test_vie_fenetres : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() {
        // A test that ended the program leaves every later loop returning at once.
        rearmer_boucles();
        QCOMPARE(fenetres_vivantes(), 0);
    }

    // Second click on the icon during the run that opening the window started.
    void icone_pendant_la_maj_de_l_ouverture_data() {
        QTest::addColumn<bool>("agent");
        QTest::addColumn<int>("pause");
        for (int pause : {1, 3, 5, 7}) {
            QTest::addRow("agent, pause %d", pause) << true << pause;
            QTest::addRow("sans agent, pause %d", pause) << false << pause;
        }
    }
    void icone_pendant_la_maj_de_l_ouverture() {
        QFETCH(bool, agent);
        QFETCH(int, pause);
        banc_vie b(options_ini(true, false, false, agent));
        temoin_fenetres temoin;
        bool clic_fait = false;
        b.pas.a_la_pause[pause] = [&] {
            clic_fait = true;
            temoin.sortie = !agent; // without the agent, closing the window ends the program
            b.clic_icone();
        };
        b.agent->Form_Load();
        if (agent) {
            QVERIFY(!b.agent->fenetre());
            b.clic_icone(); // opens the window, whose refresh runs the update
        }
        QVERIFY(clic_fait);
        QVERIFY(!b.agent->fenetre());
        QCOMPARE(fenetres_visibles(), 0);
        QCOMPARE(temoin.montrees_apres_sortie, 0);
        QCOMPARE(b.agent->termine(), !agent);
        QVERIFY(!b.m.ctx.guide->maj_en_cours());
        QCOMPARE(b.agent->profondeur(), 0);
        QCOMPARE(verifier_integrite(b.m.base()), QStringLiteral("ok"));
        // With the agent the run goes on without its window; without, it is dropped:
        // the channels written before keep their new rows, but the base is not stamped.
        QCOMPARE(vider_table(b.m.base(), "maj") != b.maj_avant, agent);
        if (agent)
            QVERIFY(vider_table(b.m.base(), "liste") != b.liste_avant);
        QVERIFY(b.boites.vues.empty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(fenetres_vivantes(), 0);
    }

    // The icon closes the window while one of its boxes waits for an answer.
    void icone_pendant_une_boite_data() {
        QTest::addColumn<QString>("commande");
        QTest::addColumn<bool>("termine");
        QTest::newRow("Date de la base") << "adate" << false;
        QTest::newRow("Supprimer une chaine") << "dsupr" << false;
        QTest::newRow("Quitter, confirmé") << "aquitter" << true;
    }
    void icone_pendant_une_boite() {
        QFETCH(QString, commande);
        QFETCH(bool, termine);
        banc_vie b(options_ini(false, false, false, true));
        b.agent->Form_Load();
        b.clic_icone();
        QPointer<vues::fl_main> f = b.agent->fenetre();
        QVERIFY(f && f->isVisible());
        const int chaines_avant = essais::controle<QTreeWidget>(*f, "lst_chaines")->topLevelItemCount();
        b.boites.pendant = [&](const boites_espionnes::boite&) {
            b.boites.pendant = nullptr;
            b.clic_icone();
            QVERIFY(!b.agent->fenetre());
        };
        QAction* a = commande == "adate"   ? essais::controle<QAction>(*f, "adate")
                     : commande == "dsupr" ? essais::controle<QAction>(*f, "dsupr")
                                           : essais::controle<QAction>(*f, "aquitter");
        a->trigger();
        QCOMPARE(b.boites.vues.size(), size_t(1));
        QCOMPARE(b.agent->termine(), termine);
        if (commande == "dsupr") {
            // The answer still counts, the window being gone or not.
            donnees::base_programmes base(b.m.base());
            QCOMPARE(int(base.lire_chaines().size()), chaines_avant - 1);
        } else {
            QCOMPARE(fenetres_visibles(), 0);
        }
        QCOMPARE(b.agent->profondeur(), 0);
        if (b.agent->fenetre())
            b.agent->fenetre()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f);
    }

    // A real box survives its window being freed while it waits.
    void boite_reelle_survit_a_sa_fenetre() {
        banc_vie b(options_ini(false, false, false, true));
        coquille::boites_qt reelles;
        b.m.ctx.boites = &reelles;
        b.agent->Form_Load();
        b.clic_icone();
        QPointer<vues::fl_main> f = b.agent->fenetre();
        QVERIFY(f);
        bool repondu = false;
        QTimer::singleShot(100, [&] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(boite);
            QVERIFY(boite->parent() != f.data());
            delete f.data(); // the worst case: freed outright
            QTimer::singleShot(50, [&] {
                auto* encore = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(encore);
                encore->buttons().first()->click();
                repondu = true;
            });
        });
        essais::controle<QAction>(*f, "adate")->trigger();
        QVERIFY(repondu);
        QVERIFY(!f);
        QVERIFY(!b.agent->fenetre());
    }

    // "Quitter" during a run: the run lets go, the window never comes back.
    void quitter_differe_data() {
        QTest::addColumn<QString>("par");
        QTest::newRow("menu de l'icône") << "menu01";
        QTest::newRow("commande de la fenêtre") << "aquitter";
    }
    void quitter_differe() {
        QFETCH(QString, par);
        banc_vie b(options_ini(true, false, false, true));
        temoin_fenetres temoin;
        b.agent->Form_Load();
        b.pas.a_la_pause[3] = [&] {
            temoin.sortie = true;
            if (par == "menu01")
                b.agent->menu01()->trigger();
            else
                essais::controle<QAction>(*b.agent->fenetre(), "aquitter")->trigger();
            QVERIFY(!b.agent->termine()); // not before the run lets go
        };
        b.pas.a_la_pause[4] = [&] {
            // Clicks while the run stops open nothing.
            b.clic_icone();
            b.clic_icone();
        };
        b.clic_icone();
        QVERIFY(b.agent->termine());
        QCOMPARE(temoin.montrees_apres_sortie, 0);
        QCOMPARE(fenetres_visibles(), 0);
        QVERIFY(!b.agent->tps_maj().isActive());
        QCOMPARE(vider_table(b.m.base(), "liste"), b.liste_avant);
        QCOMPARE(verifier_integrite(b.m.base()), QStringLiteral("ok"));
    }

    // N ticks of the minute timer under a lasting error: one run, one box.
    void pas_d_empilement_data() {
        QTest::addColumn<bool>("base_illisible");
        QTest::addColumn<int>("nb_tics");
        QTest::newRow("mise à jour en erreur, 5 tics") << false << 5;
        QTest::newRow("mise à jour en erreur, 30 tics") << false << 30;
        QTest::newRow("base illisible, 5 tics") << true << 5;
    }
    void pas_d_empilement() {
        QFETCH(bool, base_illisible);
        QFETCH(int, nb_tics);
        banc_agent b(options_ini(true, false, false, true));
        boites_espionnes boites;
        b.ctx.boites = &boites;
        b.agent->Form_Load();
        b.stamper(le(6, 18, 0));
        if (base_illisible)
            ecrire(b.ctx.chemin_base(), QByteArray(4096, 'x'));
        // The lasting error: every run ends on the run's own error box.
        b.sur_maj = [&] {
            boites.afficher(QStringLiteral("Zapo-TV"),
                            QStringLiteral("La mise à jour des programmes s'est arrêtée."),
                            icone_boite::critique, boutons_boite::ok);
        };
        int tics = 0;
        boites.pendant = [&](const boites_espionnes::boite&) {
            // While the first box is up, a minute passes again and again.
            for (; tics < nb_tics; ++tics) {
                b.horloge.regler(le(7, 14, 1 + tics % 58));
                b.agent->tic();
            }
        };
        b.agent->tic();
        QCOMPARE(tics, nb_tics);
        QCOMPARE(b.nb_maj, base_illisible ? 0 : 1);
        QCOMPARE(int(boites.vues.size()), 1);
        QCOMPARE(boites.max_ouvertes, 1);
        // Once the box is answered, the next tick tries again.
        b.agent->tic();
        QCOMPARE(b.nb_maj, base_illisible ? 0 : 2);
        QCOMPARE(int(boites.vues.size()), 2);
        QCOMPARE(b.agent->profondeur(), 0);
    }

    // At login: no notification area yet; it comes after 3 s, or never.
    void zone_de_notification_tardive_data() {
        QTest::addColumn<bool>("agent");
        QTest::addColumn<int>("arrivee_ms"); // -1: never
        QTest::addColumn<int>("attente_ms");
        QTest::addColumn<bool>("fenetre_attendue");
        QTest::newRow("agent, zone après 3 s") << true << 3000 << 10000 << false;
        QTest::newRow("agent, jamais de zone") << true << -1 << 1000 << true;
        QTest::newRow("sans agent, zone après 1 s") << false << 1000 << 10000 << true;
    }
    void zone_de_notification_tardive() {
        QFETCH(bool, agent);
        QFETCH(int, arrivee_ms);
        QFETCH(int, attente_ms);
        QFETCH(bool, fenetre_attendue);
        banc_vie b(options_ini(false, false, false, agent), 0, attente_ms);
        b.zone = false;
        if (arrivee_ms >= 0)
            QTimer::singleShot(arrivee_ms, Qt::PreciseTimer,
                               [&] { b.zone = true; }); // a coarse one may come 5 % early
        QElapsedTimer t;
        t.start();
        b.agent->Form_Load();
        QCOMPARE(b.agent->fenetre() != nullptr, !agent);
        QVERIFY(!b.agent->icone().isVisible());
        QVERIFY(b.agent->attend_zone());
        QTRY_VERIFY_WITH_TIMEOUT(!b.agent->attend_zone(), 15000);
        const qint64 ms = t.elapsed();
        const qint64 attendu = arrivee_ms >= 0 ? arrivee_ms : attente_ms;
        QVERIFY2(ms >= attendu - 50 && ms < attendu + 2000, qPrintable(QString::number(ms)));
        QVERIFY(b.agent->icone().isVisible());
        QCOMPARE(b.agent->fenetre() != nullptr, fenetre_attendue);
        QVERIFY(!b.agent->termine());
        if (b.agent->fenetre())
            b.agent->fenetre()->close();
        QCOMPARE(b.agent->termine(), !agent || arrivee_ms < 0);
    }
};

QTEST_MAIN(test_vie_fenetres)
#include "test_vie_fenetres.moc"
