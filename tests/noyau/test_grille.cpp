// Where the time grid draws a channel's programmes.
#include "noyau/grille.h"

#include <QStringList>
#include <QTest>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 7);

// "HH:MM" of day 0; "+HH:MM" of the next day.
date_heure t(const QString& s) {
    const bool lendemain = s.startsWith(QLatin1Char('+'));
    const QStringList p = s.mid(lendemain ? 1 : 0).split(QLatin1Char(':'));
    return date_heure::depuis_date(jour0.addDays(lendemain ? 1 : 0), p[0].toInt(), p[1].toInt());
}

// "20:00-21:00;21:00-22:30" into a row.
std::vector<plage_grille> rangee(const QString& s) {
    std::vector<plage_grille> r;
    for (const QString& p : s.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList d = p.split(QLatin1Char('-'));
        r.push_back({t(d[0]), t(d[1])});
    }
    return r;
}

// "index:x+largeur" for each block.
QString texte(const std::vector<bloc_grille>& v) {
    QStringList l;
    for (const auto& b : v)
        l << QStringLiteral("%1:%2+%3").arg(b.index).arg(b.x).arg(b.largeur);
    return l.join(QLatin1Char(' '));
}

} // namespace

class test_grille : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blocs_data();
    void blocs();
    void programme_a_data();
    void programme_a();
};

void test_grille::blocs_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("densite");
    QTest::addColumn<QString>("debut"); // visible span; the origin is 20:00
    QTest::addColumn<QString>("fin");
    QTest::addColumn<QString>("attendus");
    const QString soiree = QStringLiteral("20:00-20:45;20:50-22:30;22:30-23:45");
    QTest::newRow("gap stays empty") << soiree << 4.0 << 1.0 << "20:00"
                                     << "+00:00"
                                     << "0:0+180 1:200+400 2:600+300";
    QTest::newRow("zoom 2") << soiree << 2.0 << 1.0 << "20:00"
                            << "+00:00"
                            << "0:0+90 1:100+200 2:300+150";
    QTest::newRow("density 2") << soiree << 4.0 << 2.0 << "20:00"
                               << "+00:00"
                               << "0:0+360 1:400+800 2:1200+600";
    QTest::newRow("zoom 1.5 rounds to shared edges")
        << QStringLiteral("20:00-20:07;20:07-20:13") << 1.5 << 1.0 << "20:00"
        << "21:00"
        << "0:0+11 1:11+9";
    QTest::newRow("only the visible ones") << soiree << 4.0 << 1.0 << "21:00"
                                           << "22:00"
                                           << "1:240+240";
    QTest::newRow("across midnight") << QStringLiteral("23:30-+00:40;+00:40-+01:00") << 4.0 << 1.0 << "23:00"
                                     << "+01:00"
                                     << "0:840+280 1:1120+80";
    QTest::newRow("longer than the day, cut to the view")
        << QStringLiteral("19:00-+23:00") << 4.0 << 1.0 << "20:00"
        << "+00:00"
        << "0:0+960";
    QTest::newRow("overlap ends at next start")
        << QStringLiteral("20:00-21:30;21:00-22:00") << 4.0 << 1.0 << "20:00"
        << "+00:00"
        << "0:0+240 1:240+240";
    QTest::newRow("overlap: earlier one still seen at the left edge")
        << QStringLiteral("20:00-23:00;22:00-22:30;22:30-23:00") << 4.0 << 1.0 << "21:00"
        << "+00:00"
        << "0:240+240 1:480+120 2:600+120";
    QTest::newRow("end before start keeps a pixel")
        << QStringLiteral("20:00-19:00;20:30-21:00") << 4.0 << 1.0 << "20:00"
        << "+00:00"
        << "0:0+1 1:120+120";
    QTest::newRow("empty row") << QString() << 4.0 << 1.0 << "20:00"
                               << "+00:00" << QString();
}

void test_grille::blocs() {
    QFETCH(QString, row);
    QFETCH(double, zoom);
    QFETCH(double, densite);
    QFETCH(QString, debut);
    QFETCH(QString, fin);
    QFETCH(QString, attendus);
    const echelle_grille e{t(QStringLiteral("20:00")), zoom, densite};
    const auto r = rangee(row);
    QCOMPARE(texte(disposer_rangee(r, e, t(debut), t(fin))), attendus);
}

void test_grille::programme_a_data() {
    QTest::addColumn<QString>("quand");
    QTest::addColumn<bool>("suivant");
    QTest::addColumn<int>("attendu");
    QTest::newRow("on") << "21:00" << false << 1;
    QTest::newRow("at a start") << "22:30" << false << 2;
    QTest::newRow("gap") << "20:47" << false << -1;
    QTest::newRow("gap, next") << "20:47" << true << 1;
    QTest::newRow("before all, next") << "19:00" << true << 0;
    QTest::newRow("after all") << "+01:00" << true << -1;
}

void test_grille::programme_a() {
    QFETCH(QString, quand);
    QFETCH(bool, suivant);
    QFETCH(int, attendu);
    const auto r = rangee(QStringLiteral("20:00-20:45;20:50-22:30;22:30-23:45"));
    QCOMPARE(zapo::programme_a(r, t(quand), suivant), attendu);
}

QTEST_APPLESS_MAIN(test_grille)
#include "test_grille.moc"
