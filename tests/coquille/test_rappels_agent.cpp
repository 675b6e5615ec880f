// The agent and its reminders: a reminder missed while the program was closed
// is told at start, by a box when neither a notification server nor the tray
// can show it; "Voir" loads the main window on the reminder's programme; the
// agent is offered once when a reminder is set without it.
#include "outils/banc_agent.h"

#include "donnees/base_rappels.h"
#include "outils/controles.h"
#include "outils/sans_bus.h"

#include <QApplication>

using namespace zapo;
using namespace zapo::essais;

Q_DECLARE_METATYPE(zapo::reponse_boite)

namespace {

void deux_chaines(const QString& chemin) {
    donnees::base_programmes b(chemin);
    b.ajouter_chaine({1, QStringLiteral("Canal Un"), QStringLiteral("http://127.0.0.1/1"), 1});
    b.ajouter_chaine({2, QStringLiteral("Canal Deux"), QStringLiteral("http://127.0.0.1/2"), 2});
    const date_heure d = date_heure::depuis_qdatetime(le(7, 21, 0));
    b.ajouter_programme({QStringLiteral("Journal"), d, une_heure, d + une_heure}, 1);
    b.ajouter_programme({QStringLiteral("Columbo"), d, une_heure, d + une_heure}, 2);
    rappel r;
    r.chaine = 2;
    r.debut = d;
    r.fin = d + une_heure;
    r.titre = QStringLiteral("Columbo");
    donnees::ajouter_rappel(b, r);
}

} // namespace

class test_rappels_agent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // No session bus: no notification server can answer. An address where
        // none answers, since without one D-Bus may start one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", essais::adresse_sans_bus);
    }

    void manque_au_demarrage_data() {
        QTest::addColumn<QDateTime>("depart");
        QTest::addColumn<bool>("zone");
        QTest::addColumn<int>("nb_boites");
        QTest::newRow("programme en cours") << le(7, 21, 30) << false << 1;
        QTest::newRow("programme fini") << le(7, 22, 30) << false << 0;
        // With a notification area, its icon says it and no box opens.
        QTest::newRow("zone de notification") << le(7, 21, 30) << true << 0;
    }
    void manque_au_demarrage() {
        QFETCH(QDateTime, depart);
        QFETCH(bool, zone);
        QFETCH(int, nb_boites);
        banc_agent b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        b.zone = zone;
        if (zone && !QSystemTrayIcon::supportsMessages())
            QSKIP("pas de messages de la zone de notification sur cette plate-forme");
        deux_chaines(b.ctx.chemin_base());
        b.horloge.regler(depart);
        b.agent->Form_Load();
        QTRY_COMPARE_WITH_TIMEOUT(int(b.boites.vues.size()), nb_boites, 5000);
        // And no other: nothing to wait on but a little time.
        QTest::qWait(300);
        QCOMPARE(int(b.boites.vues.size()), nb_boites);
        if (nb_boites) {
            QCOMPARE(b.boites.vues[0].titre, QStringLiteral("Zapo-TV"));
            QCOMPARE(b.boites.vues[0].texte,
                     QStringLiteral("Rappel : Columbo\rCanal Deux, commencé à 21:00"));
        }
        // Never again, in this run or the next.
        b.agent->rearmer_rappels();
        QTest::qWait(100); // nothing may come
        QCOMPARE(int(b.boites.vues.size()), nb_boites);
    }

    void voir() {
        banc_agent b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        deux_chaines(b.ctx.chemin_base());
        b.horloge.regler(le(7, 20, 0));
        b.agent->Form_Load();
        QVERIFY(!b.agent->fenetre());
        b.agent->montrer_rappel(2, date_heure::depuis_qdatetime(le(7, 21, 0)));
        QVERIFY(b.agent->fenetre());
        QCOMPARE(b.agent->fenetre()->chaine_courante(), 2);
        auto* lst = essais::controle<QTreeWidget>(*b.agent->fenetre(), "lst_prog");
        QCOMPARE(lst->topLevelItem(0)->text(3), QStringLiteral("Columbo"));
        QCOMPARE(lst->currentItem(), lst->topLevelItem(0));
        QTRY_VERIFY(lst->hasFocus());
        QVERIFY(essais::controle<QTreeWidget>(*b.agent->fenetre(), "lst_prog")
                    ->topLevelItem(0)
                    ->data(3, Qt::AccessibleDescriptionRole)
                    .isValid());
    }

    void agent_propose_data() {
        QTest::addColumn<bool>("agent");
        QTest::addColumn<bool>("zone");
        QTest::addColumn<reponse_boite>("reponse");
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("agent_apres");
        QTest::newRow("sans agent : oui") << false << true << reponse_boite::oui << true << true;
        QTest::newRow("sans agent : non") << false << true << reponse_boite::non << true << false;
        QTest::newRow("avec l'agent") << true << true << reponse_boite::oui << false << true;
        QTest::newRow("sans zone de notification") << false << false << reponse_boite::oui << false << false;
    }
    // Reminders come only while Zapo-TV runs: the first one set without the
    // agent offers it, once; the answer is kept in the base, not in config.ini.
    void agent_propose() {
        QFETCH(bool, agent);
        QFETCH(bool, zone);
        QFETCH(reponse_boite, reponse);
        QFETCH(bool, question);
        QFETCH(bool, agent_apres);
        banc_agent b(agent ? "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"
                           : "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
        b.zone = zone;
        deux_chaines(b.ctx.chemin_base());
        b.agent->Form_Load();
        const QByteArray options = lire(b.ctx.chemin_options());
        b.boites.reponses.push_back(reponse);
        // Two reminders set by hand (the second after taking the first back).
        const qint64 journal = date_heure::depuis_qdatetime(le(7, 21, 0)).secondes();
        QVERIFY(b.ctx.guide->basculer_rappel(1, journal, false));
        QVERIFY(b.ctx.guide->basculer_rappel(1, journal, true));
        QVERIFY(b.ctx.guide->basculer_rappel(1, journal, false));
        QCOMPARE(int(b.boites.vues.size()), question ? 1 : 0);
        if (question) {
            QCOMPARE(b.boites.vues[0].boutons, boutons_boite::oui_non);
            QCOMPARE(b.boites.vues[0].icone, icone_boite::question);
        }
        QCOMPARE(b.ctx.options.opt_agent, agent_apres);
        QCOMPARE(b.nb_inscrire, agent_apres && !agent ? 1 : 0);
        QCOMPARE(lire(b.ctx.chemin_options()) != options, agent_apres != agent);
        donnees::base_programmes base(b.ctx.chemin_base());
        QCOMPARE(donnees::agent_propose(base), question);
    }
};

QTEST_MAIN(test_rappels_agent)
#include "test_rappels_agent.moc"
