// The now / next / tonight computation at fixed clocks.
#include "noyau/panneau.h"

#include <QStringList>
#include <QTest>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 7);

// Stored values are day counts; build them as the update stores them, so that
// lengths computed from parsed times carry the same rounding as in the file.
double en_jours(int jour, const QString& hhmm) {
    const QStringList p = hhmm.split(QLatin1Char(':'));
    return double(QDate(1899, 12, 30).daysTo(jour0.addDays(jour))) + p[0].toInt() / 24.0 +
           p[1].toInt() / 1440.0;
}

// The rows fed in stored order, as the views and the terminal feed them.
etat_panneau calculer(const std::vector<ligne_panneau>& lignes, int chaine, date_heure maintenant) {
    calcul_panneau c(chaine, maintenant);
    for (const auto& l : lignes)
        c.ajouter(l.hdeb, l.hfin, l.programme, l.chaine, l.duree);
    return c.resultat();
}

// "jour|hdeb|hfin|duree|chaine|titre"; hfin before hdeb means the next day;
// duree "=" is hfin - hdeb computed on the stored day counts, "" is no value.
std::vector<ligne_panneau> lignes(const QString& texte) {
    std::vector<ligne_panneau> res;
    for (const QString& l : texte.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList c = l.split(QLatin1Char('|'));
        const int jour = c[0].toInt();
        const double deb = en_jours(jour, c[1]);
        const double fin = en_jours(c[2] < c[1] ? jour + 1 : jour, c[2]);
        ligne_panneau r;
        r.hdeb = date_heure::depuis_jours(deb);
        r.hfin = date_heure::depuis_jours(fin);
        if (c[3] == QLatin1String("="))
            r.duree = date_heure::depuis_jours(fin - deb);
        else if (!c[3].isEmpty())
            r.duree = date_heure::depuis_jours(en_jours(0, c[3]) - en_jours(0, QStringLiteral("00:00")));
        r.chaine = c[4].toInt();
        r.programme = c[5];
        res.push_back(r);
    }
    return res;
}

QString texte(const rangee_panneau& r) {
    return r.remplie ? QStringLiteral("%1 %2 %3").arg(r.hdeb, r.hfin, r.titre) : QString();
}

QString colonnes(const etat_panneau& e) {
    QStringList res;
    for (auto it = e.par_chaine.cbegin(); it != e.par_chaine.cend(); ++it)
        res << QStringLiteral("%1:%2:%3").arg(it.key()).arg(it->titre).arg(it->pourcentage);
    res.sort();
    return res.join(QLatin1Char(','));
}

QString marques(const etat_panneau& e) {
    QStringList res;
    for (qint64 k : e.marques)
        res << QString::number(k);
    return res.join(QLatin1Char(','));
}

} // namespace

class test_panneau : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panneau_data();
    void panneau();
    void pourcentage_data();
    void pourcentage();
    void plus_de_32767_lignes();
};

