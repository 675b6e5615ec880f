// Tonight on every channel and the texts of programme details, at fixed clocks.
#include "noyau/details.h"
#include "noyau/panneau.h"
#include "noyau/soirees.h"

#include <QStringList>
#include <QTest>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 7);

date_heure a(int jour, const QString& hhmm) {
    const QStringList p = hhmm.split(QLatin1Char(':'));
    return date_heure::depuis_date(jour0.addDays(jour), p[0].toInt(), p[1].toInt());
}

// "chaine|hdeb|hfin|titre" rows of day 0; an end before the start is the next day.
std::vector<ligne_panneau> lignes(const QString& texte) {
    std::vector<ligne_panneau> res;
    for (const QString& l : texte.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList c = l.split(QLatin1Char('|'));
        ligne_panneau r;
        r.chaine = c[0].toInt();
        r.hdeb = a(c[1] < QLatin1String("06:00") ? 1 : 0, c[1]);
        r.hfin = a(c[2] < c[1] || c[2] < QLatin1String("06:00") ? 1 : 0, c[2]);
        r.duree = r.hfin - r.hdeb;
        r.programme = c[3];
        res.push_back(r);
    }
    return res;
}

// One line per row of the window: "chaine debut fin programme duree", a star for the logo row.
QStringList rangs(const std::vector<ligne_soir>& v) {
    QStringList res;
    for (const auto& r : v)
        res << QStringLiteral("%1%2 %3 %4 %5 %6")
                   .arg(r.premiere ? QStringLiteral("*") : QString(), r.chaine, r.debut, r.fin, r.programme,
                        r.duree);
    return res;
}

} // namespace

class test_ce_soir : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toutes_les_chaines_data();
    void toutes_les_chaines();
    void meme_regle_que_le_panneau();
    void durees_data();
    void durees();
    void episodes_data();
    void episodes();
    void classements_data();
    void classements();
    void resume();
    void soirees_offertes_data();
    void soirees_offertes();
    void soiree_d_un_autre_jour();
    void fiche();
};

void test_ce_soir::toutes_les_chaines_data() {
    QTest::addColumn<QString>("stockees");
    QTest::addColumn<QString>("maintenant");
    QTest::addColumn<QStringList>("attendues");
    const QString bords = QStringLiteral(
        "1|20:29|21:30|Trop tot;1|20:30|21:15|Pile 20:30;2|21:00|21:44|44 min;2|21:00|21:45|45 min;"
        "2|23:00|00:00|Deuxieme;2|23:30|01:00|Troisieme;3|00:14|01:00|Avant 00:15;3|00:15|01:00|A 00:15");
    QTest::newRow("bords de la soirée") << bords << QStringLiteral("12:00")
                                        << QStringList{QStringLiteral("*A 20:30 21:15 Pile 20:30 45 min"),
                                                       QStringLiteral("*B 21:00 21:45 45 min 45 min"),
                                                       QStringLiteral("B 23:00 00:00 Deuxieme 1h"),
                                                       QStringLiteral("*C 00:14 01:00 Avant 00:15 46 min"),
                                                       QStringLiteral("*D ... ... ... ...")};
    // At 21:45 a programme ending then is over; one still running counts.
    QTest::newRow("déjà finis") << bords << QStringLiteral("21:45")
                                << QStringList{QStringLiteral("*A ... ... ... ..."),
                                               QStringLiteral("*B 23:00 00:00 Deuxieme 1h"),
                                               QStringLiteral("B 23:30 01:00 Troisieme 1h30"),
                                               QStringLiteral("*C 00:14 01:00 Avant 00:15 46 min"),
                                               QStringLiteral("*D ... ... ... ...")};
    // A row of an unknown channel is skipped; the order is the channels', not the rows'.
    QTest::newRow("ordre des chaînes")
        << QStringLiteral("3|20:45|22:50|Film;9|21:00|22:00|Orphelin;1|20:50|22:35|Magazine")
        << QStringLiteral("20:00")
        << QStringList{QStringLiteral("*A 20:50 22:35 Magazine 1h45"), QStringLiteral("*B ... ... ... ..."),
                       QStringLiteral("*C 20:45 22:50 Film 2h05"), QStringLiteral("*D ... ... ... ...")};
    QTest::newRow("table vide") << QString() << QStringLiteral("20:00")
                                << QStringList{QStringLiteral("*A ... ... ... ..."),
                                               QStringLiteral("*B ... ... ... ..."),
                                               QStringLiteral("*C ... ... ... ..."),
                                               QStringLiteral("*D ... ... ... ...")};
}

