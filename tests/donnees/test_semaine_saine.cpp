// The week as a damaged or hand-edited file holds it: a damaged row is skipped
// by every reader, never shown, and an over-full table is read no further than
// what a run writes.
#include "donnees/lecture_grille.h"
#include "donnees/lecture_recherche.h"
#include "donnees/semaine.h"
#include "noyau/recherche.h"
#include "noyau/soirees.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"

#include <QTest>

using namespace zapo;
using namespace zapo::donnees;

namespace {

const QDate lundi(2026, 12, 7);

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(lundi.addDays(jour), h, m);
}

fiche_programme prog(const char* titre, date_heure debut, int minutes) {
    const date_heure d = date_heure::duree_hm(0, minutes);
    return {QString::fromUtf8(titre), debut, d, debut + d};
}

// Two channels and their weeks, the table made as an older program or a hand
// may have made it: no type or NOT NULL enforced.
void preparer(const QString& chemin) {
    {
        base_programmes b(chemin);
        b.ajouter_chaine({1, QStringLiteral("Un"), QStringLiteral("http://127.0.0.1/1"), 1});
        b.ajouter_chaine({2, QStringLiteral("Deux"), QStringLiteral("http://127.0.0.1/2"), 2});
    }
    essais::executer_sql(chemin, "DROP TABLE IF EXISTS semaine");
    essais::executer_sql(chemin,
                         "CREATE TABLE semaine (chaine INTEGER, hdeb INTEGER, hfin INTEGER, duree INTEGER, "
                         "titre TEXT, sous_titre TEXT, description TEXT, categories TEXT, episode_ns TEXT, "
                         "episode_ecran TEXT, annee TEXT, realisateur TEXT, acteurs TEXT, classement TEXT, "
                         "rediffusion INTEGER DEFAULT 0, inedit INTEGER DEFAULT 0, etoiles TEXT)");
    essais::executer_sql(chemin, "CREATE INDEX semaine_chaine ON semaine (chaine, hdeb)");
    base_programmes b(chemin);
    b.remplacer_programmes(1, std::vector{prog("Journal", a(0, 20, 0), 40), prog("Film", a(0, 20, 50), 110)});
    remplacer_semaine(b, 1,
                      std::vector{prog("Journal", a(0, 20, 0), 40), prog("Film", a(0, 20, 50), 110),
                                  prog("Soirée J1", a(1, 20, 50), 100),
                                  prog("Soirée J2", a(2, 20, 50), 100)});
    remplacer_semaine(b, 2, std::vector{prog("Deux J1", a(1, 21, 0), 90), prog("Deux J3", a(3, 21, 0), 90)});
}

const QStringList bons{"Journal", "Film", "Soirée J1", "Soirée J2", "Deux J1", "Deux J3"};

} // namespace

