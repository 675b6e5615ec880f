// Update runs whose channels point at an XMLTV feed served on 127.0.0.1, without a window.
#include "outils/banc_pilote.h"

#include <QTest>

#include "outils/base_essai.h"
#include "outils/compression.h"

using namespace zapo;
using namespace zapo::essais;

namespace {

const QByteArray flux = R"(<?xml version="1.0" encoding="UTF-8"?>
<tv>
  <channel id="Une.fr"><display-name>Télé Une</display-name></channel>
  <channel id="Deux.fr"><display-name>Deuxième</display-name></channel>
  <channel id="Trois.fr"><display-name>Trois</display-name></channel>
  <programme start="20260612063000 +0200" stop="20260612090000 +0200" channel="Une.fr"><title lang="fr">T&#233;l&#233;matin</title></programme>
  <programme start="20260612204500 +0200" channel="Une.fr"><title lang="en">Tonight</title><title lang="fr">L'&#339;uvre &amp; la soirée</title></programme>
  <programme start="20260612223000 +0200" stop="20260612233000 +0200" channel="Une.fr"><title>Dernier</title></programme>
  <programme start="20260612190000 +0000" stop="20260612200000 +0000" channel="Deux.fr"><title lang="fr">5 € le ticket</title></programme>
  <programme start="20260612200000 +0200" stop="20260612210000 +0200" channel="Trois.fr"><title>Autre</title></programme>
</tv>
)";

date_heure dh(int j, int h, int m) {
    return date_heure::depuis_date(QDate(2026, 6, j), h, m);
}

} // namespace

