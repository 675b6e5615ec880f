// Addresses asked again only when they changed: the validators of the copy a
// channel's rows came from go with the next request; a 304 costs no body and
// the rows are taken again from the week kept, the window moving with the day.
#include "donnees/semaine.h"
#include "donnees/validateurs.h"
#include "maj/maj_programmes.h"

#include "outils/banc_pilote.h"
#include "outils/flux_semaine.h"

#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

using entetes = QList<QPair<QByteArray, QByteArray>>;

QStringList lignes_de(const QString& base, int chaine) {
    donnees::base_programmes b(base);
    QStringList r;
    b.parcourir_chaine(chaine, [&](const donnees::ligne_liste& l) {
        r << l.programme + u'@' + l.hdeb.format_jjmmaaaa() + u' ' + l.hfin.format_hhnn();
    });
    return r;
}

QStringList semaine_de(const QString& base, int chaine) {
    donnees::base_programmes b(base);
    return titres(donnees::lire_semaine_chaine(b, chaine));
}

const QByteArray page_essai = "<html><body><table>\r\n<tr><td>20h50</td><td>Film de page</td></tr>\r\n"
                              "<tr><td>22h30</td><td>Fin de page</td></tr>\r\n</table></body></html>\r\n";

} // namespace

class test_conditionnel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void suite_de_runs_data();
    void suite_de_runs();
    void copie_perdue();
};

void test_conditionnel::suite_de_runs_data() {
    QTest::addColumn<bool>("page");
    QTest::addColumn<int>("dernier"); // the feed's last day (its week: 0 to 7)
    QTest::addColumn<entetes>("avant");
    QTest::addColumn<entetes>("apres"); // once the document has changed
    QTest::addColumn<QByteArray>("entete_attendu");
    QTest::addColumn<bool>("inchangee_lendemain");
    const QByteArray date1 = "Tue, 08 Dec 2026 10:00:00 GMT", date2 = "Wed, 09 Dec 2026 18:00:00 GMT";
    QTest::newRow("ETag") << false << 5 << entetes{{"ETag", "\"v1\""}} << entetes{{"ETag", "\"v2\""}}
                          << QByteArray("if-none-match") << true;
    QTest::newRow("Last-Modified seul")
        << false << 5 << entetes{{"Last-Modified", date1}} << entetes{{"Last-Modified", date2}}
        << QByteArray("if-modified-since") << true;
    QTest::newRow("les deux") << false << 5 << entetes{{"ETag", "\"v1\""}, {"Last-Modified", date1}}
                              << entetes{{"ETag", "\"v2\""}, {"Last-Modified", date2}}
                              << QByteArray("if-none-match") << true;
    QTest::newRow("sans validateurs") << false << 5 << entetes{} << entetes{} << QByteArray() << false;
    // A feed that goes on after the week brings more the next day: read again then.
    QTest::newRow("flux au-delà de la semaine")
        << false << 10 << entetes{{"ETag", "\"v1\""}} << entetes{{"ETag", "\"v2\""}}
        << QByteArray("if-none-match") << false;
    // A page's hours are read against the day: its copy serves that day only.
    QTest::newRow("page") << true << 0 << entetes{{"ETag", "\"p1\""}} << entetes{{"ETag", "\"p2\""}}
                          << QByteArray("if-none-match") << false;
}

