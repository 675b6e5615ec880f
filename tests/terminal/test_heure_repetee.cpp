// The nights the clocks change in Paris, read from a base as a feed fills it: in
// the hour that happens twice (25 October 2026) each stored wall-clock time is
// placed by the programmes around it, and the clock's reading says which pass it
// is; the spring night (29 March 2026) stays as it was.
#include "donnees/base_rappels.h"
#include "donnees/transaction.h"
#include "donnees/semaine.h"
#include "noyau/rappels.h"
#include "outils/dossier_essai.h"
#include "outils/horloge_fixe.h"
#include "terminal/sorties.h"

#include <QBuffer>
#include <QTest>
#include <QXmlStreamReader>

#include <ctime>

using namespace zapo;

namespace {

// Seconds since 1970 UTC of a UTC date and time.
qint64 utc(QDate j, int h, int m) {
    return QDateTime(j, QTime(h, m), Qt::UTC).toSecsSinceEpoch();
}

date_heure local(qint64 instant) {
    return date_heure::depuis_qdatetime(QDateTime::fromSecsSinceEpoch(instant));
}

struct programme_utc {
    const char* titre;
    qint64 debut;
    qint64 fin;
};

// One channel's night as a feed gives it (UTC), stored as the reader stores it:
// local wall-clock times and the real length.
std::vector<programme_utc> nuit(bool automne) {
    const QDate veille = automne ? QDate(2026, 10, 24) : QDate(2026, 3, 28);
    const QDate jour = veille.addDays(1);
    if (automne)
        return {{"Nuit", utc(veille, 23, 0), utc(jour, 0, 40)}, {"Court", utc(jour, 0, 40), utc(jour, 0, 50)},
                {"Pont", utc(jour, 0, 50), utc(jour, 1, 10)},   {"Hiver", utc(jour, 1, 10), utc(jour, 1, 30)},
                {"Rappel", utc(jour, 1, 30), utc(jour, 2, 30)}, {"Matin", utc(jour, 2, 30), utc(jour, 4, 0)}};
    return {{"Soir", utc(veille, 23, 0), utc(jour, 0, 30)},
            {"Saut", utc(jour, 0, 30), utc(jour, 1, 30)},
            {"Aube", utc(jour, 1, 30), utc(jour, 3, 0)}};
}

} // namespace

class test_heure_repetee : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        qputenv("TZ", "Europe/Paris");
        ::tzset();
    }
    void nuits_data();
    void nuits();
    void lectures_data();
    void lectures();
};

void test_heure_repetee::nuits_data() {
    QTest::addColumn<bool>("automne");
    QTest::addColumn<qint64>("horloge"); // UTC
    QTest::addColumn<QString>("en_cours");
    QTest::addColumn<int>("pourcent");
    QTest::addColumn<QString>("debut"); // the export's start and stop of that programme
    QTest::addColumn<QString>("fin");
    const QDate oct(2026, 10, 25), mars(2026, 3, 29);
    // 02:20 summer time: "Hiver" (02:10 winter time) starts in 50 minutes.
    QTest::newRow("02:20 CEST") << true << utc(oct, 0, 20) << "Nuit" << 80 << "20261025010000 +0200"
                                << "20261025024000 +0200";
    QTest::newRow("02:45 CEST") << true << utc(oct, 0, 45) << "Court" << 50 << "20261025024000 +0200"
                                << "20261025025000 +0200";
    QTest::newRow("02:00 CET, the hour again")
        << true << utc(oct, 1, 0) << "Pont" << 50 << "20261025025000 +0200"
        << "20261025021000 +0100";
    QTest::newRow("02:20 CET") << true << utc(oct, 1, 20) << "Hiver" << 50 << "20261025021000 +0100"
                               << "20261025023000 +0100";
    QTest::newRow("02:45 CET") << true << utc(oct, 1, 45) << "Rappel" << 25 << "20261025023000 +0100"
                               << "20261025033000 +0100";
    QTest::newRow("03:15 CET") << true << utc(oct, 2, 15) << "Rappel" << 75 << "20261025023000 +0100"
                               << "20261025033000 +0100";
    QTest::newRow("04:00 CET") << true << utc(oct, 3, 0) << "Matin" << 33 << "20261025033000 +0100"
                               << "20261025050000 +0100";
    QTest::newRow("printemps 00:15 CET")
        << false << utc(mars.addDays(-1), 23, 15) << "Soir" << 17 << "20260329000000 +0100"
        << "20260329013000 +0100";
    QTest::newRow("printemps 01:45 CET")
        << false << utc(mars, 0, 45) << "Saut" << 25 << "20260329013000 +0100"
        << "20260329033000 +0200";
    QTest::newRow("printemps 03:15 CEST")
        << false << utc(mars, 1, 15) << "Saut" << 75 << "20260329013000 +0100"
        << "20260329033000 +0200";
    QTest::newRow("printemps 04:00 CEST")
        << false << utc(mars, 2, 0) << "Aube" << 33 << "20260329033000 +0200"
        << "20260329050000 +0200";
}

