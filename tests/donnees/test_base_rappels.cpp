// Reminders in the base: an older file, a channel removed, and what an update
// does to them (follow, stay, favourite words once).
#include "donnees/base_rappels.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"

#include <QTest>

using namespace zapo;
using namespace zapo::donnees;

namespace {

date_heure a(int h, int m) {
    return date_heure::depuis_date(QDate(2026, 12, 8), h, m);
}

fiche_programme fiche(const QString& titre, date_heure debut, int minutes = 60) {
    const date_heure d = date_heure::duree_hm(0, minutes);
    return {titre, debut, d, debut + d};
}

rappel sur(int chaine, const fiche_programme& f) {
    rappel r;
    r.chaine = chaine;
    r.debut = f.hdeb;
    r.fin = f.hfin;
    r.titre = f.programme;
    return r;
}

// Two channels and their evening.
void remplir(base_programmes& b) {
    b.ajouter_chaine({1, QStringLiteral("Canal Un"), QStringLiteral("http://127.0.0.1/1"), 1});
    b.ajouter_chaine({2, QStringLiteral("Canal Deux"), QStringLiteral("http://127.0.0.1/2"), 2});
    const fiche_programme un[] = {fiche(QStringLiteral("Journal"), a(20, 0)),
                                  fiche(QStringLiteral("Le Grand Été"), a(21, 0))};
    const fiche_programme deux[] = {fiche(QStringLiteral("Columbo"), a(21, 0)),
                                    fiche(QStringLiteral("Météo"), a(22, 0), 10)};
    b.remplacer_programmes(1, un);
    b.remplacer_programmes(2, deux);
}

// The four tables' rows, every value with its type.
QString quatre_tables(const QString& chemin) {
    essais::base_brute b(chemin);
    QString res;
    for (const char* t : {"maj", "chaines", "modele", "liste"}) {
        const QByteArray sql = QByteArray("SELECT rowid, * FROM ") + t + " ORDER BY rowid";
        requete r(b.poignee(), sql.constData(), chemin);
        while (r.pas()) {
            for (int i = 0; i < r.nb_colonnes(); ++i)
                res += QString::fromLatin1(r.valeur(i).typeName()) + QLatin1Char(':') +
                       r.valeur(i).toString() + QLatin1Char('|');
            res += QLatin1Char('\n');
        }
    }
    return res;
}

} // namespace

