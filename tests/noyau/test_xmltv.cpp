#include "noyau/xmltv.h"
#include "plateforme/gzip.h"

#include <QRegularExpression>
#include <QTest>

#include "outils/compression.h"

using namespace zapo;

namespace {

QDateTime local(int a, int mo, int j, int h, int mi) {
    return QDateTime(QDate(a, mo, j), QTime(h, mi));
}
date_heure dh(int a, int mo, int j, int h, int mi) {
    return date_heure::depuis_qdatetime(local(a, mo, j, h, mi));
}

// A small feed of our own: three channels.
const QByteArray feed = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tv SYSTEM "xmltv.dtd">
<tv generator-info-name="essai">
  <channel id="Une.fr"><display-name>La Une</display-name></channel>
  <channel id="Deux.fr"><display-name>La Deux</display-name></channel>
  <channel id="Trois.fr"><display-name>La Trois</display-name></channel>
  <programme start="20261207064500 +0100" stop="20261207093000 +0100" channel="Une.fr">
    <title lang="fr">T&#233;l&#233;matin</title>
  </programme>
  <programme start="20261207204500 +0100" stop="20261207223000 +0100" channel="Une.fr">
    <title lang="en">The work</title><title lang="fr">L'œuvre &amp; les jours</title><desc>…</desc>
  </programme>
  <programme start="20261207223000 +0100" channel="Une.fr"><title>Sans fin indiquée</title></programme>
  <programme start="20261207233000 +0100" channel="Une.fr"><title>Dernier</title></programme>
  <programme start="20261206203000 +0100" stop="20261206220000 +0100" channel="Une.fr"><title>Hier</title></programme>
  <programme start="20261208100000 +0100" stop="20261208110000 +0100" channel="Une.fr"><title>Trop tard</title></programme>
  <programme start="20261207190000 +0000" stop="20261207200000 +0000" channel="Deux.fr"><title lang="de">Nur deutsch</title></programme>
  <programme start="20261207200000 +0100" stop="20261207210000 +0100" channel="Deux.fr"><title lang="en">5 € à gagner</title></programme>
  <programme start="20261207210000 +0100" channel="Trois.fr"><title>Seul</title></programme>
</tv>
)";

} // namespace