void test_panneau::panneau_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("chaine");
    QTest::addColumn<QString>("maintenant"); // "jour hh:mm"
    QTest::addColumn<QString>("actuel");
    QTest::addColumn<QString>("suite");
    QTest::addColumn<QString>("soir1");
    QTest::addColumn<QString>("soir2");
    QTest::addColumn<int>("progres");
    QTest::addColumn<QString>("colonnes");
    QTest::addColumn<qint64>("ligne");
    QTest::addColumn<QString>("marques");

    QTest::newRow("table vide") << "" << 1 << "0 20:15"
                                << ""
                                << ""
                                << ""
                                << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("20:15 sur 20:00-21:00 : 25 %, dernière ligne de la chaine")
        << "0|19:00|20:00|01:00|1|Avant;0|20:00|21:00|01:00|1|Journal;0|20:00|21:00|01:00|2|Autre" << 1
        << "0 20:15"
        << "20:00 21:00 Journal"
        << ""
        << ""
        << "" << 25 << "1:Journal:25,2:Autre:25" << qint64(2) << "2";
    QTest::newRow("au début exact, pas encore en cours") << "0|20:00|21:00|01:00|1|Journal" << 1 << "0 20:00"
                                                         << ""
                                                         << ""
                                                         << ""
                                                         << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("à la fin exacte, plus en cours") << "0|20:00|21:00|01:00|1|Journal" << 1 << "0 21:00"
                                                    << ""
                                                    << ""
                                                    << ""
                                                    << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("la suite est le successeur stocké")
        << "0|19:00|20:00|01:00|1|A;0|20:00|20:10|00:10|1|B;0|18:00|19:00|01:00|1|C" << 1 << "0 19:30"
        << "19:00 20:00 A"
        << "20:00 20:10 B"
        << ""
        << "" << 50 << "1:A:50" << qint64(1) << "1";
    QTest::newRow("une autre chaine s'intercale : pas de suite")
        << "0|19:00|20:00|01:00|1|A;0|19:00|20:00|01:00|2|X;0|20:00|20:10|00:10|1|B" << 1 << "0 19:30"
        << "19:00 20:00 A"
        << ""
        << ""
        << "" << 50 << "1:A:50,2:X:50" << qint64(1) << "1";
    QTest::newRow("rien en cours : ni actuel ni suite")
        << "0|19:00|20:00|01:00|1|A;0|20:00|20:10|00:10|1|B" << 1 << "0 12:00"
        << ""
        << ""
        << ""
        << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : 20:29 exclu") << "0|20:29|21:30|01:01|1|T" << 1 << "0 18:00"
                                        << ""
                                        << ""
                                        << ""
                                        << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : 20:30 de 00:45 inclus") << "0|20:30|21:15|00:45|1|T" << 1 << "0 18:00"
                                                  << ""
                                                  << ""
                                                  << "20:30 21:15 T"
                                                  << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : 00:44 exclu") << "0|20:30|21:14|00:44|1|T" << 1 << "0 18:00"
                                        << ""
                                        << ""
                                        << ""
                                        << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : 20:30-21:15 calculé depuis les heures lues vaut 00:45")
        << "0|20:30|21:15|=|1|T;0|21:30|22:15|=|1|U" << 1 << "0 18:00"
        << ""
        << ""
        << "20:30 21:15 T"
        << "21:30 22:15 U" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : 00:15 le lendemain exclu, 00:14 inclus")
        << "0|23:00|23:30|00:30|1|Court;1|00:15|01:30|01:15|1|Tard;1|00:14|01:30|01:16|1|Minuit" << 1
        << "0 18:00"
        << ""
        << ""
        << "1|00:14|01:30 Minuit"
        << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : troisième programme non montré")
        << "0|20:30|21:30|01:00|1|Un;0|21:30|22:30|01:00|1|Deux;0|22:30|23:30|01:00|1|Trois" << 1 << "0 18:00"
        << ""
        << ""
        << "20:30 21:30 Un"
        << "21:30 22:30 Deux" << 0 << "" << qint64(0) << "";
    QTest::newRow("soir : déjà commencé et pas fini, il compte")
        << "0|20:30|21:30|01:00|1|Film;0|21:30|22:30|01:00|1|Suite" << 1 << "0 20:45"
        << "20:30 21:30 Film"
        << "21:30 22:30 Suite"
        << "20:30 21:30 Film"
        << "21:30 22:30 Suite" << 25 << "1:Film:25" << qint64(1) << "1";
    QTest::newRow("soir : fini, il ne compte plus")
        << "0|20:30|21:30|01:00|1|Film;0|21:30|22:30|01:00|1|Suite" << 1 << "0 21:30"
        << ""
        << ""
        << "21:30 22:30 Suite"
        << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("programmes d'hier : soirée vide")
        << "-1|20:30|21:30|01:00|1|Hier;-1|21:30|23:00|01:30|1|Hier2;0|20:30|21:30|01:00|1|Ce soir" << 1
        << "0 19:00"
        << ""
        << ""
        << ""
        << "" << 0 << "" << qint64(0) << "";
    // The clock set back a day: tomorrow's evening is not tonight's.
    QTest::newRow("programmes de demain : soirée vide")
        << "1|20:30|21:30|01:00|1|Demain;1|21:30|23:00|01:30|1|Demain2" << 1 << "0 20:45"
        << ""
        << ""
        << ""
        << "" << 0 << "" << qint64(0) << "";
    QTest::newRow("deux chaines en cours, le panneau pour la courante")
        << "0|20:00|21:00|01:00|1|Un;0|20:10|20:40|00:30|2|Deux" << 2 << "0 20:15"
        << "20:10 20:40 Deux"
        << ""
        << ""
        << "" << 17 << "1:Un:25,2:Deux:17" << qint64(1) << "1";
    QTest::newRow("lignes qui se chevauchent : la dernière l'emporte")
        << "0|20:00|21:00|01:00|1|Long;0|20:10|20:20|00:10|1|Court;0|20:20|21:00|00:40|1|Après" << 1
        << "0 20:15"
        << "20:10 20:20 Court"
        << "20:20 21:00 Après"
        << ""
        << "" << 50 << "1:Court:50" << qint64(2) << "1,2";
    QTest::newRow("la position ne compte que les lignes de la chaine")
        << "0|19:00|20:00|01:00|2|X;0|19:00|20:00|01:00|1|A;0|20:00|21:00|01:00|2|Y;0|20:00|21:00|01:00|1|B"
        << 1 << "0 20:30"
        << "20:00 21:00 B"
        << ""
        << ""
        << "" << 50 << "1:B:50,2:Y:50" << qint64(2) << "2";
    QTest::newRow("chaine courante sans programme") << "0|20:00|21:00|01:00|1|Un" << 3 << "0 20:15"
                                                    << ""
                                                    << ""
                                                    << ""
                                                    << "" << 0 << "1:Un:25" << qint64(0) << "";
    QTest::newRow("durée nulle : pourcentage depuis début et fin")
        << "0|20:00|21:00|00:00|1|Un" << 1 << "0 20:15"
        << "20:00 21:00 Un"
        << ""
        << ""
        << "" << 25 << "1:Un:25" << qint64(1) << "1";
    QTest::newRow("durée absente : pourcentage depuis début et fin")
        << "0|20:00|21:00||1|Un" << 1 << "0 20:45"
        << "20:00 21:00 Un"
        << ""
        << ""
        << "" << 75 << "1:Un:75" << qint64(1) << "1";
    QTest::newRow("durée plus courte que l'écoulé : plafonné à 100")
        << "0|20:00|21:00|00:10|1|Un" << 1 << "0 20:30"
        << "20:00 21:00 Un"
        << ""
        << ""
        << "" << 100 << "1:Un:100" << qint64(1) << "1";
    QTest::newRow("à cheval sur minuit")
        << "0|23:30|00:30|01:00|1|Nuit;1|00:30|01:30|01:00|1|Après" << 1 << "1 00:15"
        << "23:30 00:30 Nuit"
        << "00:30 01:30 Après"
        << "23:30 00:30 Nuit"
        << "" << 75 << "1:Nuit:75" << qint64(1) << "1";
}

