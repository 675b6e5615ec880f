#include "maj/recup.h"
#include "outils/compression.h"
#include "outils/horloge_fixe.h"
#include "outils/serveur_http.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <tuple>

using namespace zapo;
using essais::serveur_http;

namespace {

const QString accents = QStringLiteral("Télématin");
const QString oeuvre = QStringLiteral("L'œuvre à 5 €");

QByteArray page(QByteArrayView avant, const QByteArray& titre1, const QByteArray& titre2) {
    return avant.toByteArray() + "<table><tr><td>06h30</td><td>" + titre1 +
           "</td></tr>\r\n<tr><td>10h00</td><td>" + titre2 + "</td></tr></table>";
}

} // namespace

class test_recup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void page_recue_data();
    void page_recue();
    void echecs_data();
    void echecs();
    void serveur_muet_et_evenements();
    void interruption();

private:
    serveur_http serveur_;
    const horloge_fixe horloge_{QDateTime(QDate(2026, 6, 12), QTime(14, 0))};
};

void test_recup::initTestCase() {
    QVERIFY(serveur_.demarrer());
    const QByteArray utf8 = page("", accents.toUtf8(), oeuvre.toUtf8());
    const QByteArray cp1252 = page("", "T\xE9l\xE9matin", "L'\x9Cuvre \xE0 5 \x80");
    serveur_.definir_page("/utf8", utf8, "text/html; charset=utf-8");
    serveur_.definir_page("/utf8-nu", utf8, "text/html");
    serveur_.definir_page("/latin1", cp1252, "text/html; charset=ISO-8859-1");
    serveur_.definir_page(
        "/latin1-meta",
        page("<head><meta charset=\"iso-8859-1\"></head>", "T\xE9l\xE9matin", "L'\x9Cuvre \xE0 5 \x80"),
        "text/html");
    serveur_.definir_page("/cp1252", cp1252, "text/html; charset=windows-1252");
    serveur_.definir_page("/cp1252-nu", cp1252, "text/html");
    serveur_.definir_page("/sans-type", cp1252, "");
    serveur_.rediriger("/ancienne", serveur_.url("/utf8"));
    serveur_.rediriger("/boucle", serveur_.url("/boucle"));
    serveur_.definir_page("/vide", "");
    serveur_.definir_page("/sans-heure", "<html><body>Rien ce soir</body></html>");
    serveur_http::reponse erreur;
    erreur.statut = 500;
    erreur.corps = page("", "A", "B");
    serveur_.definir("/erreur", erreur);
    // 100 MiB once inflated by the transfer itself, a tenth of a megabyte on the wire.
    serveur_http::reponse bombe;
    bombe.corps = essais::compresser_gzip(QByteArray(100 * 1024 * 1024, ' '));
    bombe.entetes.append({QByteArray("Content-Encoding"), QByteArray("gzip")});
    serveur_.definir("/bombe", bombe);
    // Expanded as it arrives, in pieces: whole, cut, or a coding nobody asked for.
    for (const auto& [chemin, corps, codage] :
         {std::tuple{"/gzip", essais::compresser_gzip(utf8), QByteArray("gzip")},
          std::tuple{"/gzip-coupe", essais::compresser_gzip(utf8).chopped(10), QByteArray("gzip")},
          std::tuple{"/br", utf8, QByteArray("br")}}) {
        serveur_http::reponse r;
        r.type_contenu = "text/html; charset=utf-8";
        r.corps = corps;
        r.entetes.append({QByteArray("Content-Encoding"), codage});
        serveur_.definir(QString::fromLatin1(chemin), r);
    }
    serveur_http::reponse muet;
    muet.muet = true;
    serveur_.definir("/muet", muet);
}

void test_recup::page_recue_data() {
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QStringList>("titres");
    const QStringList les_deux{accents, oeuvre};
    QTest::newRow("utf-8 annoncé") << "/utf8" << les_deux;
    QTest::newRow("utf-8 sans charset") << "/utf8-nu" << les_deux;
    QTest::newRow("latin-1 annoncé") << "/latin1" << les_deux;
    QTest::newRow("latin-1 par meta") << "/latin1-meta" << les_deux;
    QTest::newRow("windows-1252 annoncé") << "/cp1252" << les_deux;
    QTest::newRow("windows-1252 sans charset") << "/cp1252-nu" << les_deux;
    QTest::newRow("sans Content-Type") << "/sans-type" << les_deux;
    QTest::newRow("redirection") << "/ancienne" << les_deux;
    QTest::newRow("Content-Encoding gzip") << "/gzip" << les_deux;
}

