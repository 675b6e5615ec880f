#include "data/base_programmes.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"

#include <sqlite3.h>

#include <QFile>
#include <QTest>

using namespace zapo;
using namespace zapo::donnees;

namespace {

void executer(const QString& chemin, const char* sql) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(chemin.toUtf8().constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    const QString e = QString::fromUtf8(err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(e));
}

fiche_programme fiche(const QString& titre, int h, int m) {
    const date_heure d = date_heure::depuis_date(QDate(2026, 12, 7), h, m);
    return {titre, d, une_heure, d + une_heure};
}

QStringList titres(base_programmes& b) {
    QStringList t;
    b.parcourir_liste([&](const ligne_liste& l) { t << l.programme; });
    return t;
}

} // namespace

class test_base_programmes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void base_livree() {
        essais::dossier_essai d;
        QVERIFY(d.valide());
        base_programmes b(d.base());
        b.verifier_structure();
        QCOMPARE(b.nb_lignes(QStringLiteral("maj")), 1);
        QVERIFY(!b.lire_maj().has_value());
        QCOMPARE(b.nb_lignes(QStringLiteral("chaines")), 0);
        const auto modele = b.lire_modele();
        QVERIFY(modele.size() >= 24);
        QCOMPARE(modele.front().nom, QStringLiteral("TF1"));
        QCOMPARE(modele.front().url, QStringLiteral("https://xmltvfr.fr/xmltv/xmltv_tnt.xml#TF1.fr"));
        QStringList noms;
        for (const auto& m : modele)
            noms << m.nom;
        for (const char* n : {"France 2", "Canal+", "Arte", "T18"})
            QVERIFY2(noms.contains(QString::fromUtf8(n)), n);
        QCOMPARE(noms.removeDuplicates(), 0);
    }

    // The catalogue names the channels as the public feed spells them in 2026.
    void catalogue_2026_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("id");
        QTest::newRow("TFX") << "TFX"
                             << "NT1.fr";
        QTest::newRow("LCP") << "LCP"
                             << "LaChaineParlementaire.fr";
        QTest::newRow("L'Équipe") << "La chaine l’Équipe"
                                  << "LEquipe21.fr";
        QTest::newRow("RMC STORY") << "RMC STORY"
                                   << "Numero23.fr";
        QTest::newRow("RMC Life") << "RMC Life"
                                  << "Cherie25.fr";
        QTest::newRow("franceinfo") << "franceinfo:"
                                    << "FranceInfo.fr";
        QTest::newRow("NOVO19") << "NOVO19"
                                << "NOVO19.fr";
        QTest::newRow("TF1 Séries-Films") << "TF1 Séries-Films"
                                          << "TF1SeriesFilms.fr";
    }
    void catalogue_2026() {
        QFETCH(QString, nom);
        QFETCH(QString, id);
        essais::dossier_essai d;
        QVERIFY(d.valide());
        base_programmes b(d.base());
        QStringList urls;
        for (const auto& m : b.lire_modele())
            if (m.nom == nom)
                urls << m.url;
        QCOMPARE(urls, QStringList{QStringLiteral("https://xmltvfr.fr/xmltv/xmltv_tnt.xml#") + id});
    }

    void ordre_de_stockage() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        // Titles with apostrophes go through bound values.
        const QStringList attendus = {QStringLiteral("C'est pas sorcier"), QStringLiteral("A"),
                                      QStringLiteral("Zorro"), QStringLiteral("Bonjour l'été")};
        int h = 23;
        for (const auto& t : attendus)
            b.ajouter_programme(fiche(t, h--, 0), 1);
        QCOMPARE(titres(b), attendus);
        // Deleting then appending keeps insertion order, even when the last row went.
        b.vider_liste();
        QCOMPARE(b.nb_lignes(QStringLiteral("liste")), 0);
        b.ajouter_programme(fiche(QStringLiteral("X"), 6, 0), 1);
        b.ajouter_programme(fiche(QStringLiteral("Y"), 5, 0), 1);
        QCOMPARE(titres(b), (QStringList{QStringLiteral("X"), QStringLiteral("Y")}));
    }

    void positions_lues_par_numero() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        b.ajouter_chaine({7, QStringLiteral("Arte"), QStringLiteral("http://127.0.0.1/a"), 3});
        b.ajouter_programme(fiche(QStringLiteral("Film"), 20, 50), 7);
        b.ecrire_maj(date_heure::depuis_date(QDate(2026, 12, 7), 14, 5));
        // Other readers of the file take these columns by position.
        essais::base_brute brute(d.base());
        requete c(brute.poignee(), "SELECT * FROM chaines", d.base());
        QVERIFY(c.pas());
        QCOMPARE(c.entier(0), 7);
        requete l(brute.poignee(), "SELECT * FROM liste", d.base());
        QVERIFY(l.pas());
        QCOMPARE(l.entier(4), 7);
        QCOMPARE(l.texte(2), QStringLiteral("Film"));
        requete m(brute.poignee(), "SELECT * FROM maj", d.base());
        QVERIFY(m.pas());
        QCOMPARE(date_heure::depuis_jours(m.reel(0)), date_heure::depuis_date(QDate(2026, 12, 7), 14, 5));
    }

    void noms_de_table_sans_casse() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        b.ajouter_chaine({2, QStringLiteral("TF1"), QStringLiteral("u"), 1});
        QCOMPARE(b.nb_lignes(QStringLiteral("CHAINES")), 1);
        QCOMPARE(b.nb_lignes(QStringLiteral("Chaines")), 1);
    }

    void maj_modifiee_jamais_ajoutee() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        const date_heure t1 = date_heure::depuis_date(QDate(2026, 12, 7), 9, 30);
        const date_heure t2 = date_heure::depuis_date(QDate(2039, 2, 1), 23, 59, 59);
        b.ecrire_maj(t1);
        b.ecrire_maj(t2);
        QCOMPARE(b.nb_lignes(QStringLiteral("maj")), 1);
        QCOMPARE(b.lire_maj(), std::optional<date_heure>(t2));
    }

    void effacer_chaine_entiere() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        for (int n : {1, 2, 3}) {
            b.ajouter_chaine({n, QStringLiteral("C%1").arg(n), QString(), n});
            b.ajouter_programme(fiche(QStringLiteral("P%1").arg(n), 20, n), n);
        }
        b.effacer_chaine(2);
        QCOMPARE(titres(b), (QStringList{QStringLiteral("P1"), QStringLiteral("P3")}));
        QCOMPARE(b.lire_chaines().size(), size_t(2));
    }

    void plus_de_32767_lignes() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        b.commencer();
        for (int i = 0; i < 33000; ++i)
            b.ajouter_programme(fiche(QStringLiteral("p"), 6, 0), 40000);
        b.valider();
        int n = 0;
        b.parcourir_liste([&](const ligne_liste& l) {
            ++n;
            QCOMPARE(l.chaine, 40000);
        });
        QCOMPARE(n, 33000);
    }

    void structures_refusees_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("table absente") << "DROP TABLE liste"
                                       << "la table « liste » est absente";
        QTest::newRow("colonne absente") << "ALTER TABLE chaines DROP COLUMN adresse"
                                         << "la colonne « adresse » manque dans la table « chaines »";
        QTest::newRow("position")
            << "CREATE TABLE t AS SELECT hdeb, hfin, programme, chaine, duree FROM liste;"
               "DROP TABLE liste; ALTER TABLE t RENAME TO liste"
            << "la colonne « chaine » doit être la colonne n° 5";
        QTest::newRow("maj sans ligne") << "DELETE FROM maj"
                                        << "la table « maj » n'a pas de ligne";
    }
    void structures_refusees() {
        QFETCH(QString, sql);
        QFETCH(QString, attendu);
        essais::dossier_essai d;
        executer(d.base(), sql.toUtf8().constData());
        base_programmes b(d.base());
        try {
            b.verifier_structure();
            QFAIL("structure acceptée");
        } catch (const erreur_base& e) {
            QVERIFY2(e.message().contains(attendu), qPrintable(e.message()));
            QVERIFY2(e.message().contains(d.base()), "le message nomme le fichier");
        }
    }

    void fichiers_refuses_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("pas une base") << QByteArray("bonjour, je suis un fichier texte\n").repeated(200)
                                      << "n'est pas une base de données";
        QTest::newRow("vide") << QByteArray() << "est vide";
        QTest::newRow("tronquée") << QByteArray("SQLite format 3\0", 16) + QByteArray(80, '\x01') << "base";
    }
    void fichiers_refuses() {
        QFETCH(QByteArray, contenu);
        QFETCH(QString, attendu);
        essais::dossier_essai d;
        {
            QFile f(d.base());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(contenu);
        }
        try {
            base_programmes b(d.base());
            b.verifier_structure();
            QFAIL("fichier accepté");
        } catch (const erreur_base& e) {
            QVERIFY2(e.message().contains(attendu), qPrintable(e.message()));
        }
        // Nothing was overwritten.
        QFile f(d.base());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), contenu);
    }

    void fichier_absent_jamais_cree() {
        essais::dossier_essai d;
        const QString chemin = d.chemin() + QStringLiteral("/absent.mdb");
        QVERIFY_THROWS_EXCEPTION(erreur_base, base_programmes{chemin});
        QVERIFY(!QFile::exists(chemin));
    }
};

QTEST_APPLESS_MAIN(test_base_programmes)
#include "test_base_programmes.moc"
