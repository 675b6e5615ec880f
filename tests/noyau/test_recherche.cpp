// The search's rule: which stored programmes a typed text finds, and in what order.
#include "noyau/recherche.h"
#include "noyau/repli.h"

#include <QTest>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 8); // a Tuesday

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(jour0.addDays(jour), h, m);
}

// Channels 3, 1, 2 chosen in that order; channel 9 is not chosen any more.
index_recherche index_essai() {
    index_recherche i(
        {{3, QStringLiteral("Trois")}, {1, QStringLiteral("Une")}, {2, QStringLiteral("Deux")}});
    i.ajouter(1, a(0, 20, 0), a(0, 21, 0), QStringLiteral("Un été à Paris"));
    i.ajouter(2, a(0, 20, 0), a(0, 21, 0), QStringLiteral("L’été indien"));
    i.ajouter(1, a(0, 6, 0), a(0, 7, 0), QStringLiteral("Été matinal")); // over at 12:00
    i.ajouter(3, a(0, 20, 0), a(0, 20, 30), QStringLiteral("ÉTÉ EN FÊTE"));
    i.ajouter(9, a(0, 20, 0), a(0, 21, 0), QStringLiteral("Été orphelin"));
    i.ajouter(1, a(1, 0, 30), a(1, 1, 30), QStringLiteral("Cœur d'été"));
    i.ajouter(3, a(0, 11, 30), a(0, 12, 30), QStringLiteral("Journal de l'été")); // on at 12:00
    i.ajouter(2, a(0, 18, 0), a(0, 19, 0), QStringLiteral("Le journal"));
    i.terminer();
    return i;
}

} // namespace