class test_recup_xmltv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void flux_partage_data() {
        QTest::addColumn<QByteArray>("corps");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("xml") << flux << QByteArray("application/xml");
        QTest::newRow("gzip") << compresser_gzip(flux) << QByteArray("application/gzip");
        QTest::newRow("xml sans type") << flux << QByteArray();
    }
    void flux_partage() {
        QFETCH(QByteArray, corps);
        QFETCH(QByteArray, type);
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        QStringList cours;
        b.serveur.definir_page(QStringLiteral("/xmltv_tnt.xml"), corps, type);
        const QString feed = b.serveur.url(QStringLiteral("/xmltv_tnt.xml"));
        {
            donnees::base_programmes base(b.base());
            base.ajouter_chaine({2, QStringLiteral("Télé Une"), feed + QStringLiteral("#Une.fr"), 1});
            base.ajouter_chaine({3, QStringLiteral("Absente"), feed + QStringLiteral("#Absente.fr"), 2});
            base.ajouter_chaine({4, QStringLiteral("Deuxième"), feed + QStringLiteral("#Deux.fr"), 3});
        }
        QCOMPARE(b.lancer(&cours), maj::fin_maj::complete);
        QCOMPARE(b.serveur.nb_requetes(QStringLiteral("/xmltv_tnt.xml")), 1); // one download for all
        QVERIFY(cours.contains(QStringLiteral("ECHEC Absente")));
        QVERIFY(!cours.contains(QStringLiteral("ECHEC Télé Une")));

        const auto lignes = essais::lire_liste(b.base());
        QCOMPARE(lignes.size(), size_t(4));
        QCOMPARE(lignes[0].programme, QStringLiteral("Télématin"));
        QCOMPARE(lignes[0].chaine, 2);
        QCOMPARE(lignes[0].hdeb, dh(12, 6, 30));
        QCOMPARE(lignes[0].hfin, dh(12, 9, 0));
        QCOMPARE(lignes[0].duree, std::optional(date_heure::duree_hm(2, 30)));
        QCOMPARE(lignes[1].programme, QStringLiteral("L'œuvre & la soirée"));
        QCOMPARE(lignes[1].hfin, dh(12, 22, 30)); // no stop: the next start
        QCOMPARE(lignes[1].duree, std::optional(date_heure::duree_hm(1, 45)));
        QCOMPARE(lignes[2].programme, QStringLiteral("Dernier"));
        QCOMPARE(lignes[3].programme, QStringLiteral("5 € le ticket"));
        QCOMPARE(lignes[3].chaine, 4);
        QCOMPARE(lignes[3].hdeb, dh(12, 21, 0)); // 19:00 UTC in summer
        QVERIFY(donnees::base_programmes(b.base()).lire_maj().has_value());
    }

    void flux_illisible_data() {
        QTest::addColumn<QByteArray>("corps");
        QTest::newRow("tronqué") << flux.left(flux.size() * 2 / 3);
        QTest::newRow("gzip coupé") << compresser_gzip(flux).left(80);
        QTest::newRow("mal formé") << QByteArray(
            "<tv><programme start='20260612200000 +0200' channel='Une.fr'>"
            "<title>x</titre></programme></tv>");
    }
    void flux_illisible() {
        QFETCH(QByteArray, corps);
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        QStringList cours;
        b.serveur.definir_page(QStringLiteral("/f.xml"), corps, "text/xml");
        const QString feed = b.serveur.url(QStringLiteral("/f.xml"));
        {
            donnees::base_programmes base(b.base());
            base.ajouter_chaine({2, QStringLiteral("Télé Une"), feed + QStringLiteral("#Une.fr"), 1});
            base.ajouter_chaine({3, QStringLiteral("Deuxième"), feed + QStringLiteral("#Deux.fr"), 2});
        }
        // A failed feed is a failed fetch for each of its channels, never the end of the run;
        // with no channel left, the run renewed nothing.
        QCOMPARE(b.lancer(&cours), maj::fin_maj::echec_chaines);
        QVERIFY(cours.contains(QStringLiteral("ECHEC Télé Une")));
        QVERIFY(cours.contains(QStringLiteral("ECHEC Deuxième")));
        QCOMPARE(b.serveur.nb_requetes(QStringLiteral("/f.xml")), 1);
        QCOMPARE(donnees::base_programmes(b.base()).nb_lignes(QStringLiteral("liste")), 0);
        QVERIFY(b.boites.vues.empty());
    }

    void page_et_flux_dans_un_meme_run() {
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        QStringList cours;
        b.serveur.definir_page(QStringLiteral("/xmltv_tnt.xml"), flux, "application/xml");
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        {
            donnees::base_programmes base(b.base());
            base.ajouter_chaine(
                {7, QStringLiteral("Trois"), b.serveur.url(QStringLiteral("/xmltv_tnt.xml#Trois.fr")), 4});
        }
        QCOMPARE(b.lancer(&cours), maj::fin_maj::complete);
        const auto lignes = essais::lire_liste(b.base());
        QCOMPARE(lignes.size(), size_t(4));
        QCOMPARE(lignes[2].programme, QStringLiteral("Film du soir"));
        QCOMPARE(lignes[3].programme, QStringLiteral("Autre"));
        QCOMPARE(lignes[3].chaine, 7);
    }

    void flux_injoignable_une_seule_fois() {
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        QStringList cours;
        serveur_http::reponse r;
        r.statut = 503;
        b.serveur.definir(QStringLiteral("/f.xml"), r);
        const QString feed = b.serveur.url(QStringLiteral("/f.xml"));
        {
            donnees::base_programmes base(b.base());
            for (int i = 0; i < 5; ++i)
                base.ajouter_chaine(
                    {2 + i, QStringLiteral("C%1").arg(i), feed + QStringLiteral("#C%1").arg(i), 1});
        }
        QCOMPARE(b.lancer(&cours), maj::fin_maj::echec_chaines);
        QCOMPARE(b.serveur.nb_requetes(QStringLiteral("/f.xml")), 1);
        QCOMPARE(cours.filter(QStringLiteral("ECHEC")).size(), 5);
    }
};

QTEST_MAIN(test_recup_xmltv)
#include "test_recup_xmltv.moc"
