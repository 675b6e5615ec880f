// The reminders' service with a fake clock and a fake avertisseur, no window and
// no bus: told once at its time, across restarts, dropped once its programme is
// over, aimed again after a change the guide announces; the wall clock stepping
// or the machine sleeping; a base busy with an update.
#include "donnees/base_rappels.h"
#include "modele/service_rappels.h"
#include "noyau/contexte.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"
#include "outils/horloge_fixe.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace zapo;

namespace {

QDateTime le_8(int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 12, 8), QTime(h, m, s));
}
date_heure dh(int h, int m) {
    return date_heure::depuis_qdatetime(le_8(h, m));
}

class faux_avertisseur final : public modele::avertisseur_rappels {
public:
    void avertir(std::span<const rappel_a_dire> rappels) override {
        for (const auto& r : rappels)
            dits << r.titre + QLatin1Char('|') + r.corps;
        ++nb_fois;
    }
    int nb_fois = 0;
    QStringList dits;
};

struct banc {
    essais::dossier_essai d;
    horloge_fixe h{le_8(20, 0)};
    contexte ctx;
    modele::guide g{ctx};
    faux_avertisseur av;

    banc() {
        ctx.dossier_appli = d.chemin();
        ctx.horloge_ = &h;
        ctx.guide = &g;
        donnees::base_programmes b(d.base());
        b.ajouter_chaine({1, QStringLiteral("Canal Un"), QStringLiteral("http://127.0.0.1/1"), 1});
        const date_heure heure = une_heure;
        const fiche_programme p[] = {{QStringLiteral("Le Grand Été"), dh(21, 0), heure, dh(22, 0)}};
        b.remplacer_programmes(1, p);
        rappel r;
        r.chaine = 1;
        r.debut = dh(21, 0);
        r.fin = dh(22, 0);
        r.titre = QStringLiteral("Le Grand Été");
        donnees::ajouter_rappel(b, r);
    }
};

const QString attendu = QStringLiteral("Le Grand Été|Canal Un à 21:00");

} // namespace