void test_ce_soir::toutes_les_chaines() {
    QFETCH(QString, stockees);
    QFETCH(QString, maintenant);
    QFETCH(QStringList, attendues);
    const std::vector<chaine_soir> chaines{{1, QStringLiteral("A"), 1},
                                           {2, QStringLiteral("B"), 2},
                                           {3, QStringLiteral("C"), 3},
                                           {4, QStringLiteral("D"), 4}};
    const std::vector<int> nums{1, 2, 3, 4};
    soirees s(nums, a(0, maintenant));
    for (const auto& l : lignes(stockees))
        s.ajouter(l);
    const std::vector<ligne_soir> v = lignes_ce_soir(chaines, s.resultat());
    QCOMPARE(rangs(v), attendues);
    for (const auto& r : v) {
        QCOMPARE(r.vide, r.programme == QLatin1String("..."));
        if (!r.vide)
            QCOMPARE(r.hdeb.format_hhnn(), r.debut);
    }
}

void test_ce_soir::meme_regle_que_le_panneau() {
    // Many rows of one channel thin as they come; the picks stay those of the panel.
    std::vector<ligne_panneau> v;
    for (int i = 0; i < 3000; ++i) {
        ligne_panneau l;
        l.chaine = 1;
        l.hdeb = a(0, QStringLiteral("18:00")) + date_heure::duree_hm(0, i % 400);
        l.hfin = l.hdeb + date_heure::duree_hm(0, 30 + i % 50);
        l.programme = QString::number(i);
        v.push_back(l);
    }
    const date_heure maintenant = a(0, QStringLiteral("20:40"));
    const std::vector<int> nums{1};
    soirees s(nums, maintenant);
    calcul_panneau c(1, maintenant);
    for (const auto& l : v) {
        s.ajouter(l);
        c.ajouter(l.hdeb, l.hfin, l.programme, l.chaine, l.duree);
    }
    const auto choix = s.resultat();
    const auto attendu = c.resultat();
    QCOMPARE(choix.size(), size_t(1));
    QCOMPARE(choix[0].size(), soir_par_chaine);
    QCOMPARE(choix[0][0].programme, attendu.rangees[rang_soir1].titre);
    QCOMPARE(choix[0][1].programme, attendu.rangees[rang_soir2].titre);
    QCOMPARE(choix[0][0].hdeb, attendu.rangees[rang_soir1].debut);
}

void test_ce_soir::durees_data() {
    QTest::addColumn<int>("secondes");
    QTest::addColumn<QString>("texte");
    QTest::newRow("zéro") << 0 << QStringLiteral("0 min");
    QTest::newRow("45 min") << 45 * 60 << QStringLiteral("45 min");
    QTest::newRow("59 min 40 s") << 59 * 60 + 40 << QStringLiteral("1h");
    QTest::newRow("une heure") << 3600 << QStringLiteral("1h");
    QTest::newRow("1h30") << 5400 << QStringLiteral("1h30");
    QTest::newRow("2h05") << 7500 << QStringLiteral("2h05");
    QTest::newRow("négative") << -600 << QStringLiteral("0 min");
}

void test_ce_soir::durees() {
    QFETCH(int, secondes);
    QFETCH(QString, texte);
    QCOMPARE(texte_duree(date_heure::depuis_secondes(secondes)), texte);
}

