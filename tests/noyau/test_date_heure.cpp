#include "noyau/date_heure.h"

#include <QTest>

#include <limits>

using zapo::date_heure;

class test_date_heure : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aller_retour_jours_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("s");
        QTest::addColumn<double>("jours");
        QTest::newRow("origine") << QDate(1899, 12, 30) << 0 << 0 << 0 << 0.0;
        QTest::newRow("origine 06:00") << QDate(1899, 12, 30) << 6 << 0 << 0 << 0.25;
        QTest::newRow("1900-01-01") << QDate(1900, 1, 1) << 0 << 0 << 0 << 2.0;
        QTest::newRow("soirée 2026") << QDate(2026, 12, 7) << 20 << 50 << 0
                                     << 46363.0 + 20.0 / 24 + 50.0 / 1440;
        QTest::newRow("dernière seconde")
            << QDate(2026, 12, 7) << 23 << 59 << 59 << 46363.0 + 86399.0 / 86400;
        QTest::newRow("après 2038") << QDate(2038, 1, 19) << 3 << 14 << 8
                                    << 50424.0 + (3 * 3600 + 14 * 60 + 8) / 86400.0;
        QTest::newRow("an 2100") << QDate(2100, 3, 1) << 12 << 0 << 1 << 73110.0 + 43201.0 / 86400;
    }
    void aller_retour_jours() {
        QFETCH(QDate, date);
        QFETCH(int, h);
        QFETCH(int, m);
        QFETCH(int, s);
        QFETCH(double, jours);
        const date_heure d = date_heure::depuis_date(date, h, m, s);
        QCOMPARE(d.date(), date);
        QCOMPARE(d.heure(), h);
        QCOMPARE(d.minute(), m);
        QCOMPARE(d.seconde_du_jour() % 60, s);
        QVERIFY(qAbs(d.en_jours() - jours) < 1e-9);
        // What the database gives back is the same second, exactly.
        QCOMPARE(date_heure::depuis_jours(d.en_jours()), d);
        QCOMPARE(date_heure::depuis_jours(jours), d);
    }

    // A damaged database may hold any REAL: what is no date reads as the origin,
    // and every later computation on it stays defined.
    void jours_hors_calendrier_data() {
        QTest::addColumn<double>("jours");
        QTest::addColumn<QDate>("date");
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QDate(1899, 12, 30);
        QTest::newRow("infini") << std::numeric_limits<double>::infinity() << QDate(1899, 12, 30);
        QTest::newRow("moins l'infini") << -std::numeric_limits<double>::infinity() << QDate(1899, 12, 30);
        QTest::newRow("1e300") << 1e300 << QDate(1899, 12, 30);
        QTest::newRow("-1e300") << -1e300 << QDate(1899, 12, 30);
        QTest::newRow("au-delà de l'an 9999") << 1e15 << QDate(1899, 12, 30);
        QTest::newRow("an 10000") << 2958466.0 << QDate(1899, 12, 30);
        QTest::newRow("avant l'an 100") << -657434.5 << QDate(1899, 12, 30);
        QTest::newRow("31/12/9999 midi") << 2958465.5 << QDate(9999, 12, 31);
        QTest::newRow("01/01/0100") << -657434.0 << QDate(100, 1, 1);
    }
    void jours_hors_calendrier() {
        QFETCH(double, jours);
        QFETCH(QDate, date);
        const date_heure d = date_heure::depuis_jours(jours);
        QCOMPARE(d.date(), date);
        QCOMPARE(d.jour().date(), date);
        QVERIFY(!d.format_hhnn().isEmpty());
        QCOMPARE((d + date_heure::duree_hm(24, 0)).date(), date.addDays(1));
    }

    void durees_exactes() {
        // 20:50 -> 21:35 is 00:45 and nothing else, even through stored REALs.
        const QDate j(2026, 12, 7);
        const date_heure a = date_heure::depuis_jours(date_heure::depuis_date(j, 20, 50).en_jours());
        const date_heure b = date_heure::depuis_jours(date_heure::depuis_date(j, 21, 35).en_jours());
        QCOMPARE(b - a, date_heure::duree_hm(0, 45));
        QCOMPARE((b - a).format_hhnn(), QStringLiteral("00:45"));
        const date_heure c = date_heure::depuis_jours(date_heure::depuis_date(j, 20, 30).en_jours());
        const date_heure d = date_heure::depuis_jours(date_heure::depuis_date(j, 21, 15).en_jours());
        QVERIFY(d - c >= date_heure::duree_hm(0, 45));
        QCOMPARE(d - c, date_heure::duree_hm(0, 45));
        // Every minute of a day survives the round trip.
        for (int minute = 0; minute < 24 * 60; ++minute) {
            const date_heure t = date_heure::depuis_date(j, minute / 60, minute % 60);
            QCOMPARE(date_heure::depuis_jours(t.en_jours()), t);
        }
    }

    void avant_origine() {
        const date_heure d = date_heure::depuis_date(QDate(1899, 12, 29), 18, 0);
        QCOMPARE(d.date(), QDate(1899, 12, 29));
        QCOMPARE(d.heure(), 18);
        QCOMPARE(d.jour(), date_heure::depuis_date(QDate(1899, 12, 29)));
    }

    void formats() {
        const date_heure d = date_heure::depuis_date(QDate(2026, 12, 7), 6, 5);
        QCOMPARE(d.format_hhnn(), QStringLiteral("06:05"));
        QCOMPARE(d.format_jjmmaaaa(), QStringLiteral("07/12/2026"));
    }
};

QTEST_APPLESS_MAIN(test_date_heure)
#include "test_date_heure.moc"