class test_service_rappels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Aimed at the due time, never further than a minute; told at
    // 20:55 (5 minutes before), once.
    void une_fois_a_l_heure() {
        banc b;
        modele::service_rappels m(b.ctx, b.g, b.av);
        m.rearmer();
        QVERIFY(m.minuteur.isActive());
        QCOMPARE(m.minuteur.interval(), modele::service_rappels::attente_max_ms);
        b.h.regler(le_8(20, 54, 59));
        m.verifier();
        QVERIFY(b.av.dits.isEmpty());
        QCOMPARE(m.minuteur.interval(), 1000);
        b.h.regler(le_8(20, 55));
        m.verifier();
        QCOMPARE(b.av.dits, QStringList{attendu});
        b.h.regler(le_8(20, 58));
        m.verifier();
        QCOMPARE(b.av.dits.size(), 1);
        QVERIFY(!m.minuteur.isActive());
        // Another run of the program does not tell it again either.
        modele::service_rappels apres(b.ctx, b.g, b.av);
        apres.verifier();
        QCOMPARE(b.av.dits.size(), 1);
    }

    // The timer itself fires off the minute's grid, a second after the clock reaches the time.
    void par_le_minuteur() {
        banc b;
        modele::service_rappels m(b.ctx, b.g, b.av);
        connect(&m.minuteur, &QTimer::timeout, &m, [&] { m.verifier(); });
        b.h.regler(le_8(20, 54, 59));
        m.rearmer();
        b.h.regler(le_8(20, 55, 1));
        QTRY_COMPARE_WITH_TIMEOUT(b.av.dits.size(), 1, 5000);
    }

    void redemarrage_data() {
        QTest::addColumn<QDateTime>("depart");
        QTest::addColumn<QString>("dit");
        QTest::newRow("avant l'heure") << le_8(20, 50) << QString();
        QTest::newRow("à l'heure manquée, avant le début") << le_8(20, 58) << attendu;
        QTest::newRow("programme en cours")
            << le_8(21, 30) << QStringLiteral("Le Grand Été|Canal Un, commencé à 21:00");
        QTest::newRow("programme fini") << le_8(22, 0) << QString();
        QTest::newRow("le lendemain") << le_8(20, 0).addDays(1) << QString();
    }
    // The program starts at `depart`: a reminder missed meanwhile is told while
    // its programme is on, dropped for good otherwise.
    void redemarrage() {
        QFETCH(QDateTime, depart);
        QFETCH(QString, dit);
        banc b;
        b.h.regler(depart);
        modele::service_rappels m(b.ctx, b.g, b.av);
        m.rearmer();
        if (m.minuteur.isActive() && m.minuteur.interval() == 0)
            m.verifier();
        QCOMPARE(b.av.dits, dit.isEmpty() ? QStringList() : QStringList{dit});
        // Later, never again.
        b.h.regler(le_8(21, 59));
        m.verifier();
        QCOMPARE(b.av.dits.size(), !dit.isEmpty() || depart < le_8(20, 55) ? 1 : 0);
    }

    // A new setting aims the timer again: 15 minutes before is due at once at 20:50.
    void reglage_change() {
        banc b;
        b.h.regler(le_8(20, 50));
        modele::service_rappels m(b.ctx, b.g, b.av);
        m.rearmer();
        QCOMPARE(m.minuteur.interval(), modele::service_rappels::attente_max_ms);
        // Told by the guide, the service aims again by itself.
        b.g.ecrire_minutes_avant(15);
        QCOMPARE(m.minuteur.interval(), 0);
        m.verifier();
        QCOMPARE(b.av.dits, QStringList{attendu});
    }

    void horloge_sautee_data() {
        QTest::addColumn<QDateTime>("apres");
        QTest::addColumn<QStringList>("dits");
        QTest::newRow("réveil avant le début") << le_8(20, 57) << QStringList{attendu};
        QTest::newRow("horloge avancée, programme en cours")
            << le_8(21, 20) << QStringList{QStringLiteral("Le Grand Été|Canal Un, commencé à 21:00")};
        QTest::newRow("horloge reculée") << le_8(19, 0) << QStringList();
    }
    // The machine slept, or the wall clock was set, while the timer waited: the
    // timer never waits more than a minute before looking at the clock again,
    // and what was told is not told again when the clock goes back.
    void horloge_sautee() {
        QFETCH(QDateTime, apres);
        QFETCH(QStringList, dits);
        banc b;
        modele::service_rappels m(b.ctx, b.g, b.av);
        m.rearmer();
        QVERIFY(m.minuteur.interval() <= 60 * 1000);
        b.h.regler(apres);
        m.verifier();
        QCOMPARE(b.av.dits, dits);
        QVERIFY(!m.minuteur.isActive() || m.minuteur.interval() <= 60 * 1000);
        // Back before the warning's time, then past it again: nothing more.
        b.h.regler(le_8(20, 50));
        m.verifier();
        b.h.regler(le_8(20, 56));
        m.verifier();
        QCOMPARE(b.av.dits.size(), std::max<qsizetype>(dits.size(), 1));
    }

    void base_occupee_data() {
        QTest::addColumn<bool>("noter_en_fermant");
        QTest::newRow("noté au passage suivant") << false;
        QTest::newRow("noté en fermant") << true;
    }
    // An update holds a write transaction: the reminder is told at once all the
    // same, never twice while the base stays busy, noted once it is free, and
    // not told again at the next start.
    void base_occupee() {
        QFETCH(bool, noter_en_fermant);
        banc b;
        b.h.regler(le_8(20, 55));
        {
            auto m = std::make_unique<modele::service_rappels>(b.ctx, b.g, b.av);
            {
                essais::base_brute maj(b.d.base());
                maj.executer("BEGIN IMMEDIATE");
                QElapsedTimer t;
                t.start();
                m->verifier();
                QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
                QCOMPARE(b.av.dits, QStringList{attendu});
                QCOMPARE(m->nb_a_noter(), std::size_t(1));
                QCOMPARE(m->minuteur.interval(), modele::service_rappels::nouvel_essai_ms);
                b.h.regler(le_8(20, 56));
                m->verifier();
                QCOMPARE(b.av.dits.size(), 1);
                QVERIFY(t.elapsed() < 2000);
                maj.executer("COMMIT");
            }
            if (!noter_en_fermant) {
                m->verifier();
                QCOMPARE(m->nb_a_noter(), std::size_t(0));
            }
        }
        modele::service_rappels apres(b.ctx, b.g, b.av);
        apres.rearmer();
        apres.verifier();
        QCOMPARE(b.av.dits.size(), 1);
        QCOMPARE(b.av.nb_fois, 1);
    }

    // A reminder removed before its time says nothing.
    void retire_avant() {
        banc b;
        {
            donnees::base_programmes base(b.d.base());
            donnees::retirer_rappel(base, 1, dh(21, 0));
        }
        modele::service_rappels m(b.ctx, b.g, b.av);
        m.rearmer();
        QVERIFY(!m.minuteur.isActive());
        b.h.regler(le_8(20, 56));
        m.verifier();
        QVERIFY(b.av.dits.isEmpty());
    }
};

QTEST_GUILESS_MAIN(test_service_rappels)
#include "test_service_rappels.moc"