void test_heure_repetee::nuits() {
    QFETCH(bool, automne);
    QFETCH(qint64, horloge);
    QFETCH(QString, en_cours);
    QFETCH(int, pourcent);
    QFETCH(QString, debut);
    QFETCH(QString, fin);
    essais::dossier_essai d;
    QVERIFY(d.valide());
    donnees::base_programmes b(d.base());
    b.ajouter_chaine(
        {2, QStringLiteral("France 2"), QStringLiteral("http://127.0.0.1:1/tnt.xml#France2.fr"), 2});
    std::vector<fiche_programme> fiches;
    qint64 instant_debut = 0;
    for (const programme_utc& p : nuit(automne)) {
        fiches.push_back({QString::fromLatin1(p.titre),
                          local(p.debut),
                          date_heure::depuis_secondes(p.fin - p.debut),
                          local(p.fin),
                          {}});
        if (en_cours == QLatin1String(p.titre))
            instant_debut = p.debut;
    }
    zapo::donnees::transaction ecriture_b(b);
    for (const fiche_programme& f : fiches)
        b.ajouter_programme(f, 2);
    donnees::remplacer_semaine(b, 2, fiches);
    ecriture_b.valider();
    const horloge_fixe h(QDateTime::fromSecsSinceEpoch(horloge));

    // What is on now, as `--maintenant` and the channel list say it.
    const auto v = terminal::calculer_maintenant(b, h.maintenant());
    QCOMPARE(v.size(), size_t(1));
    QVERIFY(v[0].en_cours);
    QCOMPARE(v[0].en_cours->titre, en_cours);
    QCOMPARE(v[0].en_cours->pourcentage, pourcent);
    QCOMPARE(v[0].en_cours->instant_debut, instant_debut);

    // A reminder on that programme falls due five minutes before its start.
    const auto it = std::ranges::find(fiches, en_cours, &fiche_programme::programme);
    donnees::ajouter_rappel(b, rappel{0, 2, it->hdeb, it->hfin, en_cours});
    const std::vector<rappel> rappels = donnees::lire_rappels(b);
    QCOMPARE(rappels.size(), size_t(1));
    const qint64 du = instant_debut - 5 * 60;
    QCOMPARE(prochain_instant_alerte(rappels, 5), std::optional<std::int64_t>(du));
    QCOMPARE(decider_rappel(rappels[0], QDateTime::fromSecsSinceEpoch(du - 1), 5), sort_rappel::attendre);
    QCOMPARE(decider_rappel(rappels[0], QDateTime::fromSecsSinceEpoch(du), 5), sort_rappel::avertir);

    // The export gives each start and stop with the offset of its own pass.
    QBuffer sortie;
    QVERIFY(sortie.open(QIODevice::WriteOnly));
    QVERIFY(terminal::ecrire_xmltv(b, sortie));
    QXmlStreamReader x(sortie.data());
    QString lu_debut, lu_fin;
    QString titre;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == QLatin1String("programme")) {
            lu_debut = x.attributes().value(QLatin1String("start")).toString();
            lu_fin = x.attributes().value(QLatin1String("stop")).toString();
        } else if (x.name() == QLatin1String("title") && x.readElementText() == en_cours) {
            break;
        }
    }
    QVERIFY(!x.hasError());
    QCOMPARE(lu_debut, debut);
    QCOMPARE(lu_fin, fin);
}

void test_heure_repetee::lectures_data() {
    QTest::addColumn<QDate>("jour");
    QTest::addColumn<QTime>("heure");
    QTest::addColumn<qint64>("premiere");
    QTest::addColumn<qint64>("seconde");
    const QDate oct(2026, 10, 25), mars(2026, 3, 29);
    QTest::newRow("01:59 le 25 octobre")
        << oct << QTime(1, 59) << utc(oct.addDays(-1), 23, 59) << utc(oct.addDays(-1), 23, 59);
    QTest::newRow("02:00 deux fois") << oct << QTime(2, 0) << utc(oct, 0, 0) << utc(oct, 1, 0);
    QTest::newRow("02:59 deux fois") << oct << QTime(2, 59) << utc(oct, 0, 59) << utc(oct, 1, 59);
    QTest::newRow("03:00 une fois") << oct << QTime(3, 0) << utc(oct, 2, 0) << utc(oct, 2, 0);
    QTest::newRow("01:59 le 29 mars") << mars << QTime(1, 59) << utc(mars, 0, 59) << utc(mars, 0, 59);
    // Skipped: read with the offset before the change, like 03:30 summer time.
    QTest::newRow("02:30 sautée") << mars << QTime(2, 30) << utc(mars, 1, 30) << utc(mars, 1, 30);
    QTest::newRow("03:00 le 29 mars") << mars << QTime(3, 0) << utc(mars, 1, 0) << utc(mars, 1, 0);
}

void test_heure_repetee::lectures() {
    QFETCH(QDate, jour);
    QFETCH(QTime, heure);
    QFETCH(qint64, premiere);
    QFETCH(qint64, seconde);
    fuseau_local f;
    const lectures_instant l = f.lire(date_heure::depuis_date(jour, heure.hour(), heure.minute()));
    QCOMPARE(l.premiere, premiere);
    QCOMPARE(l.seconde, seconde);
}

QTEST_GUILESS_MAIN(test_heure_repetee)
#include "test_heure_repetee.moc"
