#include "donnees/base_programmes.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "donnees/verification_differee.h"
#include "noyau/panneau.h"
#include "noyau/soirees.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
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

// Everything the panel shows, as one text, to compare two ways of computing it.
QString resume(const etat_panneau& e) {
    QStringList t;
    for (const rangee_panneau& r : e.rangees)
        t << QStringLiteral("%1 %2 %3 %4").arg(r.remplie).arg(r.hdeb, r.hfin, r.titre);
    t << QString::number(e.progres) << QString::number(e.ligne_en_cours)
      << QString::number(e.nb_lignes_chaine);
    for (qint64 k : e.marques)
        t << QStringLiteral("m%1").arg(k);
    QStringList c;
    for (auto it = e.par_chaine.cbegin(); it != e.par_chaine.cend(); ++it)
        c << QStringLiteral("%1:%2:%3").arg(it.key()).arg(it->titre).arg(it->pourcentage);
    c.sort();
    return (t + c).join(QLatin1Char('|'));
}

// Each channel's evening picks, as one text.
QString resume(const std::vector<std::vector<ligne_panneau>>& choix) {
    QStringList t;
    for (const auto& c : choix) {
        t << QStringLiteral("|");
        for (const ligne_panneau& l : c)
            t << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(l.hdeb.secondes())
                     .arg(l.hfin.secondes())
                     .arg(l.programme)
                     .arg(l.chaine)
                     .arg(l.duree ? l.duree->secondes() : -1);
    }
    return t.join(QLatin1Char(';'));
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

    // The panel's reading hands over only the rows it uses; its result must be the
    // full pass's, whatever the stored order, the holes left by deleted rows, and
    // damaged values.
    void panneau_lignes_choisies_data() {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<int>("chaine");
        QTest::addColumn<int>("minute"); // of 2026-12-07
        // Day 46363 is 2026-12-07; 1/1440 is a minute.
        const QByteArray lignes = "INSERT INTO liste VALUES (46363.75, 46363.79166, 'A1', NULL, 1);"
                                  "INSERT INTO liste VALUES (46363.79166, 46363.8125, 'A2', 0.0208, 1);"
                                  "INSERT INTO liste VALUES (46363.78, 46363.9, 'B1', NULL, 2);"
                                  "INSERT INTO liste VALUES (46363.8125, 46363.875, 'A3', NULL, 1);"
                                  "INSERT INTO liste VALUES (46363.86, 46363.95, 'A4', 0.09, 1);"
                                  "INSERT INTO liste VALUES (46363.875, 46363.99, 'B2', NULL, 2);"
                                  "INSERT INTO liste VALUES (46363.9, 46364.02, 'A5', NULL, 1);";
        QTest::newRow("chaines mêlées, 18:45") << lignes << 1 << 18 * 60 + 45;
        QTest::newRow("chaines mêlées, 20:50 : deux en cours") << lignes << 1 << 20 * 60 + 50;
        QTest::newRow("autre chaine") << lignes << 2 << 20 * 60 + 50;
        QTest::newRow("chaine absente") << lignes << 9 << 19 * 60;
        QTest::newRow("trous laissés par des lignes effacées")
            << lignes + "DELETE FROM liste WHERE programme IN ('A2', 'B2');"
                        "INSERT INTO liste VALUES (46363.7, 46363.8, 'C1', NULL, 3);"
                        "INSERT INTO liste VALUES (46363.8, 46363.85, 'A6', NULL, 1);"
            << 1 << 19 * 60 + 5;
        QTest::newRow("successeur d'une autre chaine après un trou")
            << lignes + "DELETE FROM liste WHERE programme = 'A2';"
                        "INSERT INTO liste VALUES (46363.7, 46363.8, 'C1', NULL, 3);"
            << 1 << 18 * 60 + 30;
        QTest::newRow("première ligne d'un autre jour, passée")
            << "INSERT INTO liste VALUES (46362.5, 46362.6, 'Hier', NULL, 4);" + lignes << 1 << 20 * 60 + 50;
        QTest::newRow("valeurs abîmées")
            << lignes + "INSERT INTO liste VALUES ('x', 46363.9, 'Texte', NULL, 1);"
                        "INSERT INTO liste VALUES (46363.8, NULL, 'Sans fin', NULL, 1);"
                        "INSERT INTO liste VALUES (46363.8, 46363.9, 'Chaine texte', NULL, '1');"
                        "INSERT INTO liste VALUES (46363.8, 46363.9, 'Chaine réelle', NULL, 1.5);"
                        "INSERT INTO liste VALUES (NULL, NULL, NULL, NULL, NULL);"
            << 1 << 19 * 60 + 30;
    }
    void panneau_lignes_choisies() {
        QFETCH(QByteArray, sql);
        QFETCH(int, chaine);
        QFETCH(int, minute);
        essais::dossier_essai d;
        QVERIFY(d.valide());
        essais::executer_script(d.base(), sql.constData());
        const date_heure maintenant = date_heure::depuis_date(QDate(2026, 12, 7), minute / 60, minute % 60);
        base_programmes b(d.base());
        calcul_panneau tout(chaine, maintenant);
        b.parcourir_liste(
            [&](const ligne_liste& l) { tout.ajouter(l.hdeb, l.hfin, l.programme, l.chaine, l.duree); });
        calcul_panneau choisi(chaine, maintenant);
        int lues = 0;
        b.parcourir_panneau(
            chaine, maintenant,
            [&](const ligne_liste& l, qint64 rang, std::optional<qint64> precedent) {
                ++lues;
                choisi.ajouter_rang(l, rang, precedent);
            },
            [&](const ligne_liste& l) { return choisi.titre_utile(l.hdeb, l.hfin, l.chaine); });
        QCOMPARE(resume(choisi.resultat()), resume(tout.resultat()));
        QVERIFY(lues <= int(b.nb_lignes(QStringLiteral("liste"))));
    }

    // Tonight's reading hands over only the rows that may be in the evening; its
    // picks must be the full pass's, at the bounds and with damaged values.
    void soirees_lignes_choisies_data() {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<int>("minute");  // of 2026-12-07
        QTest::addColumn<int>("choisis"); // how many programmes the evening keeps
        // Day 46363 is 2026-12-07; 20:30 is .8541667, 00:15 the next day 46364.0104167.
        const QByteArray lignes = "INSERT INTO liste VALUES (46363.80, 46363.86, 'Avant', NULL, 1);"
                                  "INSERT INTO liste VALUES (46363.8541667, 46363.9, 'Pile', NULL, 1);"
                                  "INSERT INTO liste VALUES (46363.86, 46363.87, 'Court', NULL, 2);"
                                  "INSERT INTO liste VALUES (46363.87, 46363.875, 'Durée', 0.04, 2);"
                                  "INSERT INTO liste VALUES (46363.9, 46363.99, 'Troisième', NULL, 1);"
                                  "INSERT INTO liste VALUES (46363.95, 46364.0, 'Deuxième', NULL, 1);"
                                  "INSERT INTO liste VALUES (46364.0104167, 46364.06, '00:15', NULL, 3);"
                                  "INSERT INTO liste VALUES (46364.0103, 46364.06, '00:14', NULL, 3);";
        QTest::newRow("18:00") << lignes << 18 * 60 << 4;
        QTest::newRow("22:00 : les finies partent") << lignes << 22 * 60 << 3;
        QTest::newRow("21:36 : fin à la minute") << lignes << 21 * 60 + 36 << 3;
        QTest::newRow("première ligne d'hier")
            << "INSERT INTO liste VALUES (46362.5, 46362.6, 'Hier', NULL, 4);"
               "INSERT INTO liste VALUES (46362.9, 46363.8, 'Hier soir', NULL, 2);" +
                   lignes
            << 18 * 60 << 1;
        QTest::newRow("valeurs abîmées")
            << lignes + "INSERT INTO liste VALUES ('x', 46363.95, 'Texte', NULL, 2);"
                        "INSERT INTO liste VALUES (46363.9, NULL, 'Sans fin', NULL, 3);"
                        "INSERT INTO liste VALUES (46363.9, 'y', 'Fin texte', NULL, 3);"
                        "INSERT INTO liste VALUES (1e9, 46363.95, 'Hors des années', NULL, 2);"
                        "INSERT INTO liste VALUES (46363.9, 1e9, 'Fin hors des années', NULL, 2);"
                        "INSERT INTO liste VALUES (46363.9, 46363.99, 'Chaine texte', NULL, '3');"
                        "INSERT INTO liste VALUES (NULL, NULL, NULL, NULL, NULL);"
                        "INSERT INTO liste VALUES ('46363.9 h', 46363.99, 'Début texte', NULL, 4);"
            << 18 * 60 << 6;
        QTest::newRow("première ligne abîmée")
            << "INSERT INTO liste VALUES ('x', 1, 'Abîmée', NULL, 1);" + lignes << 18 * 60 << 0;
        QTest::newRow("soir autour de l'origine : tout est lu")
            << "INSERT INTO liste VALUES (-1.0, 1, 'Veille', NULL, 1);"
               "INSERT INTO liste VALUES (NULL, 46363.95, 'Début nul', NULL, 2);" +
                   lignes
            << 18 * 60 << 1;
        QTest::newRow("vide") << QByteArray() << 18 * 60 << 0;
    }
    void soirees_lignes_choisies() {
        QFETCH(QByteArray, sql);
        QFETCH(int, minute);
        QFETCH(int, choisis);
        essais::dossier_essai d;
        QVERIFY(d.valide());
        essais::executer_script(d.base(), sql.constData());
        const date_heure maintenant = date_heure::depuis_date(QDate(2026, 12, 7), minute / 60, minute % 60);
        base_programmes b(d.base());
        const std::vector<int> chaines{1, 2, 3, 4};
        soirees tout(chaines, maintenant);
        b.parcourir_liste([&](const ligne_liste& l) { tout.ajouter(l); });
        QCOMPARE(resume(lire_soirees(b, chaines, maintenant, 0)), resume(tout.resultat()));
        size_t n = 0;
        for (const auto& c : tout.resultat())
            n += c.size();
        QCOMPARE(int(n), choisis);
    }

    void plus_de_32767_lignes() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        donnees::transaction ecriture(b);
        for (int i = 0; i < 33000; ++i)
            b.ajouter_programme(fiche(QStringLiteral("p"), 6, 0), 40000);
        ecriture.valider();
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

    // The start reads `liste`'s pages on a thread while its window is built:
    // opening the file waits for that verdict, and a refused file stays as it was.
    void pages_lues_a_part_data() {
        QTest::addColumn<bool>("abimee");
        QTest::newRow("base saine") << false;
        QTest::newRow("page de liste abîmée") << true;
    }
    void pages_lues_a_part() {
        QFETCH(bool, abimee);
        essais::dossier_essai d;
        // Enough rows for a tree of several pages, all of them in the file itself.
        executer(d.base(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                           "INSERT INTO liste (hdeb, hfin, programme, chaine, duree) "
                           "SELECT 46000 + i, 46000.01 + i, 'Programme ' || i, 2, 0.01 FROM n;"
                           "PRAGMA journal_mode=DELETE");
        if (abimee)
            QVERIFY(essais::abimer_racine(d.base(), "liste"));
        QFile f(d.base());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray avant = f.readAll();
        f.close();

        // The part done before the window is blind to `liste`'s pages.
        base_programmes(d.base(), base_programmes::ouverture::verification).verifier_structure(false);
        std::optional<verification_differee> v(std::in_place, d.base());
        for (int essai = 0; essai < 2; ++essai) {
            try {
                if (essai == 0)
                    v->attendre();
                else
                    base_programmes b(d.base());
                QVERIFY2(!abimee, "base abîmée acceptée");
            } catch (const erreur_base& e) {
                QVERIFY2(abimee, qPrintable(e.message()));
                QVERIFY2(e.message().contains(QStringLiteral("endommagée")), qPrintable(e.message()));
                QVERIFY2(e.message().contains(d.base()), qPrintable(e.message()));
            }
        }
        if (abimee) {
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll() == avant);
            QVERIFY(!QFileInfo::exists(d.base() + QStringLiteral("-wal")));
            QVERIFY(!QFileInfo::exists(d.base() + QStringLiteral("-shm")));
        }
        // Once it is gone, opening no longer asks.
        v.reset();
        if (abimee)
            QVERIFY_THROWS_EXCEPTION(erreur_base, base_programmes(d.base()).verifier_structure());
        else
            base_programmes(d.base()).verifier_structure();
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