class test_semaine_saine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // One damaged row of channel 1 on the evening of day 1, titled "Abîmé".
    void ligne_abimee_data() {
        QTest::addColumn<QString>("hdeb");
        QTest::addColumn<QString>("hfin");
        QTest::addColumn<QString>("duree");
        const QString d = QString::number(a(1, 20, 30).secondes());
        const QString f = QString::number(a(1, 20, 45).secondes());
        QTest::newRow("début en texte") << "'2026-12-08 20:30'" << f << "900";
        QTest::newRow("début en chiffres, texte") << "'153007'" << f << "900";
        QTest::newRow("début réel") << d + ".5" << f << "900";
        QTest::newRow("début blob") << "X'0102'" << f << "900";
        QTest::newRow("début nul") << "NULL" << f << "900";
        QTest::newRow("fin en texte") << d << "'fin'"
                                      << "900";
        QTest::newRow("fin nulle") << d << "NULL"
                                   << "900";
        QTest::newRow("fin avant le début") << d << QString::number(a(1, 20, 0).secondes()) << "900";
        QTest::newRow("fin égale au début") << d << d << "NULL";
        QTest::newRow("fin un mois après") << d << QString::number(a(31, 20, 0).secondes()) << "NULL";
        QTest::newRow("durée énorme") << d << f << "9223372036854775000";
        QTest::newRow("durée négative") << d << f << "-900";
        QTest::newRow("durée en texte") << d << f << "'1h'";
        QTest::newRow("année 1970") << "153007"
                                    << "156607"
                                    << "3600";
        QTest::newRow("année 9999") << "253402196400"
                                    << "253402200000"
                                    << "3600";
    }
    void ligne_abimee() {
        QFETCH(QString, hdeb);
        QFETCH(QString, hfin);
        QFETCH(QString, duree);
        essais::dossier_essai d;
        QVERIFY(d.valide());
        preparer(d.base());
        essais::executer_sql(d.base(),
                             QStringLiteral("INSERT INTO semaine (chaine, hdeb, hfin, duree, titre) "
                                            "VALUES (1, %1, %2, %3, 'Abîmé')")
                                 .arg(hdeb, hfin, duree)
                                 .toUtf8()
                                 .constData());
        base_programmes b(d.base(), base_programmes::ouverture::lecture_seule);
        const date_heure maintenant = a(0, 12, 0);
        const auto sain = [](date_heure hdeb, date_heure hfin, std::optional<date_heure> duree) {
            return hdeb.secondes() >= debut_min_semaine && hdeb.secondes() < debut_max_semaine &&
                   hfin > hdeb && (hfin - hdeb).secondes() <= longueur_max_semaine &&
                   (!duree || (duree->secondes() > 0 && duree->secondes() <= longueur_max_semaine));
        };

        // The later evenings: the damaged row is no pick, the good ones are, every
        // length sane.
        const std::vector<int> chaines{1, 2};
        for (const int k : {1, 2}) {
            QStringList soir;
            for (const auto& c : lire_soirees(b, chaines, maintenant, k))
                for (const ligne_panneau& l : c) {
                    QVERIFY(sain(l.hdeb, l.hfin, l.duree));
                    soir << l.programme;
                }
            QVERIFY2(soir.contains(k == 1 ? QStringLiteral("Soirée J1") : QStringLiteral("Soirée J2")),
                     qPrintable(soir.join(u',')));
            QVERIFY(!soir.contains(QStringLiteral("Abîmé")));
        }
        // The evenings offered (--jour, the window's list) run to the last good day.
        QCOMPARE(dernier_debut_semaine(b), std::optional(a(3, 21, 0)));
        QCOMPARE(dernier_debut_chaines(b, chaines), std::optional(a(3, 21, 0)));

        // The export, the search and the reminders' pass: the good rows only.
        QStringList exportes;
        parcourir_semaine_flux(b, [&](const programme_semaine& p) {
            QVERIFY(sain(p.hdeb, p.hfin, p.duree));
            exportes << p.titre;
        });
        QCOMPARE(exportes, bons);
        QStringList parcourus;
        parcourir_semaine(b, true, [&](const programme_semaine& p) { parcourus << p.titre; });
        QCOMPARE(parcourus, bons);
        QStringList trouvables;
        const index_recherche index = lire_index_recherche(b);
        for (const programme_trouvable& p : index.entrees()) {
            QVERIFY(sain(p.hdeb, p.hfin, std::nullopt));
            trouvables << p.titre;
        }
        QVERIFY(!trouvables.contains(QStringLiteral("Abîmé")));
        QCOMPARE(trouvables.size(), bons.size());

        // The grid's day, and one channel's week (a run that finds its feed unchanged).
        QStringList grille;
        parcourir_periode(b, a(1, 0, 0), a(2, 0, 0), [&](const programme_semaine& p) {
            QVERIFY(sain(p.hdeb, p.hfin, p.duree));
            grille << p.titre;
        });
        grille.sort();
        QCOMPARE(grille, (QStringList{"Deux J1", "Soirée J1"}));
        QStringList semaine;
        for (const fiche_programme& p : lire_semaine_chaine(b, 1))
            semaine << p.programme;
        QCOMPARE(semaine, (QStringList{"Journal", "Film", "Soirée J1", "Soirée J2"}));
        // Asked for by its start, it is not kept either.
        QVERIFY(!lire_programme_semaine(b, 1, a(1, 20, 30)).has_value());
    }

    // A channel with more rows than a run writes: no reader gets more than the
    // run's 1,500 of them, nor any past the week from its first.
    void table_trop_pleine_data() {
        QTest::addColumn<int>("minutes"); // between two starts
        QTest::addColumn<int>("lignes");
        QTest::addColumn<int>("lus");
        QTest::newRow("5 000 en une semaine") << 2 << 5000 << max_programmes_semaine;
        // Besides the channel's two good rows.
        QTest::newRow("20 jours") << 10 << 2880 << jours_semaine * 24 * 6 + 2;
    }
    void table_trop_pleine() {
        QFETCH(int, minutes);
        QFETCH(int, lignes);
        QFETCH(int, lus);
        essais::dossier_essai d;
        QVERIFY(d.valide());
        preparer(d.base());
        essais::executer_sql(
            d.base(), QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                                     "WHERE i + 1 < %1) INSERT INTO semaine (chaine, hdeb, hfin, duree, "
                                     "titre) SELECT 2, %2 + i * %3, %2 + i * %3 + 60, 60, 'Trop' FROM n")
                          .arg(lignes)
                          .arg(a(0, 0, 0).secondes())
                          .arg(minutes * 60)
                          .toUtf8()
                          .constData());
        base_programmes b(d.base(), base_programmes::ouverture::lecture_seule);
        const qint64 fin_semaine = a(jours_semaine, 0, 0).secondes();
        int n = 0;
        parcourir_semaine(b, false, [&](const programme_semaine& p) {
            if (p.chaine == 2) {
                ++n;
                QVERIFY(p.hdeb.secondes() < fin_semaine);
            }
        });
        QCOMPARE(n, lus);
        QCOMPARE(int(lire_semaine_chaine(b, 2).size()), lus);
        int trouvables = 0;
        const index_recherche index = lire_index_recherche(b);
        for (const programme_trouvable& p : index.entrees())
            trouvables += p.chaine == 2;
        QCOMPARE(trouvables, lus);
        n = 0;
        parcourir_periode(b, a(0, 0, 0), a(jours_semaine + 20, 0, 0),
                          [&](const programme_semaine& p) { n += p.chaine == 2; });
        QVERIFY(n <= max_programmes_semaine);
        QVERIFY(dernier_debut_semaine(b)->secondes() < fin_semaine);
    }
};

QTEST_GUILESS_MAIN(test_semaine_saine)
#include "test_semaine_saine.moc"