class test_recherche : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void correspondance_data() {
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("saisie");
        QTest::addColumn<bool>("attendu");
        QTest::newRow("sans accent trouve l'accent") << "Été"
                                                     << "ete" << true;
        QTest::newRow("accent trouve sans accent") << "Un ete"
                                                   << "été" << true;
        QTest::newRow("majuscules") << "LE JOURNAL"
                                    << "Journal" << true;
        QTest::newRow("cédille") << "Leçons"
                                 << "LECONS" << true;
        QTest::newRow("ligature œ") << "Cœur"
                                    << "coeur" << true;
        QTest::newRow("ligature écrite en deux lettres") << "Oeuvre"
                                                         << "œuvre" << true;
        QTest::newRow("début de mot") << "Le journal de 20 heures"
                                      << "journ" << true;
        QTest::newRow("plusieurs mots dans le désordre") << "Le journal de 20 heures"
                                                         << "heures journal" << true;
        QTest::newRow("un des mots manque") << "Le journal de 20 heures"
                                            << "journal météo" << false;
        QTest::newRow("blancs autour") << "Météo"
                                       << "  meteo\t" << true;
        QTest::newRow("espace insécable entre les mots") << "Météo des neiges"
                                                         << "meteo\u00a0neiges" << true;
        QTest::newRow("apostrophe typographique") << "L’Équipe"
                                                  << "l'equipe" << true;
        QTest::newRow("mot absent") << "Été"
                                    << "hiver" << false;
        QTest::newRow("champ vide") << "Été"
                                    << "" << false;
        QTest::newRow("blancs seuls") << "Été"
                                      << "   " << false;
        QTest::newRow("titre vide") << ""
                                    << "a" << false;
    }
    void correspondance() {
        QFETCH(QString, titre);
        QFETCH(QString, saisie);
        QFETCH(bool, attendu);
        const index_recherche::resultat r = [&] {
            index_recherche i({{1, QStringLiteral("Une")}});
            i.ajouter(1, a(0, 20, 0), a(0, 21, 0), titre);
            i.terminer();
            return i.chercher(saisie, a(0, 12, 0), 10);
        }();
        QCOMPARE(r.total, attendu ? 1 : 0);
        QCOMPARE(correspond_recherche(replier(titre), mots_recherche(saisie)), attendu);
    }

    void resultats_data() {
        QTest::addColumn<QString>("saisie");
        QTest::addColumn<int>("plafond");
        QTest::addColumn<QStringList>("titres");
        QTest::addColumn<int>("total");
        // By start, then the channels' order (3, 1, 2), then stored order; what is
        // over is left out, what is on now is kept; an unchosen channel never shows.
        QTest::newRow("ordre") << "ete" << 10
                               << QStringList{"Journal de l'été", "ÉTÉ EN FÊTE", "Un été à Paris",
                                              "L’été indien", "Cœur d'été"}
                               << 5;
        QTest::newRow("plafond compte tout")
            << "ete" << 2 << QStringList{"Journal de l'été", "ÉTÉ EN FÊTE"} << 5;
        QTest::newRow("deux mots") << "journal ete" << 10 << QStringList{"Journal de l'été"} << 1;
        // Each word must be in the same title, never one in each of two neighbours.
        QTest::newRow("mots de deux titres voisins") << "paris indien" << 10 << QStringList{} << 0;
        QTest::newRow("mot deux fois dans un titre")
            << "te" << 10
            << QStringList{"Journal de l'été", "ÉTÉ EN FÊTE", "Un été à Paris", "L’été indien", "Cœur d'été"}
            << 5;
        QTest::newRow("fini exclu") << "matinal" << 10 << QStringList{} << 0;
        QTest::newRow("chaine retirée") << "orphelin" << 10 << QStringList{} << 0;
    }
    void resultats() {
        QFETCH(QString, saisie);
        QFETCH(int, plafond);
        QFETCH(QStringList, titres);
        QFETCH(int, total);
        const index_recherche i = index_essai();
        const auto r = i.chercher(saisie, a(0, 12, 0), plafond);
        QStringList vus;
        for (const auto n : r.lignes)
            vus << i.entrees()[n].titre;
        QCOMPARE(vus, titres);
        QCOMPARE(r.total, qsizetype(total));
    }

    // Texts are gone through sixteen bytes at a time: a word is found at any
    // place, across the blocks' edges and at the very end of the texts; bytes
    // that only share its first and last letters are not it.
    void places_du_mot_data() {
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("mot");
        QTest::addColumn<bool>("dernier"); // the title holding it is the last of the texts
        for (const int place : {0, 1, 14, 15, 16, 17, 31, 33, 47})
            for (const bool dernier : {false, true}) {
                QTest::addRow("zebre à %d%s", place, dernier ? ", fin" : "") << place << "zèbre" << dernier;
                QTest::addRow("k à %d%s", place, dernier ? ", fin" : "") << place << "k" << dernier;
            }
    }
    void places_du_mot() {
        QFETCH(int, place);
        QFETCH(QString, mot);
        QFETCH(bool, dernier);
        index_recherche i({{1, QStringLiteral("Une")}});
        const QString garni = QString(place, QLatin1Char('o')) + mot + QStringLiteral(" fin");
        // "zxbre" and "zebrx": the first and last letters of "zebre" without the word.
        const QString leurre = QStringLiteral("oooo zxbre ooooooooooooooo zebrx oooooooooooooo");
        i.ajouter(1, a(0, 20, 0), a(0, 21, 0), dernier ? leurre : garni);
        i.ajouter(1, a(0, 21, 0), a(0, 22, 0), dernier ? garni : leurre);
        i.terminer();
        const auto r = i.chercher(mot, a(0, 12, 0), 10);
        QCOMPARE(r.total, qsizetype(1));
        QCOMPARE(i.entrees()[r.lignes.at(0)].titre, garni);
    }

    // Each programme keeps its place among its channel's stored rows, which is
    // how the main window's programme list finds it again.
    void positions_et_noms() {
        const index_recherche i = index_essai();
        QHash<QString, QPair<int, int>> vus; // title -> (channel, position)
        for (const auto& p : i.entrees())
            vus.insert(p.titre, {p.chaine, p.position});
        QCOMPARE(vus.value(QStringLiteral("Cœur d'été")), qMakePair(1, 3));
        QCOMPARE(vus.value(QStringLiteral("Le journal")), qMakePair(2, 2));
        QCOMPARE(vus.value(QStringLiteral("Journal de l'été")), qMakePair(3, 2));
        QVERIFY(!vus.contains(QStringLiteral("Été orphelin")));
        QCOMPARE(i.nom_chaine(0), QStringLiteral("Trois"));
        QCOMPARE(i.nom_chaine(2), QStringLiteral("Deux"));
    }

    // Title before sub-title before categories, people and description, then
    // words spread over several fields; by start within a rank; the week's later
    // days found too.
    void rangs_data() {
        QTest::addColumn<QString>("saisie");
        QTest::addColumn<QStringList>("titres");
        QTest::addColumn<QStringList>("jours");
        QTest::newRow("titre d'abord")
            << "ete" << QStringList{"Été", "Sous-titre", "Genre", "Avec", "Résumé"}
            << QStringList{"Aujourd'hui", "Aujourd'hui", "Demain", "Demain", "Aujourd'hui"};
        QTest::newRow("accents et majuscules")
            << "LOUIS FUNÈS" << QStringList{"Avec", "Résumé"} << QStringList{"Demain", "Aujourd'hui"};
        QTest::newRow("mots sur deux champs")
            << "policier dupont" << QStringList{"Genre"} << QStringList{"Demain"};
        QTest::newRow("un jour plus tard") << "tard" << QStringList{"Tard"} << QStringList{"samedi 12"};
        QTest::newRow("rien") << "hiver" << QStringList{} << QStringList{};
    }
    void rangs() {
        QFETCH(QString, saisie);
        QFETCH(QStringList, titres);
        QFETCH(QStringList, jours);
        index_recherche i({{1, QStringLiteral("Une")}, {2, QStringLiteral("Deux")}});
        const auto details = [](const char* sous_titre, QStringList categories, const char* realisateur,
                                const char* description) {
            details_programme d;
            d.sous_titre = QString::fromUtf8(sous_titre);
            d.categories = categories;
            d.realisateur = QString::fromUtf8(realisateur);
            d.description = QString::fromUtf8(description);
            return d;
        };
        i.ajouter(1, a(0, 20, 0), a(0, 21, 0), QStringLiteral("Résumé"),
                  details("", {}, "", "Un été avec Louis de Funès"));
        i.ajouter(1, a(1, 20, 0), a(1, 21, 0), QStringLiteral("Genre"),
                  details("", {QStringLiteral("Été policier")}, "Jean Dupont", ""), false);
        i.ajouter(2, a(0, 21, 0), a(0, 22, 0), QStringLiteral("Sous-titre"), details("L'ÉTÉ", {}, "", ""));
        i.ajouter(2, a(1, 22, 0), a(1, 23, 0), QStringLiteral("Avec"),
                  details("", {}, "Louis de Funès (l'été)", ""), false);
        i.ajouter(2, a(4, 21, 0), a(4, 22, 0), QStringLiteral("Tard"), details("", {}, "", ""), false);
        i.ajouter(1, a(0, 22, 0), a(0, 23, 0), QStringLiteral("Été"), details("", {}, "", "été"));
        i.terminer();
        const auto r = i.chercher(saisie, a(0, 12, 0), 100);
        QStringList vus, vus_jours;
        for (const auto n : r.lignes) {
            vus << i.entrees()[n].titre;
            vus_jours << texte_jour(i.entrees()[n].hdeb, a(0, 12, 0));
        }
        QCOMPARE(vus, titres);
        QCOMPARE(vus_jours, jours);
        QCOMPARE(r.total, qsizetype(titres.size()));
        // Later days are not among the main window's rows.
        for (const auto& p : i.entrees())
            QCOMPARE(p.position == 0, p.hdeb >= a(1, 0, 0));
    }

    // Category lists come back again and again in a week: each programme still
    // gets its own list's genre, and is found by its own list's words only.
    void categories_repetees() {
        const QList<QStringList> listes = {
            {QStringLiteral("Film")},          {QStringLiteral("Film"), QStringLiteral("Comédie")},
            {QStringLiteral("Film, Comédie")}, {QStringLiteral("Sport")},
            {QStringLiteral("Film")},          {}};
        index_recherche i({{1, QStringLiteral("Une")}});
        for (qsizetype k = 0; k < listes.size(); ++k) {
            details_programme d;
            d.categories = listes[k];
            i.ajouter(1, a(0, 13, int(k)), a(0, 14, 0), QStringLiteral("Programme %1").arg(k), d);
        }
        i.terminer();
        for (qsizetype k = 0; k < listes.size(); ++k)
            QCOMPARE(i.entrees()[std::size_t(k)].genre, genre_categories(listes[k]));
        const auto trouves = [&](const char* saisie) {
            QStringList t;
            for (const auto n : i.chercher(QString::fromUtf8(saisie), a(0, 12, 0), 100).lignes)
                t << i.entrees()[n].titre;
            t.sort();
            return t;
        };
        QCOMPARE(trouves("comedie"), (QStringList{"Programme 1", "Programme 2"}));
        QCOMPARE(trouves("film"), (QStringList{"Programme 0", "Programme 1", "Programme 2", "Programme 4"}));
        QCOMPARE(trouves("sport"), QStringList{"Programme 3"});
    }

    // Whatever is pasted, one keystroke looks at a bounded text.
    void saisie_bornee() {
        const QStringList mots = mots_recherche(QString(100000, QChar(u'a')) + QStringLiteral(" b"));
        QCOMPARE(mots.size(), 1);
        QCOMPARE(mots.first().size(), 200);
    }
};

QTEST_APPLESS_MAIN(test_recherche)
#include "test_recherche.moc"
