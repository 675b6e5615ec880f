// The agent's timer after failed automatic runs, minute by minute on a fake clock.
#include "outils/banc_agent.h"

using namespace zapo;
using namespace zapo::essais;

class test_relance_agent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void calendrier_data() {
        QTest::addColumn<QList<bool>>("echecs"); // each run's result in turn (true: failed)
        QTest::addColumn<QList<int>>("departs"); // minutes at which runs started
        QTest::newRow("échecs répétés")
            << QList<bool>{true, true, true, true, true, true} << QList<int>{0, 15, 45, 105, 225};
        QTest::newRow("un succès remet à zéro")
            << QList<bool>{true, false, true, true} << QList<int>{0, 15, 16, 31};
    }
    void calendrier() {
        QFETCH(QList<bool>, echecs);
        QFETCH(QList<int>, departs);
        banc_agent b;
        const QDateTime debut = le(7, 11, 0);
        QList<int> vus;
        int minute = 0;
        coquille::branchements_agent br;
        br.zone_notification = [] { return true; };
        br.montrer_premiere = [] {};
        br.inscrire_demarrage = [] {};
        br.retirer_demarrage = [] {};
        br.executer_maj = [&](maj::etat_maj& etat) {
            const bool echec = echecs.value(vus.size(), true);
            vus << minute;
            etat.maj_echouee = echec;
            // A success stamps the base; a stale stamp comes back at the next minute for this check.
            if (!echec)
                b.stamper(debut.addSecs(qint64(minute) * 60));
        };
        b.agent = std::make_unique<coquille::fl_init>(b.ctx, br);
        b.stamper(le(6, 18, 0));
        b.ctx.options.opt_majauto = true;
        for (minute = 0; minute < 240; ++minute) {
            b.horloge.regler(debut.addSecs(qint64(minute) * 60));
            // Stale again after a success, as when the day turns.
            if (!vus.isEmpty() && vus.last() == minute - 1 && !b.agent->etat().maj_echouee)
                b.stamper(le(6, 18, 0));
            b.agent->tps_maj_Timer();
            if (vus.size() >= departs.size() + 1)
                break;
        }
        QCOMPARE(vus.mid(0, departs.size()), departs);
        if (echecs.size() > departs.size())
            QCOMPARE(vus.size(), departs.size()); // nothing else within the window
    }

    // While automatic runs wait, the user's own command still runs at once, and
    // the status line keeps saying that the last run failed.
    void commande_de_l_utilisateur() {
        banc_agent b;
        int nb = 0;
        coquille::branchements_agent br;
        br.zone_notification = [] { return true; };
        br.montrer_premiere = [] {};
        br.executer_maj = [&](maj::etat_maj& etat) {
            ++nb;
            etat.maj_echouee = true;
        };
        b.agent = std::make_unique<coquille::fl_init>(b.ctx, br);
        b.stamper(le(6, 18, 0));
        b.ctx.options.opt_majauto = true;
        b.agent->tps_maj_Timer();
        QCOMPARE(nb, 1);
        b.horloge.avancer(60);
        b.agent->tps_maj_Timer();
        QCOMPARE(nb, 1);
        QCOMPARE(b.ctx.guide->texte_etat(), QStringLiteral("La mise à jour a échoué."));
        b.agent->lancer_maj();
        QCOMPARE(nb, 2);
    }
};

QTEST_MAIN(test_relance_agent)
#include "test_relance_agent.moc"