void test_recup::page_recue() {
    QFETCH(QString, chemin);
    QFETCH(QStringList, titres);
    maj::recuperateur r(horloge_);
    QList<int> progres;
    r.definir_progression([&](int v) { progres << v; });
    QVERIFY(r.recup_programmes(serveur_.url(chemin)));
    QCOMPARE(progres, QList<int>{80});
    QStringList lus;
    for (const auto& f : r.programmes_lus())
        lus << f.programme;
    QCOMPARE(lus, titres);
    QCOMPARE(r.nb_programmes(), int(titres.size()));
    QVERIFY(r.derniere_erreur().isEmpty());
}

// raison: the health's French reason, when the case has one of its own.
void test_recup::echecs_data() {
    QTest::addColumn<QString>("adresse");
    QTest::addColumn<QString>("raison");
    QTest::newRow("404") << serveur_.url("/absente") << QStringLiteral("Le serveur a répondu 404.");
    QTest::newRow("500 avec une page") << serveur_.url("/erreur") << QString();
    QTest::newRow("page vide") << serveur_.url("/vide") << QStringLiteral("La page est vide.");
    QTest::newRow("page sans programme")
        << serveur_.url("/sans-heure") << QStringLiteral("La réponse n'est pas un programme XMLTV.");
    QTest::newRow("bombe gzip par Content-Encoding")
        << serveur_.url("/bombe") << QStringLiteral("Le document décompressé dépasse 64 Mo.");
    QTest::newRow("gzip coupé par Content-Encoding")
        << serveur_.url("/gzip-coupe") << QStringLiteral("Le document compressé est endommagé.");
    QTest::newRow("codage inconnu") << serveur_.url("/br")
                                    << QStringLiteral("Compression non prise en charge : br.");
    QTest::newRow("redirection sans fin") << serveur_.url("/boucle") << QString();
    QTest::newRow("pas une adresse web") << "file:///etc/passwd" << QString();
    QTest::newRow("adresse vide") << "" << QString();
    QTcpServer ferme;
    QVERIFY(ferme.listen(QHostAddress::LocalHost));
    const quint16 port = ferme.serverPort();
    ferme.close();
    QTest::newRow("connexion refusée") << QStringLiteral("http://127.0.0.1:%1/").arg(port) << QString();
}

void test_recup::echecs() {
    QFETCH(QString, adresse);
    QFETCH(QString, raison);
    maj::recuperateur r(horloge_);
    bool progression = false;
    r.definir_progression([&](int) { progression = true; });
    // A previous channel's programmes must not survive a failed fetch.
    QVERIFY(r.recup_programmes(serveur_.url("/utf8")));
    progression = false;
    QVERIFY(!r.recup_programmes(adresse));
    QCOMPARE(r.nb_programmes(), 0);
    QVERIFY(!progression);
    QVERIFY(!r.derniere_erreur().isEmpty());
    if (!raison.isEmpty())
        QCOMPARE(r.derniere_erreur(), raison);
}

void test_recup::serveur_muet_et_evenements() {
    maj::recuperateur r(horloge_);
    r.definir_delai(400);
    // A timer set before the fetch must fire during the wait, as "Annuler" would.
    bool minuterie = false;
    QTimer::singleShot(50, [&] { minuterie = true; });
    QElapsedTimer t;
    t.start();
    QVERIFY(!r.recup_programmes(serveur_.url("/muet")));
    QVERIFY(minuterie);
    QVERIFY2(t.elapsed() >= 350 && t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    // The next channel is fetched normally afterwards.
    QVERIFY(r.recup_programmes(serveur_.url("/utf8")));
    QCOMPARE(r.nb_programmes(), 2);
}

void test_recup::interruption() {
    maj::recuperateur r(horloge_);
    QTimer::singleShot(50, [&] { r.interrompre(); });
    QElapsedTimer t;
    t.start();
    QVERIFY(!r.recup_programmes(serveur_.url("/muet")));
    QVERIFY(t.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(test_recup)
#include "test_recup.moc"