class test_base_rappels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The delivered file has none of the new tables: it reads as "nothing set",
    // passes the start-up check before and after they appear, and its four tables
    // are left as they were.
    void fichier_ancien() {
        essais::dossier_essai d;
        QVERIFY(d.valide());
        const QString avant = quatre_tables(d.base());
        {
            base_programmes b(d.base());
            QVERIFY(!b.a_table("rappels"));
            QVERIFY(lire_rappels(b).empty());
            QCOMPARE(lire_minutes_avant(b), minutes_avant_defaut);
            QVERIFY(lire_mots_favoris(b).isEmpty());
            retirer_rappel(b, 1, a(21, 0));
            marquer_envoye(b, 1);
            ajuster_rappels(b, a(19, 0));
            QVERIFY(!b.a_table("rappels"));
            ecrire_minutes_avant(b, 15);
            ecrire_mots_favoris(b, {QStringLiteral("Columbo")});
        }
        base_programmes b(d.base(), base_programmes::ouverture::verification);
        b.verifier_structure();
        QCOMPARE(lire_minutes_avant(b), 15);
        QCOMPARE(lire_mots_favoris(b), QStringList{QStringLiteral("Columbo")});
        QCOMPARE(quatre_tables(d.base()), avant);
    }

    void reglage_minutes_data() {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("lu");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("10") << "10" << 10;
        QTest::newRow("hors choix") << "7" << minutes_avant_defaut;
        QTest::newRow("négatif") << "-5" << minutes_avant_defaut;
        QTest::newRow("texte") << "bientôt" << minutes_avant_defaut;
    }
    // A value edited by hand reads as the default.
    void reglage_minutes() {
        QFETCH(QString, valeur);
        QFETCH(int, lu);
        essais::dossier_essai d;
        base_programmes b(d.base());
        creer_tables_rappels(b);
        requete(b.connexion(), "INSERT INTO reglages (cle, valeur) VALUES ('minutes_avant', ?1)", b.chemin())
            .lier(1, valeur)
            .executer();
        QCOMPARE(lire_minutes_avant(b), lu);
    }

    // "Ne plus me prévenir" keeps the row as removed; "Me prévenir" again brings it back.
    void retirer_puis_remettre() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        remplir(b);
        const auto f = fiche(QStringLiteral("Le Grand Été"), a(21, 0));
        ajouter_rappel(b, sur(1, f));
        retirer_rappel(b, 1, a(21, 0));
        auto v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(1));
        QVERIFY(v[0].retire);
        ajouter_rappel(b, sur(1, f));
        v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(1));
        QVERIFY(!v[0].retire);
        QCOMPARE(v[0].titre, QStringLiteral("Le Grand Été"));
    }

    // Removing a channel removes its reminders, and only its own.
    void chaine_supprimee() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        remplir(b);
        ajouter_rappel(b, sur(1, fiche(QStringLiteral("Le Grand Été"), a(21, 0))));
        ajouter_rappel(b, sur(2, fiche(QStringLiteral("Columbo"), a(21, 0))));
        b.effacer_chaine(2);
        const auto v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(1));
        QCOMPARE(v[0].chaine, 1);
        b.effacer_chaine(1);
        QVERIFY(lire_rappels(b).empty());
    }

    // An update moves the programme by 20 minutes: the reminder follows. One
    // that lost its programme stays at its time.
    void suivre_apres_maj() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        remplir(b);
        ajouter_rappel(b, sur(1, fiche(QStringLiteral("Le Grand Été"), a(21, 0))));
        ajouter_rappel(b, sur(2, fiche(QStringLiteral("Météo"), a(22, 0), 10)));
        const fiche_programme un[] = {fiche(QStringLiteral("Journal"), a(20, 0), 80),
                                      fiche(QStringLiteral("Le Grand Été"), a(21, 20), 70)};
        const fiche_programme deux[] = {fiche(QStringLiteral("Columbo"), a(21, 0), 90)};
        b.remplacer_programmes(1, un);
        b.remplacer_programmes(2, deux);
        ajuster_rappels(b, a(19, 0));
        const auto v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(2));
        QCOMPARE(v[0].debut, a(21, 20));
        QCOMPARE(v[0].fin, a(22, 30));
        QCOMPARE(v[1].debut, a(22, 0));
        QCOMPARE(v[1].titre, QStringLiteral("Météo"));
    }

    // Words add reminders after each update, once; one the user removed stays
    // removed; a removed word adds nothing more.
    void mots_favoris() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        remplir(b);
        ecrire_mots_favoris(b, {QStringLiteral("columbo"), QStringLiteral("ETE")});
        ajuster_rappels(b, a(19, 0));
        auto v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(2));
        QVERIFY(v[0].automatique && v[1].automatique);
        ajuster_rappels(b, a(19, 0));
        QCOMPARE(lire_rappels(b).size(), std::size_t(2));
        retirer_rappel(b, 2, a(21, 0));
        ajuster_rappels(b, a(19, 0));
        v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(2));
        QVERIFY(v[1].retire);
        // Tomorrow's showing is a new programme: it gets its own.
        const fiche_programme deux[] = {fiche(QStringLiteral("Columbo"), a(21, 0)),
                                        fiche(QStringLiteral("Columbo"), a(21, 0) + un_jour)};
        b.remplacer_programmes(2, deux);
        ajuster_rappels(b, a(19, 0));
        QCOMPARE(lire_rappels(b).size(), std::size_t(3));
    }

    // Rows of programmes over for a day go; the others stay, told or not.
    void menage() {
        essais::dossier_essai d;
        base_programmes b(d.base());
        remplir(b);
        ajouter_rappel(b, sur(1, fiche(QStringLiteral("Journal"), a(20, 0))));
        ajouter_rappel(b, sur(1, fiche(QStringLiteral("Le Grand Été"), a(21, 0))));
        ajuster_rappels(b, a(21, 30) + un_jour);
        const auto v = lire_rappels(b);
        QCOMPARE(v.size(), std::size_t(1));
        QCOMPARE(v[0].titre, QStringLiteral("Le Grand Été"));
    }
};

QTEST_GUILESS_MAIN(test_base_rappels)
#include "test_base_rappels.moc"