class test_xmltv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reconnaissance_data() {
        QTest::addColumn<QByteArray>("texte");
        QTest::addColumn<bool>("xmltv");
        QTest::newRow("flux") << feed << true;
        QTest::newRow("racine seule") << QByteArray("<tv/>") << true;
        QTest::newRow("page html") << QByteArray("<html><body><td>20h50</td></body></html>") << false;
        QTest::newRow("autre racine") << QByteArray("<?xml version='1.0'?><rss><tv/></rss>") << false;
        QTest::newRow("texte") << QByteArray("bonjour") << false;
        QTest::newRow("vide") << QByteArray() << false;
    }
    void reconnaissance() {
        QFETCH(QByteArray, texte);
        QFETCH(bool, xmltv);
        QCOMPARE(est_xmltv(texte), xmltv);
    }

    void lecture_d_un_flux() {
        const auto l = lire_xmltv(feed, dh(2026, 12, 7, 14, 0));
        QVERIFY2(l.ok, qPrintable(l.erreur));
        QCOMPARE(l.chaines, (QSet<QString>{QStringLiteral("Une.fr"), QStringLiteral("Deux.fr"),
                                           QStringLiteral("Trois.fr")}));
        const auto& une = l.programmes.value(QStringLiteral("Une.fr"));
        QCOMPARE(une.size(), size_t(4)); // yesterday and tomorrow 10:00 left out
        QCOMPARE(une[0].programme, QStringLiteral("Télématin"));
        QCOMPARE(une[0].hdeb, dh(2026, 12, 7, 6, 45));
        QCOMPARE(une[0].hfin, dh(2026, 12, 7, 9, 30));
        QCOMPARE(une[0].duree, date_heure::duree_hm(2, 45));
        QCOMPARE(une[1].programme, QStringLiteral("L'œuvre & les jours")); // French title chosen
        QCOMPARE(une[2].programme, QStringLiteral("Sans fin indiquée"));
        QCOMPARE(une[2].hfin, dh(2026, 12, 7, 23, 30)); // ends where the next starts
        QCOMPARE(une[3].hfin, dh(2026, 12, 8, 10, 0));  // the next one in the feed, even if not kept
        const auto& deux = l.programmes.value(QStringLiteral("Deux.fr"));
        QCOMPARE(deux.size(), size_t(2));
        QCOMPARE(deux[0].programme, QStringLiteral("Nur deutsch")); // no French title: the first
        QCOMPARE(deux[0].hdeb, dh(2026, 12, 7, 20, 0));             // 19:00 UTC is 20:00 in Paris
        QCOMPARE(deux[1].programme, QStringLiteral("5 € à gagner"));
        const auto& trois = l.programmes.value(QStringLiteral("Trois.fr"));
        QCOMPARE(trois.size(), size_t(1));
        QCOMPARE(trois[0].hfin, dh(2026, 12, 7, 22, 0)); // nothing after it: one hour
        QCOMPARE(trois[0].duree, une_heure);
    }

    void documents_refuses_data() {
        QTest::addColumn<QByteArray>("texte");
        QTest::newRow("tronqué") << feed.left(feed.size() / 2);
        QTest::newRow("mal formé") << QByteArray(
            "<tv><programme start='1' channel='a'><title>x</programme></tv>");
        QTest::newRow("entité inconnue") << QByteArray(
            "<tv><programme start='20261207200000' channel='a'><title>&eacute;</title></programme></tv>");
        QTest::newRow("autre racine") << QByteArray("<html/>");
        QTest::newRow("vide") << QByteArray();
    }
    void documents_refuses() {
        QFETCH(QByteArray, texte);
        const auto l = lire_xmltv(texte, dh(2026, 12, 7, 14, 0));
        QVERIFY(!l.ok);
        QVERIFY(!l.erreur.isEmpty());
    }

    void heures_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("utc");
        QTest::newRow("plus une") << "20261207204500 +0100" << true
                                  << QDateTime(QDate(2026, 12, 7), QTime(19, 45), Qt::UTC).toSecsSinceEpoch();
        QTest::newRow("moins cinq")
            << "20261207204500 -0500" << true
            << QDateTime(QDate(2026, 12, 8), QTime(1, 45), Qt::UTC).toSecsSinceEpoch();
        QTest::newRow("sans secondes")
            << "202612072045 +0000" << true
            << QDateTime(QDate(2026, 12, 7), QTime(20, 45), Qt::UTC).toSecsSinceEpoch();
        QTest::newRow("heure locale")
            << "20260707120000" << true
            << QDateTime(QDate(2026, 7, 7), QTime(10, 0), Qt::UTC).toSecsSinceEpoch();
        QTest::newRow("mois 13") << "20261307120000 +0100" << false << qint64(0);
        QTest::newRow("décalage faux") << "20261207120000 +01" << false << qint64(0);
        QTest::newRow("lettres") << "2026120712h000 +0100" << false << qint64(0);
    }
    void heures() {
        QFETCH(QString, texte);
        QFETCH(bool, ok);
        QFETCH(qint64, utc);
        qint64 lu = 0;
        QCOMPARE(lire_heure_xmltv(texte, lu), ok);
        if (ok)
            QCOMPARE(lu, utc);
    }

    // TZ=Europe/Paris is set for every test.
    void changements_d_heure_data() {
        QTest::addColumn<QByteArray>("debut");
        QTest::addColumn<QByteArray>("fin");
        QTest::addColumn<QDateTime>("maintenant");
        QTest::addColumn<QDateTime>("hdeb");
        QTest::addColumn<QDateTime>("hfin");
        QTest::addColumn<int>("minutes");
        QTest::newRow("printemps") << QByteArray("20270328013000 +0100") << QByteArray("20270328033000 +0200")
                                   << local(2027, 3, 28, 8, 0) << local(2027, 3, 28, 1, 30)
                                   << local(2027, 3, 28, 3, 30) << 60;
        QTest::newRow("automne") << QByteArray("20261025013000 +0200") << QByteArray("20261025023000 +0100")
                                 << local(2026, 10, 25, 8, 0) << local(2026, 10, 25, 1, 30)
                                 << local(2026, 10, 25, 2, 30) << 120;
        QTest::newRow("été") << QByteArray("20260707203000 +0200") << QByteArray("20260707211500 +0200")
                             << local(2026, 7, 7, 8, 0) << local(2026, 7, 7, 20, 30)
                             << local(2026, 7, 7, 21, 15) << 45;
    }
    void changements_d_heure() {
        QFETCH(QByteArray, debut);
        QFETCH(QByteArray, fin);
        QFETCH(QDateTime, maintenant);
        QFETCH(QDateTime, hdeb);
        QFETCH(QDateTime, hfin);
        QFETCH(int, minutes);
        const QByteArray doc = "<tv><programme start=\"" + debut + "\" stop=\"" + fin +
                               "\" channel=\"c\"><title>x</title></programme></tv>";
        const auto l = lire_xmltv(doc, date_heure::depuis_qdatetime(maintenant));
        QVERIFY(l.ok);
        const auto& p = l.programmes.value(QStringLiteral("c"));
        QCOMPARE(p.size(), size_t(1));
        QCOMPARE(p[0].hdeb, date_heure::depuis_qdatetime(hdeb));
        QCOMPARE(p[0].hfin, date_heure::depuis_qdatetime(hfin));
        QCOMPARE(p[0].duree, date_heure::duree_hm(0, minutes));
    }

    void au_plus_cent_dans_l_ordre() {
        QByteArray doc = "<tv>";
        // 150 programmes of ten minutes from 00:00, written in reverse order.
        for (int i = 149; i >= 0; --i) {
            const QDateTime t = local(2026, 12, 7, 0, 0).addSecs(i * 600);
            doc += "<programme start=\"" + t.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                   " +0100\" channel=\"c\"><title>" + QByteArray::number(i) + "</title></programme>";
        }
        doc += "</tv>";
        const auto l = lire_xmltv(doc, dh(2026, 12, 7, 12, 0));
        const auto& p = l.programmes.value(QStringLiteral("c"));
        QCOMPARE(p.size(), size_t(100));
        for (int i = 0; i < 100; ++i)
            QCOMPARE(p[size_t(i)].programme, QString::number(i));
        QCOMPARE(p[99].hfin, p[99].hdeb + date_heure::duree_hm(0, 10)); // the 101st still bounds it
    }

    // What a feed's texts become once stored: never a control character but tab and line feed.
    void textes_stockes_data() {
        QTest::addColumn<QByteArray>("prologue");
        QTest::addColumn<QByteArray>("titre");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("titre_lu");
        QTest::addColumn<QString>("description_lu");
        const QByteArray latin1 = "<?xml version='1.0' encoding='ISO-8859-1'?>";
        QTest::newRow("latin-1 annoncé, octets windows-1252")
            << latin1 << QByteArray("L\x92\xE9t\xE9 \x85 5 \x80") << QByteArray("Vu \x81\x9D ici")
            << QStringLiteral("L’été … 5 €") << QStringLiteral("Vu  ici");
        QTest::newRow("utf-8 avec des C1")
            << QByteArray("<?xml version='1.0' encoding='UTF-8'?>")
            << QByteArray("L\xC2\x92\xC3\xA9t\xC3\xA9") << QByteArray("a\xC2\x85") << QStringLiteral("L’été")
            << QStringLiteral("a…");
        QTest::newRow("retour chariot et contrôles")
            << QByteArray() << QByteArray("Un&#13;Deux&#13;&#10;Trois&#9;&#x7F;")
            << QByteArray("a&#13;&#10;b") << QStringLiteral("Un Deux\nTrois\t") << QStringLiteral("a\nb");
        // Overrides, embeddings and isolates go; the direction marks are kept like letters.
        QTest::newRow("bidirectionnels") << QByteArray()
                                         << QByteArray("Journal \xE2\x80\xAE"
                                                       "fdp.exe&#x202C;")
                                         << QByteArray("&#x2066;a&#x2069;&#x202A;b&#x200F;")
                                         << QStringLiteral("Journal fdp.exe") << QStringLiteral("ab\u200F");
    }
    void textes_stockes() {
        QFETCH(QByteArray, prologue);
        QFETCH(QByteArray, titre);
        QFETCH(QByteArray, description);
        QFETCH(QString, titre_lu);
        QFETCH(QString, description_lu);
        const QByteArray doc = prologue + "<tv><programme start='20261207200000 +0100' channel='c'><title>" +
                               titre + "</title><desc>" + description + "</desc></programme></tv>";
        const auto l = lire_xmltv(doc, dh(2026, 12, 7, 12, 0));
        QVERIFY2(l.ok, qPrintable(l.erreur));
        const auto& p = l.programmes.value(QStringLiteral("c"));
        QCOMPARE(p.size(), size_t(1));
        QCOMPARE(p[0].programme, titre_lu);
        QCOMPARE(p[0].details.description, description_lu);
    }

    void identifiants_exportes_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("exporte");
        QTest::newRow("valide") << QStringLiteral("France2.fr") << QStringLiteral("France2.fr");
        QTest::newRow("tirets") << QStringLiteral("-a-.b-c") << QStringLiteral("-a-.b-c");
        QTest::newRow("blancs") << QStringLiteral("France 2.fr") << QStringLiteral("France-2.fr");
        QTest::newRow("guillemets") << QStringLiteral("\"TF1\" 'HD'.fr") << QStringLiteral("TF1-HD.fr");
        QTest::newRow("accents, une étiquette")
            << QStringLiteral("Télé Une") << QStringLiteral("Tele-Une.zapo-tv");
        QTest::newRow("points vides") << QStringLiteral(".a..b.") << QStringLiteral("a.b");
        QTest::newRow("rien d'utilisable") << QStringLiteral("« » .") << QStringLiteral("7.zapo-tv");
    }
    void identifiants_exportes() {
        QFETCH(QString, id);
        QFETCH(QString, exporte);
        QCOMPARE(identifiant_xmltv_valide(id, 7), exporte);
        static const QRegularExpression accepte(QStringLiteral("^[-a-zA-Z0-9]+(\\.[-a-zA-Z0-9]+)+$"));
        QVERIFY(accepte.match(identifiant_xmltv_valide(id, 7)).hasMatch());
    }

    void gzip_data() {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<bool>("ok");
        QTest::newRow("flux compressé") << essais::compresser_gzip(feed) << true;
        QTest::newRow("coupé") << essais::compresser_gzip(feed).left(60) << false;
        QTest::newRow("abîmé") << [] {
            QByteArray g = essais::compresser_gzip(feed);
            g[30] = char(g[30] ^ 0x55);
            g[31] = char(g[31] ^ 0x55);
            return g;
        }() << false;
    }
    void gzip() {
        QFETCH(QByteArray, octets);
        QFETCH(bool, ok);
        QVERIFY(plateforme::est_gzip(octets));
        QByteArray sortie;
        QCOMPARE(plateforme::decompresser_gzip(octets, sortie), ok);
        if (ok)
            QCOMPARE(sortie, feed);
        QVERIFY(!plateforme::decompresser_gzip(essais::compresser_gzip(QByteArray(4096, 'a')), sortie,
                                               100)); // bomb guard
    }
};

QTEST_APPLESS_MAIN(test_xmltv)
#include "test_xmltv.moc"
