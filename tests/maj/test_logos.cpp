// What runs without a window learn of channels from their feed on a local
// server: their logo from the icon it gives, their older ids, their name on air.
#include "donnees/base_logos.h"
#include "maj/maj_programmes.h"
#include "maj/recup.h"

#include "outils/banc_pilote.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <zlib.h>

using namespace zapo;
using namespace zapo::essais;

namespace {

QByteArray image(int l, int h, const char* format) {
    QImage i(l, h, QImage::Format_RGB32);
    i.fill(QColor(200, 30, 30));
    QByteArray o;
    QBuffer b(&o);
    b.open(QIODevice::WriteOnly);
    i.save(&b, format);
    return o;
}

// A valid little PNG whose header claims 30000 x 30000 pixels.
QByteArray bombe_png() {
    QByteArray o = image(1, 1, "PNG");
    // IHDR's data starts after the signature (8), length (4) and type (4).
    const auto ecrire32 = [&o](int pos, quint32 v) {
        for (int i = 0; i < 4; ++i)
            o[pos + i] = char((v >> (24 - 8 * i)) & 0xff);
    };
    ecrire32(16, 30000);
    ecrire32(20, 30000);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(o.constData() + 12), 17);
    ecrire32(29, quint32(crc));
    return o;
}

// One evening programme on `jour` (a feed with nothing for the day fails its channel).
QByteArray flux(const QString& icone, QDate jour = QDate(2026, 6, 12)) {
    const QByteArray balise = icone.isEmpty() ? QByteArray() : "<icon src=\"" + icone.toUtf8() + "\"/>";
    const QByteArray j = jour.toString(QStringLiteral("yyyyMMdd")).toLatin1();
    return "<?xml version=\"1.0\"?><tv><channel id=\"Une.fr\"><display-name>Une</display-name>" + balise +
           "</channel><programme start=\"" + j + "200000 +0200\" stop=\"" + j +
           "210000 +0200\" channel=\"Une.fr\"><title>Soir</title><icon "
           "src=\"http://127.0.0.1:1/pas-ici.png\"/></programme></tv>";
}

std::optional<donnees::logo_chaine> logo(const QString& base, int num) {
    donnees::base_programmes b(base);
    const auto l = donnees::lire_etats_logos(b);
    const auto it = l.find(num);
    return it == l.end() ? std::nullopt : std::optional(it->second);
}

QSize taille(const QByteArray& png) {
    return QImage::fromData(png, "PNG").size();
}

} // namespace

class test_logos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void logo_de_la_chaine_data();
    void logo_de_la_chaine();
    void requete_conditionnelle();
    void identifiants_jamais_envoyes_data();
    void identifiants_jamais_envoyes();
    void noms_et_anciens_ids_data();
    void noms_et_anciens_ids();
};

// icone: the feed's `icon src` ("@" stands for the server, "" none); the
// server answers /logo with `reponse` (status 0: a redirect to `corps`; -1: never).
void test_logos::logo_de_la_chaine_data() {
    QTest::addColumn<QString>("icone");
    QTest::addColumn<int>("statut");
    QTest::addColumn<QByteArray>("corps");
    QTest::addColumn<QSize>("garde"); // the stored picture's size; empty: none
    QTest::addColumn<int>("requetes");

    const QString srv = QStringLiteral("@/logo");
    QTest::newRow("PNG accepté, réduit") << srv << 200 << image(300, 200, "PNG") << QSize(144, 96) << 1;
    QTest::newRow("JPEG accepté") << srv << 200 << image(40, 30, "JPEG") << QSize(40, 30) << 1;
    QTest::newRow("trop gros") << srv << 200 << image(10, 10, "PNG") + QByteArray(300 * 1024, '\0') << QSize()
                               << 1;
    QTest::newRow("pas une image") << srv << 200 << QByteArray("<html><body>logo</body></html>") << QSize()
                                   << 1;
    QTest::newRow("SVG refusé") << srv << 200
                                << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                                              "height=\"10\"><rect width=\"10\" height=\"10\"/></svg>")
                                << QSize() << 1;
    QTest::newRow("bombe de décompression") << srv << 200 << bombe_png() << QSize() << 1;
    QTest::newRow("redirection vers file:") << srv << 0 << QByteArray("file:///etc/hostname") << QSize() << 1;
    QTest::newRow("serveur muet") << srv << -1 << QByteArray() << QSize() << 1;
    QTest::newRow("404") << QStringLiteral("@/absent") << 200 << QByteArray() << QSize() << 0;
    QTest::newRow("adresse file:") << QStringLiteral("file:///etc/hostname") << 200 << QByteArray() << QSize()
                                   << 0;
    QTest::newRow("aucune icône") << QString() << 200 << image(48, 35, "PNG") << QSize() << 0;
}