void test_ce_soir::episodes_data() {
    QTest::addColumn<QString>("ns");
    QTest::addColumn<QString>("ecran");
    QTest::addColumn<QString>("texte");
    QTest::newRow("saison et épisode")
        << QStringLiteral("1.4.0/12") << QString() << QStringLiteral("Saison 2, épisode 5");
    QTest::newRow("totaux") << QStringLiteral("0/3.11/24.") << QString()
                            << QStringLiteral("Saison 1, épisode 12");
    QTest::newRow("sans saison") << QStringLiteral(".4.") << QString() << QStringLiteral("Épisode 5");
    QTest::newRow("sans épisode") << QStringLiteral("2..") << QString() << QStringLiteral("Saison 3");
    QTest::newRow("illisible, à l'écran")
        << QStringLiteral("a.b") << QStringLiteral("S02E05") << QStringLiteral("S02E05");
    QTest::newRow("à l'écran seul") << QString() << QStringLiteral("Épisode 7")
                                    << QStringLiteral("Épisode 7");
    QTest::newRow("nombre démesuré") << QStringLiteral("99999999.1") << QString()
                                     << QStringLiteral("Épisode 2");
    QTest::newRow("rien") << QString() << QString() << QString();
}

void test_ce_soir::episodes() {
    QFETCH(QString, ns);
    QFETCH(QString, ecran);
    QFETCH(QString, texte);
    details_programme d;
    d.episode_ns = ns;
    d.episode_ecran = ecran;
    QCOMPARE(texte_episode(d), texte);
}

void test_ce_soir::classements_data() {
    QTest::addColumn<QString>("valeur");
    QTest::addColumn<QString>("texte");
    QTest::newRow("-12") << QStringLiteral("-12") << QStringLiteral("Déconseillé aux moins de 12 ans");
    QTest::newRow("12") << QStringLiteral("12") << QStringLiteral("Déconseillé aux moins de 12 ans");
    QTest::newRow("-16 ans") << QStringLiteral(" -16 ans ")
                             << QStringLiteral("Déconseillé aux moins de 16 ans");
    QTest::newRow("tout public") << QStringLiteral("Tout public") << QStringLiteral("Tout public");
    QTest::newRow("TP") << QStringLiteral("TP") << QStringLiteral("Tout public");
    QTest::newRow("autre") << QStringLiteral("X") << QStringLiteral("X");
}

void test_ce_soir::classements() {
    QFETCH(QString, valeur);
    QFETCH(QString, texte);
    QCOMPARE(texte_classement(valeur), texte);
}

void test_ce_soir::resume() {
    details_programme d;
    QCOMPARE(resume_details(d), QString());
    QVERIFY(texte_details(QStringLiteral("Titre"), d).contains(QStringLiteral("Aucun détail")));
    d.sous_titre = QStringLiteral("Le retour");
    d.episode_ns = QStringLiteral("1.4.0/12");
    d.annee = QStringLiteral("1999");
    d.categories = {QStringLiteral("Série"), QStringLiteral("Policier")};
    d.classement = QStringLiteral("-12");
    d.realisateur = QStringLiteral("Jeanne Martin");
    d.acteurs = {QStringLiteral("Ann"), QStringLiteral("Bob")};
    d.description = QString(1000, QLatin1Char('x'));
    const QStringList l = resume_details(d).split(QLatin1Char('\n'));
    // A tooltip: a few lines, the description cut.
    QCOMPARE(l.size(), 4);
    QCOMPARE(l[1], QStringLiteral("Saison 2, épisode 5 – 1999 – Série, Policier"));
    QVERIFY(l[3].size() < 300);
    // The window has it all.
    const QString tout = texte_details(QStringLiteral("Titre"), d);
    for (const QString& morceau :
         {QStringLiteral("Réalisation : Jeanne Martin"), QStringLiteral("Avec : Ann, Bob"),
          QStringLiteral("Déconseillé aux moins de 12 ans"), d.description})
        QVERIFY2(tout.contains(morceau), qPrintable(morceau));
    QCOMPARE(separer(joindre(d.acteurs)), d.acteurs);
    QCOMPARE(separer(QString()), QStringList());
}

