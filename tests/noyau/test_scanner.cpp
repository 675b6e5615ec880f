#include "noyau/scanner.h"
#include "outils/horloge_fixe.h"

#include <QTest>

using namespace zapo;

namespace {

QDateTime le_12_juin(int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 6, 12), QTime(h, m, s));
}

QString dh(date_heure d) {
    return d.en_qdatetime().toString(QStringLiteral("dd/MM HH:mm"));
}

QString duree(date_heure d) {
    const auto s = d.secondes();
    return QStringLiteral("%1:%2")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'));
}

// "12/06 06:00 -> 12/06 10:30 (04:30) Info": every field of a record at once.
QString ligne(const fiche_programme& f) {
    return dh(f.hdeb) + QStringLiteral(" -> ") + dh(f.hfin) + QStringLiteral(" (") + duree(f.duree) +
           QStringLiteral(") ") + f.programme;
}

QStringList lignes(const page_decoupee& p) {
    QStringList l;
    for (const auto& f : p.programmes)
        l << ligne(f);
    return l;
}

// A clock that moves on each time it is read.
class horloge_pas final : public horloge {
public:
    explicit horloge_pas(QList<QDateTime> t) : t_(std::move(t)) {}
    QDateTime maintenant() const override { return t_.at(qMin(lus_++, t_.size() - 1)); }
    mutable qsizetype lus_ = 0;

private:
    QList<QDateTime> t_;
};

const QString exemple1 = QStringLiteral(
    "<tr><td>06h00</td><td>Info</td></tr>\r\n<tr><td>10h30</td><td>Magazine</td><td>Reportage</td></tr>\r\n"
    "<tr><td>23h50</td><td>Film</td></tr>\r\n<tr><td>01h20</td><td>Nuit</td></tr></table>");

// n times, ten minutes apart from 10:00, each followed by a title unless `sans_titre`.
QString page_de(int n, bool sans_titre = false) {
    QString p = QStringLiteral("<table>");
    for (int i = 0; i < n; ++i) {
        const int m = 10 * 60 + i * 10;
        p += QStringLiteral("<tr><td>%1h%2</td>")
                 .arg(m / 60 % 24, 2, 10, QLatin1Char('0'))
                 .arg(m % 60, 2, 10, QLatin1Char('0'));
        if (!sans_titre)
            p += QStringLiteral("<td>T%1</td>").arg(i + 1);
        p += QStringLiteral("</tr>\n");
    }
    return p + QStringLiteral("</table>");
}

} // namespace

class test_scanner : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decoupage_data();
    void decoupage();
    void limite_de_cent_data();
    void limite_de_cent();
    void horloge_relue_a_chaque_heure();
};

