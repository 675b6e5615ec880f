// Runs in which feeds fail, without a window: the feed's ids that drift, what was
// stored stays for the channels that failed, each channel's health is kept, and a
// value SQLite refuses never becomes a row.
#include "outils/banc_pilote.h"

#include "noyau/sante.h"

#include <QTest>

#include <memory>

using namespace zapo;
using namespace zapo::essais;

Q_DECLARE_METATYPE(zapo::maj::fin_maj)

class test_echecs_chaines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The feed's ids drift: the channel is still found, by case, by an older id of its own or by its display
    // name.
    void correspondance_data() {
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<bool>("trouvee");
        QTest::newRow("identifiant") << "LEquipe21.fr"
                                     << "Autre" << true;
        QTest::newRow("casse") << "lequipe21.FR"
                               << "Autre" << true;
        QTest::newRow("nom affiché") << "LEquipe.fr"
                                     << "L'Équipe" << true;
        QTest::newRow("ancien identifiant") << "LEquipe.fr"
                                            << "Équipe 21" << true;
        QTest::newRow("aucune") << "Equipe.fr"
                                << "Équipe 21" << false;
    }
    void correspondance() {
        QFETCH(QString, fragment);
        QFETCH(QString, nom);
        QFETCH(bool, trouvee);
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        QByteArray f = flux_xmltv(QStringLiteral("LEquipe21.fr"), 2);
        f.replace("<channel id=\"LEquipe21.fr\"/>",
                  "<channel id=\"LEquipe21.fr\"><display-name>L'EQUIPE</display-name></channel>");
        b.serveur.definir_page(QStringLiteral("/tnt.xml"), f, "application/xml");
        donnees::base_programmes(b.base()).ajouter_chaine(
            {2, nom, b.serveur.url(QStringLiteral("/tnt.xml#")) + fragment, 1});
        QStringList cours;
        b.lancer(&cours);
        QCOMPARE(titres(b.base(), 2).size(), trouvee ? 2 : 0);
        QCOMPARE(cours.contains(QStringLiteral("ECHEC ") + nom), !trouvee);
    }

    // Some came: those are renewed, the others keep their rows, maj is stamped.
    void echec_partiel() {
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        b.ajouter(chaines[1], false);
        repondre(b.serveur, chaines[1].chemin, 500);
        ecrire_anciennes_donnees(b.base()); // rows on channels 2 and 3
        const QStringList anciens_3 = titres(b.base(), 3);
        QCOMPARE(anciens_3.size(), 2);

        QCOMPARE(b.lancer(), maj::fin_maj::complete);
        QCOMPARE(titres(b.base(), 2),
                 (QStringList{QStringLiteral("Réveil"), QStringLiteral("Journal de midi"),
                              QStringLiteral("Film du soir")}));
        QCOMPARE(titres(b.base(), 3), anciens_3);
        QCOMPARE(b.guide.texte_etat(), QStringLiteral("Programmes à jour."));
        const auto maj = donnees::base_programmes(b.base()).lire_maj();
        QVERIFY(maj.has_value());
        QCOMPARE(maj->date(), QDate(2026, 6, 12));
        QVERIFY(!b.etat.maj_echouee);
    }

    void sante_data() {
        QTest::addColumn<int>("statut");
        QTest::addColumn<QByteArray>("corps");
        QTest::addColumn<bool>("succes");
        QTest::addColumn<int>("nb");
        QTest::addColumn<QString>("raison");
        QTest::addColumn<QString>("bulle");
        QTest::newRow("réussite") << 200 << flux_xmltv(QStringLiteral("Une.fr"), 3) << true << 3 << QString()
                                  << QString();
        QTest::newRow("échec")
            << 503 << QByteArray() << false << 0 << QStringLiteral("Le serveur a répondu 503.")
            << QStringLiteral(
                   "Dernière mise à jour : échec (le serveur a répondu 503), vendredi 12 juin à 14:00");
        // A feed without the channel: plain words first, the feed's id after them.
        QTest::newRow("chaîne absente du flux")
            << 200 << flux_xmltv(QStringLiteral("Autre.fr"), 3) << false << 0
            << QStringLiteral(
                   "Cette chaîne manque dans le programme reçu. Identifiant dans le flux : « Une.fr ».")
            << QStringLiteral(
                   "Cette chaîne manque dans le programme reçu.\nDernière mise à jour : vendredi 12 "
                   "juin à 14:00\nIdentifiant dans le flux : « Une.fr »");
        QTest::newRow("flux vide")
            << 200 << flux_xmltv(QStringLiteral("Une.fr"), 0) << false << 0
            << QStringLiteral("Le flux ne contient aucun programme pour aujourd'hui.")
            << QStringLiteral("Dernière mise à jour : échec (le flux ne contient aucun programme pour "
                              "aujourd'hui), vendredi 12 juin à 14:00");
    }
    void sante() {
        QFETCH(int, statut);
        QFETCH(QByteArray, corps);
        QFETCH(bool, succes);
        QFETCH(int, nb);
        QFETCH(QString, raison);
        QFETCH(QString, bulle);
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        serveur_http::reponse r;
        r.statut = statut;
        r.corps = corps;
        r.type_contenu = "application/xml";
        b.serveur.definir(QStringLiteral("/f.xml"), r);
        {
            donnees::base_programmes base(b.base());
            QVERIFY(base.lire_sante().empty()); // a file of before: no table, no harm
            base.ajouter_chaine(
                {2, QStringLiteral("Télé Une"), b.serveur.url(QStringLiteral("/f.xml#Une.fr")), 1});
        }
        b.lancer();
        const auto s = donnees::base_programmes(b.base()).lire_sante();
        QCOMPARE(s.size(), size_t(1));
        const auto& l = s.at(2);
        QCOMPARE(l.succes, succes);
        QCOMPARE(l.nb_programmes, nb);
        QCOMPARE(l.raison, raison);
        QCOMPARE(l.quand, date_heure::depuis_date(QDate(2026, 6, 12), 14, 0));
        QCOMPARE(zapo::infobulle_sante(l.succes, l.nb_programmes, l.raison, l.quand), bulle);
        // The start-up check still passes with the new table in the file.
        donnees::base_programmes(b.base(), donnees::base_programmes::ouverture::verification)
            .verifier_structure();
    }

    // A value SQLite refuses stops the write; it never becomes a NULL row.
    void liaison_refusee() {
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        // Every connection opened from here on gets the small limit, the program's included.
        const auto limiter = +[](sqlite3* db, char**, const sqlite3_api_routines*) {
            sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1000); // the schema's texts still fit
            return SQLITE_OK;
        };
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(limiter));
        const std::unique_ptr<void, void (*)(void*)> retirer(reinterpret_cast<void*>(1),
                                                             [](void*) { sqlite3_reset_auto_extension(); });
        donnees::base_programmes base(b.base());
        const qint64 avant = base.nb_lignes(QStringLiteral("liste"));
        const date_heure d = date_heure::depuis_date(QDate(2026, 6, 12), 20, 0);
        QVERIFY_THROWS_EXCEPTION(
            donnees::erreur_base,
            base.ajouter_programme({QString(2000, u'x'), d, une_heure, d + une_heure}, 2));
        QCOMPARE(base.nb_lignes(QStringLiteral("liste")), avant);
    }
};

QTEST_MAIN(test_echecs_chaines)
#include "test_echecs_chaines.moc"