void test_conditionnel::suite_de_runs() {
    QFETCH(bool, page);
    QFETCH(int, dernier);
    QFETCH(entetes, avant);
    QFETCH(entetes, apres);
    QFETCH(QByteArray, entete_attendu);
    QFETCH(bool, inchangee_lendemain);
    const bool validateurs = !entete_attendu.isEmpty();
    banc_pilote banc(midi_semaine);
    QVERIFY(banc.pret());
    banc.cx.en_ligne = true;
    const QString chemin = QStringLiteral("/a");
    // Two channels of one document: one request per run whatever happens.
    if (page)
        banc.remplacer_chaines({{2, QStringLiteral("A"), chemin, 1}});
    else
        banc.remplacer_chaines({{2, QStringLiteral("A"), chemin + QStringLiteral("#A.fr"), 1},
                                {3, QStringLiteral("B"), chemin + QStringLiteral("#B.fr"), 2}});
    const auto servir = [&](const QByteArray& suffixe, const entetes& e) {
        const QByteArray corps =
            page ? page_essai
                 : flux_ab(dix_jours("A.fr", suffixe, dernier) + dix_jours("B.fr", suffixe, dernier));
        banc.serveur.definir(chemin, {200, "text/xml", corps, e, false, 0});
    };
    const QString base = banc.d.base();
    qint64 octets = 0;
    int requetes = 0;
    // One run: its result, one request, and what it cost.
    const auto lancer = [&](bool conditionnelle, bool inchangee) {
        const int inchangees = banc.serveur.nb_inchangees(chemin);
        QCOMPARE(banc.lancer(), maj::fin_maj::complete);
        QCOMPARE(banc.serveur.nb_requetes(chemin), ++requetes);
        const auto recus = banc.serveur.entetes_recus(chemin);
        QCOMPARE(recus.contains("if-none-match") || recus.contains("if-modified-since"), conditionnelle);
        if (conditionnelle)
            QVERIFY(recus.contains(entete_attendu));
        QCOMPARE(banc.serveur.nb_inchangees(chemin), inchangees + (inchangee ? 1 : 0));
        const qint64 cout = banc.serveur.octets_envoyes(chemin) - octets;
        octets += cout;
        if (inchangee)
            QVERIFY2(cout < 1024, qPrintable(QString::number(cout)));
        else
            QVERIFY2(cout > 1024 || page, qPrintable(QString::number(cout)));
    };

    servir(" un", avant);
    lancer(false, false);
    if (QTest::currentTestFailed())
        return;
    const QStringList a1 = lignes_de(base, 2), b1 = lignes_de(base, 3);
    const QStringList semaine1 = semaine_de(base, 2);
    QVERIFY(!a1.isEmpty());

    // The same day, unchanged: the same rows, the same week.
    lancer(validateurs, validateurs);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(lignes_de(base, 2), a1);
    QCOMPARE(lignes_de(base, 3), b1);
    QCOMPARE(semaine_de(base, 2), semaine1);

    // The next day, still unchanged: the window has moved as a full read would move it.
    banc.h.regler(midi_semaine.addDays(1));
    lancer(inchangee_lendemain, inchangee_lendemain);
    if (QTest::currentTestFailed())
        return;
    if (!page) {
        QCOMPARE(lignes_de(base, 2),
                 (QStringList{"J1 matin un@09/12/2026 20:45", "J1 soir un@09/12/2026 06:00",
                              "J2 matin un@10/12/2026 20:45"}));
        QCOMPARE(semaine_de(base, 3).first(), QStringLiteral("J1 matin un"));
        QCOMPARE(semaine_de(base, 3).size(), 2 * std::min(dernier, 8));
    }

    // Changed: read whole again, and the new copy's validators go with the next request.
    servir(" deux", apres);
    lancer(validateurs, false);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(lignes_de(base, 2).first().startsWith(page ? "Film de page" : "J1 matin deux"));
    lancer(validateurs, validateurs);
}

// Rows that cannot be taken again from a week are never asked for conditionally:
// a channel added on a feed, a channel whose week is gone, an address changed.
void test_conditionnel::copie_perdue() {
    banc_pilote banc(midi_semaine);
    QVERIFY(banc.pret());
    banc.cx.en_ligne = true;
    banc.remplacer_chaines({{2, QStringLiteral("A"), QStringLiteral("/a#A.fr"), 1}});
    banc.serveur.definir(
        QStringLiteral("/a"),
        {200, "text/xml", flux_ab(dix_jours("A.fr") + dix_jours("B.fr")), {{"ETag", "\"v1\""}}, false, 0});
    const auto conditionnelle = [&] {
        return banc.serveur.entetes_recus(QStringLiteral("/a")).contains("if-none-match");
    };
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    donnees::base_programmes(banc.d.base())
        .ajouter_chaine({3, QStringLiteral("B"), banc.serveur.url("/a#B.fr"), 2});
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    QVERIFY(!conditionnelle());
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    QVERIFY(conditionnelle());
    executer_sql(banc.d.base(), "DELETE FROM semaine WHERE chaine = 3");
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    QVERIFY(!conditionnelle());
    // Channel 2 now shows another channel of the same document: its copy is not B's.
    executer_sql(banc.d.base(),
                 "UPDATE chaines SET adresse = replace(adresse, '#A.fr', '#B.fr') WHERE num_chaine = 2");
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    QVERIFY(!conditionnelle());
}

QTEST_GUILESS_MAIN(test_conditionnel)
#include "test_conditionnel.moc"