void test_scanner::decoupage_data() {
    QTest::addColumn<QDateTime>("maintenant");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("attendu");

    const QDateTime a14h = le_12_juin(14, 0);
    const QDateTime a8h30 = le_12_juin(8, 30);
    const QDateTime a9h59 = le_12_juin(9, 59, 59);
    const QDateTime a10h = le_12_juin(10, 0);

    QTest::newRow("exemple 1, 14:00")
        << a14h << exemple1
        << QStringList{"12/06 06:00 -> 12/06 10:30 (04:30) Info",
                       "12/06 10:30 -> 12/06 23:50 (13:20) Magazine",
                       "12/06 23:50 -> 13/06 01:20 (01:30) Film", "13/06 01:20 -> 13/06 02:20 (01:00) Nuit"};
    QTest::newRow("exemple 1, 08:30: la journée d'hier")
        << a8h30 << exemple1
        << QStringList{"11/06 06:00 -> 11/06 10:30 (04:30) Info",
                       "11/06 10:30 -> 11/06 23:50 (13:20) Magazine",
                       "11/06 23:50 -> 12/06 01:20 (01:30) Film", "12/06 01:20 -> 12/06 02:20 (01:00) Nuit"};
    QTest::newRow("deux heures de suite")
        << a14h << "<td>20h50</td><td>21h35</td><td>Film</td>"
        << QStringList{"12/06 20:50 -> 12/06 21:35 (00:45) Pas d'info disponible",
                       "12/06 21:35 -> 12/06 22:35 (01:00) Film"};
    QTest::newRow("titre précédé d'une espace") << a14h << "<td>20h50</td><td> Journal</td><td>Météo</td>"
                                                << QStringList{"12/06 20:50 -> 12/06 21:50 (01:00) Météo"};
    QTest::newRow("texte avant la première heure")
        << a14h << "<b>Soirée</b><td>20h50</td><td>Journal de 20h</td>"
        << QStringList{"12/06 20:50 -> 12/06 21:50 (01:00) Journal de 20h"};
    QTest::newRow("texte sans heure")
        << a14h << "<html><body><p>Aucun programme aujourd'hui</p></body></html>" << QStringList{};
    QTest::newRow("page vide") << a14h << "" << QStringList{};
    QTest::newRow("seul le premier texte après l'heure")
        << a14h << "<td>20h50</td><td>Film</td><td>Drame</td><td>21h40</td><td>Série</td><td>Policier</td>"
        << QStringList{"12/06 20:50 -> 12/06 21:40 (00:50) Film", "12/06 21:40 -> 12/06 22:40 (01:00) Série"};
    QTest::newRow("trois heures sans titre puis un titre")
        << a14h << "<td>20h00</td><td>20h30</td><td>21h00</td><td>Film</td>"
        << QStringList{"12/06 20:00 -> 12/06 20:30 (00:30) ",
                       "12/06 20:30 -> 12/06 21:00 (00:30) Pas d'info disponible",
                       "12/06 21:00 -> 12/06 22:00 (01:00) Film"};
    QTest::newRow("dernier programme sans titre")
        << a14h << "<td>20h00</td><td>Film</td><td>22h00</td></table>"
        << QStringList{"12/06 20:00 -> 12/06 22:00 (02:00) Film", "12/06 22:00 -> 12/06 23:00 (01:00) "};
    QTest::newRow("heure dans les cinq derniers caractères")
        << a14h << "<td>20h00</td><td>Film</td><td>22h00"
        << QStringList{"12/06 20:00 -> 12/06 21:00 (01:00) Film"};
    QTest::newRow("09:59: hier") << a9h59 << "<td>06h00</td><td>Info</td><td>20h00</td><td>Soir</td>"
                                 << QStringList{"11/06 06:00 -> 11/06 20:00 (14:00) Info",
                                                "11/06 20:00 -> 11/06 21:00 (01:00) Soir"};
    QTest::newRow("10:00: aujourd'hui")
        << a10h << "<td>06h00</td><td>Info</td><td>20h00</td><td>Soir</td>"
        << QStringList{"12/06 06:00 -> 12/06 20:00 (14:00) Info", "12/06 20:00 -> 12/06 21:00 (01:00) Soir"};
    QTest::newRow("00:30 en tête n'est pas déplacé")
        << a14h << "<td>00h30</td><td>Nuit</td><td>11h00</td><td>Midi</td><td>02h00</td><td>Tard</td>"
        << QStringList{"12/06 00:30 -> 12/06 11:00 (10:30) Nuit", "12/06 11:00 -> 13/06 02:00 (15:00) Midi",
                       "13/06 02:00 -> 13/06 03:00 (01:00) Tard"};
    QTest::newRow("10:00 pile ouvre la journée")
        << a14h << "<td>10h00</td><td>A</td><td>09h59</td><td>B</td>"
        << QStringList{"12/06 10:00 -> 13/06 09:59 (23:59) A", "13/06 09:59 -> 13/06 10:59 (01:00) B"};
    QTest::newRow("cinq caractères en h qui ne sont pas une heure")
        << a14h
        << "<td>20h50</td><td>Echos</td><td>21h00</td><td>25h00</td><td>22h00</td><td>2xh15</td>"
           "<td>23h00</td><td>20h60</td>"
        << QStringList{"12/06 20:50 -> 12/06 21:00 (00:10) Echos", "12/06 21:00 -> 12/06 22:00 (01:00) 25h00",
                       "12/06 22:00 -> 12/06 23:00 (01:00) 2xh15",
                       "12/06 23:00 -> 13/06 00:00 (01:00) 20h60"};
    QTest::newRow("heures mal écrites")
        << a14h
        << "<td>9h30</td><td>A</td><td>20H50</td><td>B</td><td> 21h00</td><td>21h00 </td><td>21h05</td>"
           "<td>9h30</td><td>C</td>"
        << QStringList{"12/06 21:05 -> 12/06 22:05 (01:00) 9h30"};
    QTest::newRow("coupée dans une balise")
        << a14h << "<td>20h50</td><td>Film</td><td>21h00</td><td class=\"x"
        << QStringList{"12/06 20:50 -> 12/06 21:00 (00:10) Film", "12/06 21:00 -> 12/06 22:00 (01:00) "};
    QTest::newRow("dernier texte sans <")
        << a14h << "<td>20h50</td><td>Film</td><td>21h00</td><td>Suite sans fin"
        << QStringList{"12/06 20:50 -> 12/06 21:00 (00:10) Film", "12/06 21:00 -> 12/06 22:00 (01:00) "};
    QTest::newRow("heure sans < à la fin") << a14h << "<td>20h50</td><td>Film</td><td>21h00\r\n"
                                           << QStringList{"12/06 20:50 -> 12/06 21:50 (01:00) Film"};
    QTest::newRow("page sans >") << a14h << "20h50 Film 21h00 Série <" << QStringList{};
    QTest::newRow("> au milieu d'un texte")
        << a14h << "<p>a>20h50</p><p>Film</p>" << QStringList{"12/06 20:50 -> 12/06 21:50 (01:00) Film"};
    // Kept as written but for control characters: a carriage return is a space, none before a line feed.
    QTest::newRow("titre gardé tel quel")
        << a14h << "<td>20h50</td><td>Le\r\nFilm &amp; co\r\x01</td>"
        << QStringList{"12/06 20:50 -> 12/06 21:50 (01:00) Le\nFilm &amp; co "};
}