// Monday 7 December at noon: "Ce soir", "Demain soir", then each kept day by name.
void test_ce_soir::soirees_offertes_data() {
    QTest::addColumn<QString>("dernier"); // "jour hh:mm" of the latest kept start; empty: none
    QTest::addColumn<QStringList>("choix");
    const QStringList deux{QStringLiteral("Ce soir"), QStringLiteral("Demain soir")};
    QTest::newRow("pas de semaine") << QString() << deux;
    QTest::newRow("jusqu'à demain") << QStringLiteral("1 23:00") << deux;
    QTest::newRow("mercredi à minuit") << QStringLiteral("2 00:00") << deux + QStringList{"mercredi 9"};
    QTest::newRow("huit jours") << QStringLiteral("7 23:00")
                                << deux + QStringList{"mercredi 9", "jeudi 10",    "vendredi 11",
                                                      "samedi 12",  "dimanche 13", "lundi 14"};
    QTest::newRow("au-delà, borné") << QStringLiteral("12 20:00")
                                    << deux + QStringList{"mercredi 9", "jeudi 10",    "vendredi 11",
                                                          "samedi 12",  "dimanche 13", "lundi 14"};
}

void test_ce_soir::soirees_offertes() {
    QFETCH(QString, dernier);
    QFETCH(QStringList, choix);
    std::optional<date_heure> d;
    if (!dernier.isEmpty())
        d = a(dernier.section(QLatin1Char(' '), 0, 0).toInt(), dernier.section(QLatin1Char(' '), 1));
    QCOMPARE(choix_soirees(a(0, QStringLiteral("12:00")), d), choix);
}

// A later evening takes the same rule on its own day, whatever the first row's day.
void test_ce_soir::soiree_d_un_autre_jour() {
    const std::vector<int> chaines{1};
    soirees s(chaines, a(0, QStringLiteral("12:00")), a(3, QStringLiteral("00:00")));
    for (const auto& [jour, hhmm, titre, minutes] :
         std::vector<std::tuple<int, QString, QString, int>>{{0, "20:50", "Ce soir", 90},
                                                             {3, "20:00", "Trop tôt", 60},
                                                             {3, "20:50", "Jeudi soir", 100},
                                                             {3, "22:30", "Court", 30},
                                                             {3, "23:00", "Tard", 60},
                                                             {4, "00:30", "Trop tard", 60}}) {
        const date_heure h = a(jour, hhmm);
        s.ajouter({h, h + date_heure::duree_hm(0, minutes), titre, 1, date_heure::duree_hm(0, minutes)});
    }
    const auto r = s.resultat();
    QCOMPARE(r.size(), size_t(1));
    QStringList titres;
    for (const auto& l : r[0])
        titres << l.programme;
    QCOMPARE(titres, (QStringList{"Jeudi soir", "Tard"}));
}

void test_ce_soir::fiche() {
    details_programme d;
    d.rediffusion = true;
    d.etoiles = QStringLiteral("3/5");
    const QString quand = texte_horaire(a(5, QStringLiteral("20:50")), a(5, QStringLiteral("22:40")),
                                        std::nullopt, a(0, QStringLiteral("12:00")));
    QCOMPARE(quand, QStringLiteral("samedi 12, de 20:50 à 22:40 (1h50)"));
    QCOMPARE(texte_horaire(a(1, QStringLiteral("00:30")), a(1, QStringLiteral("01:15")),
                           date_heure::duree_hm(0, 45), a(0, QStringLiteral("23:00"))),
             QStringLiteral("Demain, de 00:30 à 01:15 (45 min)"));
    const QStringList l = texte_fiche(QStringLiteral("Match"), QStringLiteral("TF1"), quand, d).split(u'\n');
    QCOMPARE(l.mid(0, 5), (QStringList{"Match", "Chaîne : TF1", quand, "Note : 3/5", "Rediffusion"}));
    d.inedit = true;
    QVERIFY(resume_details(d).startsWith(QStringLiteral("Inédit – 3/5")));
}

QTEST_GUILESS_MAIN(test_ce_soir)
#include "test_ce_soir.moc"
