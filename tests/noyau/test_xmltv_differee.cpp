// A feed read from a file with its channels set aside on disk gives exactly what
// the reading in memory gives, however the feed lays its programmes out.
#include "noyau/xmltv.h"

#include <QBuffer>
#include <QDateTime>
#include <QTemporaryFile>
#include <QTest>

using namespace zapo;

namespace {

const QDateTime lundi(QDate(2026, 12, 7), QTime(0, 0));

// The n-th programme of a channel: every 10 minutes from 00:00 today (the
// week's end passes after 1,152 of them), a stop on odd ones, a description.
QByteArray programme(const QByteArray& chaine, int n) {
    const QByteArray debut = lundi.addSecs(600LL * n).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    const QByteArray fin =
        lundi.addSecs(600LL * n + 300).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    return "<programme start=\"" + debut + " +0100\"" + (n % 2 ? " stop=\"" + fin + " +0100\"" : "") +
           " channel=\"" + chaine + "\"><title>" + chaine + " " + QByteArray::number(n) +
           "</title><desc>Résumé " + QByteArray::number(n) + "</desc></programme>";
}

QByteArray suite(const QByteArray& chaine, int de, int a) {
    QByteArray r;
    for (int n = de; n < a; ++n)
        r += programme(chaine, n);
    return r;
}

QByteArray document(const QByteArray& programmes) {
    return "<tv><channel id=\"A.fr\"><display-name>Une</display-name><icon src=\"a.png\"/></channel>"
           "<channel id=\"B.fr\"><display-name>Deux</display-name></channel>"
           "<channel id=\"C.fr\"><display-name>Trois</display-name></channel>" +
           programmes + "</tv>";
}

} // namespace

class test_xmltv_differee : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void comme_en_memoire_data() {
        QTest::addColumn<QByteArray>("doc");
        QByteArray alterne;
        for (int n = 0; n < 40; ++n)
            alterne += programme("A.fr", n) + programme("B.fr", n) + programme("C.fr", n);
        QTest::newRow("groupé") << document(suite("A.fr", 0, 40) + suite("B.fr", 0, 40) +
                                            suite("C.fr", 0, 9));
        QTest::newRow("entrelacé") << document(alterne);
        QTest::newRow("une chaîne en deux morceaux")
            << document(suite("A.fr", 20, 40) + suite("B.fr", 0, 40) + suite("A.fr", 0, 20));
        // More than the week's 1,500 in two pieces, and days after the week.
        QTest::newRow("plafond sur deux morceaux")
            << document(suite("A.fr", 900, 1700) + suite("B.fr", 0, 3) + suite("A.fr", 0, 900));
        QTest::newRow("au-delà de la semaine") << document(suite("A.fr", 1100, 1200) + suite("B.fr", 0, 3));
        QTest::newRow("rien pour une chaîne") << document(suite("A.fr", 0, 5));
        QTest::newRow("mal formé après la première chaîne")
            << document(suite("A.fr", 0, 40) + "<programme channel=\"B.fr\"><title>x</titre></programme>");
        QTest::newRow("coupé") << document(suite("A.fr", 0, 40) + suite("B.fr", 0, 40)).chopped(200);
    }
    void comme_en_memoire() {
        QFETCH(QByteArray, doc);
        const date_heure maintenant = date_heure::depuis_qdatetime(lundi.addSecs(14 * 3600));
        // By id, by id ignoring case, by display-name.
        const std::vector<chaine_voulue> voulues{{QStringLiteral("A.fr"), {}},
                                                 {QStringLiteral("b.FR"), {}},
                                                 {QStringLiteral("Trois.fr"), QStringLiteral("trois")}};
        const lecture_xmltv attendu = lire_xmltv(doc, maintenant, voulues);

        QBuffer fichier(&doc);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        QTemporaryFile debord;
        QVERIFY(debord.open());
        const lecture_xmltv_differee l(fichier, debord, maintenant, voulues);
        const lecture_xmltv& e = l.entete();
        QCOMPARE(e.ok, attendu.ok);
        QCOMPARE(e.erreur, attendu.erreur);
        QCOMPARE(e.chaines, attendu.chaines);
        QCOMPARE(e.correspondances, attendu.correspondances);
        QCOMPARE(e.icones, attendu.icones);
        QVERIFY(e.programmes.isEmpty() && e.semaine.isEmpty());
        for (const chaine_voulue& v : voulues) {
            const lecture_xmltv_differee::chaine_lue c = l.extraire(v.id);
            QVERIFY(c.programmes == attendu.programmes.value(v.id));
            QVERIFY(c.semaine == attendu.semaine.value(v.id));
            QCOMPARE(c.au_dela, attendu.au_dela.contains(v.id));
            // Asked again (two channels of the base on one id), the same.
            QVERIFY(l.extraire(v.id).semaine == c.semaine);
        }
    }
};

QTEST_GUILESS_MAIN(test_xmltv_differee)
#include "test_xmltv_differee.moc"