void test_scanner::decoupage() {
    QFETCH(QDateTime, maintenant);
    QFETCH(QString, page);
    QFETCH(QStringList, attendu);
    const horloge_fixe h(maintenant);
    const auto r = decouper_page(page, h);
    QCOMPARE(lignes(r), attendu);
    QVERIFY(!r.tronquee);
}

void test_scanner::limite_de_cent_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("nb");
    QTest::addColumn<bool>("tronquee");
    QTest::addColumn<QString>("centieme");

    // The 100th time is 10:00 + 990 min = 02:30 the next day; the 101st 02:40.
    QTest::newRow("cent heures") << page_de(100) << 100 << false << "13/06 02:30 -> 13/06 03:30 (01:00) T100";
    QTest::newRow("cent une heures") << page_de(101) << 100 << true
                                     << "13/06 02:30 -> 13/06 02:40 (00:10) T100";
    QTest::newRow("cent cinquante heures")
        << page_de(150) << 100 << true << "13/06 02:30 -> 13/06 02:40 (00:10) T100";
    QTest::newRow("cent une heures sans titre puis un titre")
        << page_de(101, true) + "<td>Fin</td>" << 100 << true
        << "13/06 02:30 -> 13/06 02:40 (00:10) Pas d'info disponible";
    QTest::newRow("cent une heures sans titre")
        << page_de(101, true) << 100 << true << "13/06 02:30 -> 13/06 02:40 (00:10) ";
}

void test_scanner::limite_de_cent() {
    QFETCH(QString, page);
    QFETCH(int, nb);
    QFETCH(bool, tronquee);
    QFETCH(QString, centieme);
    const horloge_fixe h(le_12_juin(14, 0));
    const auto r = decouper_page(page, h);
    QCOMPARE(r.nb_programmes(), nb);
    QCOMPARE(r.tronquee, tronquee);
    QCOMPARE(ligne(r.programmes.back()), centieme);
    for (int i = 0; i + 1 < r.nb_programmes(); ++i)
        QCOMPARE(r.programmes[i].hfin, r.programmes[i + 1].hdeb);
}

void test_scanner::horloge_relue_a_chaque_heure() {
    // The update crosses 10:00 between the first and the second time.
    const horloge_pas h({le_12_juin(9, 59, 59), le_12_juin(10, 0)});
    const auto r = decouper_page(u"<td>06h00</td><td>A</td><td>07h00</td><td>B</td>", h);
    QCOMPARE(lignes(r),
             (QStringList{"11/06 06:00 -> 12/06 07:00 (25:00) A", "12/06 07:00 -> 12/06 08:00 (01:00) B"}));
    QCOMPARE(h.lus_, 2);
}

QTEST_GUILESS_MAIN(test_scanner)
#include "test_scanner.moc"