void test_logos::logo_de_la_chaine() {
    QFETCH(QString, icone);
    QFETCH(int, statut);
    QFETCH(QByteArray, corps);
    QFETCH(QSize, garde);
    QFETCH(int, requetes);
    banc_pilote b;
    QVERIFY(b.pret());
    if (statut == 0)
        b.serveur.rediriger(QStringLiteral("/logo"), QString::fromUtf8(corps));
    else
        b.serveur.definir(QStringLiteral("/logo"), {statut, "image/png", corps, {}, statut < 0, 0});
    icone.replace(QLatin1Char('@'), b.serveur.url(QString()));
    b.serveur.definir_page(QStringLiteral("/flux.xml"), flux(icone), "application/xml");
    b.remplacer_chaines({{2, QStringLiteral("Une"), QStringLiteral("/flux.xml#Une.fr")}});

    QStringList cours;
    // A logo refused never costs the run its programmes.
    QCOMPARE(b.lancer(&cours, 1000), maj::fin_maj::complete);
    QCOMPARE(lire_liste(b.d.base()).size(), size_t(1));
    QCOMPARE(b.serveur.nb_requetes(QStringLiteral("/logo")), requetes);
    QCOMPARE(cours.contains(QStringLiteral("Récupération des logos")), !icone.isEmpty());

    const auto l = logo(b.d.base(), 2);
    QCOMPARE(l.has_value(), !icone.isEmpty());
    if (l) {
        QCOMPARE(l->reussi, garde.isValid());
        QCOMPARE(l->image.isEmpty(), !garde.isValid());
        if (garde.isValid())
            QCOMPARE(taille(l->image), garde);
    }
    donnees::base_programmes base(b.d.base());
    QCOMPARE(donnees::lire_logos(base).contains(2), garde.isValid());
}

// A logo's server asking for a password gets none: neither the one its address
// carries (it came from the feed) nor the one the channel's own address gives.
void test_logos::identifiants_jamais_envoyes_data() {
    QTest::addColumn<QString>("flux"); // "@": 127.0.0.1 and the server's port
    QTest::addColumn<QString>("icone");
    QTest::newRow("dans l'adresse du logo")
        << QStringLiteral("http://@/flux.xml#Une.fr") << QStringLiteral("http://ami:secret@@/logo");
    QTest::newRow("dans l'adresse du flux")
        << QStringLiteral("http://ami:secret@@/flux.xml#Une.fr") << QStringLiteral("http://@/logo");
}

void test_logos::identifiants_jamais_envoyes() {
    QFETCH(QString, flux);
    QFETCH(QString, icone);
    banc_pilote b;
    QVERIFY(b.pret());
    const QString hote = QStringLiteral("127.0.0.1:%1").arg(b.serveur.port());
    flux.replace(QLatin1Char('@') + QStringLiteral("/"), hote + QStringLiteral("/"));
    icone.replace(QLatin1Char('@') + QStringLiteral("/"), hote + QStringLiteral("/"));
    b.serveur.definir(
        QStringLiteral("/logo"),
        {401, "text/html", "identifiez-vous", {{"WWW-Authenticate", "Basic realm=\"logos\""}}, false, 0});
    b.serveur.definir_page(QStringLiteral("/flux.xml"), ::flux(icone), "application/xml");
    // Set by hand: remplacer_chaines takes a path on the server.
    executer_sql(b.d.base(), "DELETE FROM chaines");
    donnees::base_programmes(b.d.base()).ajouter_chaine({2, QStringLiteral("Une"), flux, 1});

    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QVERIFY(b.serveur.nb_requetes(QStringLiteral("/logo")) >= 1);
    QVERIFY2(!b.serveur.entetes_recus(QStringLiteral("/logo")).contains("authorization"),
             b.serveur.entetes_recus(QStringLiteral("/logo")).value("authorization").constData());
    const auto l = logo(b.d.base(), 2);
    QVERIFY(l && !l->reussi);
}