void test_panneau::panneau() {
    QFETCH(QString, table);
    QFETCH(int, chaine);
    QFETCH(QString, maintenant);
    QFETCH(QString, actuel);
    QFETCH(QString, suite);
    QFETCH(QString, soir1);
    QFETCH(QString, soir2);
    QFETCH(int, progres);
    QFETCH(QString, colonnes);
    QFETCH(qint64, ligne);
    QFETCH(QString, marques);

    const QStringList m = maintenant.split(QLatin1Char(' '));
    const date_heure t = date_heure::depuis_jours(en_jours(m[0].toInt(), m[1]));
    const auto e = calculer(lignes(table), chaine, t);

    // A row starting on the next day is written "1|hh:mm|hh:mm title" above.
    auto attendu = [](QString s) {
        if (s.startsWith(QLatin1String("1|")))
            s = s.mid(2).replace(QLatin1Char('|'), QLatin1Char(' '));
        return s;
    };
    QCOMPARE(texte(e.rangees[rang_actuel]), actuel);
    QCOMPARE(texte(e.rangees[rang_suite]), suite);
    QCOMPARE(texte(e.rangees[rang_soir1]), attendu(soir1));
    QCOMPARE(texte(e.rangees[rang_soir2]), attendu(soir2));
    QCOMPARE(e.progres, progres);
    QCOMPARE(::colonnes(e), colonnes);
    QCOMPARE(e.ligne_en_cours, ligne);
    QCOMPARE(::marques(e), marques);
}

void test_panneau::pourcentage_data() {
    QTest::addColumn<int>("ecoule");   // seconds since the start
    QTest::addColumn<int>("longueur"); // seconds, the stored length
    QTest::addColumn<int>("attendu");

    QTest::newRow("2,5 arrondi au pair inférieur") << 120 << 4800 << 2;
    QTest::newRow("7,5 arrondi au pair supérieur") << 360 << 4800 << 8;
    QTest::newRow("12,5 arrondi à 12") << 600 << 4800 << 12;
    QTest::newRow("au-dessus de la moitié") << 1 << 199 << 1;
    QTest::newRow("longueur négative : valeur absolue") << 900 << -3600 << 25;
    QTest::newRow("exactement 100") << 3600 << 3600 << 100;
    QTest::newRow("au-delà : 100") << 7200 << 3600 << 100;
    QTest::newRow("très longue émission, sans débordement") << 2000000000 << 2000000001 << 100;
}

void test_panneau::pourcentage() {
    QFETCH(int, ecoule);
    QFETCH(int, longueur);
    QFETCH(int, attendu);
    const date_heure deb = date_heure::depuis_date(jour0, 20);
    const date_heure fin = deb + date_heure::depuis_secondes(std::abs(longueur));
    QCOMPARE(pourcentage_ecoule(deb + date_heure::depuis_secondes(ecoule), deb, fin,
                                date_heure::depuis_secondes(longueur)),
             attendu);
}

void test_panneau::plus_de_32767_lignes() {
    // Positions past 16-bit range: the mark and the successor still land right.
    constexpr int nb = 40000;
    std::vector<ligne_panneau> lignes(nb);
    const date_heure debut = date_heure::depuis_date(jour0, 0);
    for (int i = 0; i < nb; ++i) {
        auto& l = lignes[size_t(i)];
        l.hdeb = debut + date_heure::depuis_secondes(60 * i);
        l.hfin = l.hdeb + date_heure::depuis_secondes(60);
        l.duree = date_heure::depuis_secondes(60);
        l.chaine = 1;
        l.programme = QString::number(i + 1);
    }
    const auto e = calculer(lignes, 1, debut + date_heure::depuis_secondes(60 * 39000 + 30));
    QCOMPARE(e.ligne_en_cours, qint64(39001));
    QCOMPARE(e.rangees[rang_suite].titre, QStringLiteral("39002"));
    QCOMPARE(e.nb_lignes_chaine, qint64(nb));
    QCOMPARE(e.progres, 50);
}

QTEST_GUILESS_MAIN(test_panneau)
#include "test_panneau.moc"
