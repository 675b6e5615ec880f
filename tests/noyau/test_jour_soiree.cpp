// The evening a command line names, from a fixed clock: a Saturday, 12 December 2026.
#include "noyau/soirees.h"

#include <QTest>

using namespace zapo;

class test_jour_soiree : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lire_data();
    void lire();
};

void test_jour_soiree::lire_data() {
    QTest::addColumn<QDate>("aujourdhui");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("ecart"); // -100: refused
    QTest::addColumn<bool>("nomme");
    const QDate samedi(2026, 12, 12);
    const int refus = -100;
    const struct {
        const char* texte;
        int ecart;
        bool nomme;
    } lignes[] = {
        {"aujourd'hui", 0, false},
        {"Aujourd’hui", 0, false},
        {"demain", 1, false},
        {"  DEMAIN ", 1, false},
        // The window's own labels.
        {"Ce soir", 0, false},
        {"demain soir", 1, false},
        {"lundi 14", 2, true},
        {"mercredi 16", 4, true},
        {"samedi 19", 7, true},
        // Today and tomorrow by weekday and date too.
        {"samedi 12", 0, true},
        {"Dimanche 13", 1, true},
        // A weekday alone: the next one, today included.
        {"samedi", 0, true},
        {"dimanche", 1, true},
        {"DIMANCHE", 1, true},
        {"Mercredi", 4, true},
        {"mércredi", 4, true},
        {"MERCREDI   16", 4, true},
        {"vendredi", 6, true},
        // Dates, kept or not: the caller checks them against the kept days.
        {"2026-12-15", 3, false},
        {"2026-12-11", -1, false},
        {"2026-12-31", 19, false},
        // Names this week does not hold, and what is no day.
        {"samedi 13", refus, false},
        {"mercredi 17", refus, false},
        {"dimanche 20", refus, false},
        {"vendredi 11", refus, false},
        {"samedi12", refus, false},
        {"sam", refus, false},
        {"prochain samedi", refus, false},
        {"samedi 12 décembre", refus, false},
        {"12", refus, false},
        {"2026-13-01", refus, false},
        {"2026-12-7", refus, false},
        {"12/12/2026", refus, false},
        {"", refus, false},
    };
    for (const auto& l : lignes)
        QTest::addRow("%s", *l.texte ? l.texte : "(vide)")
            << samedi << QString::fromUtf8(l.texte) << l.ecart << l.nomme;
    // Across the spring change of hour, days stay days.
    QTest::newRow("spring change") << QDate(2027, 3, 27) << QStringLiteral("lundi 29") << 2 << true;
    QTest::newRow("autumn change") << QDate(2027, 10, 30) << QStringLiteral("lundi") << 2 << true;
}

void test_jour_soiree::lire() {
    QFETCH(QDate, aujourdhui);
    QFETCH(QString, texte);
    QFETCH(int, ecart);
    QFETCH(bool, nomme);
    for (int heure : {0, 21, 23}) {
        const auto j = lire_jour_soiree(texte, date_heure::depuis_date(aujourdhui, heure, 30));
        if (ecart == -100) {
            QVERIFY2(!j, qPrintable(QString::number(j ? j->ecart : 0)));
            continue;
        }
        QVERIFY(j);
        QCOMPARE(j->ecart, qint64(ecart));
        QCOMPARE(j->nomme, nomme);
    }
}

QTEST_APPLESS_MAIN(test_jour_soiree)
#include "test_jour_soiree.moc"