// Asked again only after a week, with the validators of the copy held; a 304
// keeps it, a new picture replaces it, a feed without icon brings the badge back.
void test_logos::requete_conditionnelle() {
    banc_pilote b;
    QVERIFY(b.pret());
    const QString chemin = QStringLiteral("/logo");
    const QByteArray date = "Mon, 01 Jun 2026 10:00:00 GMT";
    b.serveur.definir(
        chemin,
        {200, "image/png", image(48, 35, "PNG"), {{"ETag", "\"v1\""}, {"Last-Modified", date}}, false, 0});
    b.serveur.definir_page(QStringLiteral("/flux.xml"), flux(b.serveur.url(chemin)), "application/xml");
    b.remplacer_chaines({{2, QStringLiteral("Une"), QStringLiteral("/flux.xml#Une.fr")},
                         {3, QStringLiteral("Deux"), QStringLiteral("/flux.xml#Une.fr")}});

    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QCOMPARE(b.serveur.nb_requetes(chemin), 1); // one picture for both channels
    const auto premier = logo(b.d.base(), 2);
    QVERIFY(premier && premier->reussi);
    QCOMPARE(premier->etag, QByteArray("\"v1\""));
    QCOMPARE(logo(b.d.base(), 3)->image, premier->image);

    // The clock moves on, and so does the feed.
    const auto avancer = [&](int jours, const QString& icone) {
        b.h.avancer(jours * 24 * 3600);
        b.serveur.definir_page(QStringLiteral("/flux.xml"), flux(icone, b.h.maintenant().date()),
                               "application/xml");
    };
    avancer(6, b.serveur.url(chemin));
    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QCOMPARE(b.serveur.nb_requetes(chemin), 1); // not within the week

    avancer(2, b.serveur.url(chemin));
    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QCOMPARE(b.serveur.nb_requetes(chemin), 2);
    QCOMPARE(b.serveur.entetes_recus(chemin).value("if-none-match"), QByteArray("\"v1\""));
    QCOMPARE(b.serveur.entetes_recus(chemin).value("if-modified-since"), date);
    QCOMPARE(b.serveur.nb_inchangees(chemin), 1);
    const auto garde = logo(b.d.base(), 2);
    QCOMPARE(garde->image, premier->image);
    QVERIFY(garde->reussi);
    QVERIFY(garde->verifie.secondes() > premier->verifie.secondes());

    b.serveur.definir(chemin, {200, "image/png", image(60, 60, "PNG"), {{"ETag", "\"v2\""}}, false, 0});
    avancer(8, b.serveur.url(chemin));
    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QCOMPARE(b.serveur.nb_inchangees(chemin), 1);
    QCOMPARE(taille(logo(b.d.base(), 2)->image), QSize(60, 60));
    QCOMPARE(logo(b.d.base(), 2)->etag, QByteArray("\"v2\""));

    avancer(0, QString());
    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QVERIFY(!logo(b.d.base(), 2));
}

// A channel stored under an older id or name (the catalogue before 2026) is
// still found, and shows its name on air unless the user named it.
void test_logos::noms_et_anciens_ids_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("apres");
    QTest::newRow("renommée à l'antenne") << "Chérie 25"
                                          << "Cherie25.fr"
                                          << "RMC Life";
    QTest::newRow("ancien identifiant et nom") << "L'Équipe"
                                               << "LEquipe.fr"
                                               << "La chaine l’Équipe";
    QTest::newRow("nommée par l'utilisateur") << "Mon sport"
                                              << "LEquipe.fr"
                                              << "Mon sport";
    QTest::newRow("ancien identifiant, même nom") << "TFX"
                                                  << "TFX.fr"
                                                  << "TFX";
    QTest::newRow("sans alias") << "Arte"
                                << "Arte.fr"
                                << "Arte";
}

void test_logos::noms_et_anciens_ids() {
    QFETCH(QString, nom);
    QFETCH(QString, id);
    QFETCH(QString, apres);
    banc_pilote b;
    QVERIFY(b.pret());
    QByteArray doc = "<?xml version=\"1.0\"?><tv>";
    for (const auto& [i, n] : {std::pair{"Cherie25.fr", "RMC Life"}, std::pair{"LEquipe21.fr", "L'ÉQUIPE"},
                               std::pair{"NT1.fr", "TFX"}, std::pair{"Arte.fr", "Arte"}})
        doc += QByteArray("<channel id=\"") + i + "\"><display-name>" + n + "</display-name></channel>" +
               "<programme start=\"20260612200000 +0200\" channel=\"" + i + "\"><title>" + i +
               "</title></programme>";
    b.serveur.definir_page(QStringLiteral("/flux.xml"), doc + "</tv>", "application/xml");
    b.remplacer_chaines({{2, nom, QStringLiteral("/flux.xml#") + id}});
    QCOMPARE(b.lancer(nullptr, 1000), maj::fin_maj::complete);
    QCOMPARE(lire_liste(b.d.base()).size(), size_t(1));
    QCOMPARE(donnees::base_programmes(b.d.base()).lire_chaines().front().nom, apres);
}

QTEST_GUILESS_MAIN(test_logos)
#include "test_logos.moc"
