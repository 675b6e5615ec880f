// The reminder rules, with no clock but the one each case names.
#include "noyau/rappels.h"
#include "noyau/repli.h"

#include <QTest>

using namespace zapo;

namespace {

date_heure a(int h, int m) {
    return date_heure::depuis_date(QDate(2026, 12, 8), h, m);
}

rappel r_(int chaine, date_heure debut, date_heure fin, const QString& titre) {
    rappel r;
    r.id = 1;
    r.chaine = chaine;
    r.debut = debut;
    r.fin = fin;
    r.titre = titre;
    return r;
}

} // namespace

Q_DECLARE_METATYPE(zapo::sort_rappel)

class test_rappels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decider_data() {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("maintenant"); // minutes after 20:00
        QTest::addColumn<bool>("envoye");
        QTest::addColumn<bool>("retire");
        QTest::addColumn<sort_rappel>("attendu");
        // The programme: 21:00 to 22:30.
        QTest::newRow("bien avant") << 5 << 0 << false << false << sort_rappel::attendre;
        QTest::newRow("une minute avant l'alerte") << 5 << 54 << false << false << sort_rappel::attendre;
        QTest::newRow("à l'heure de l'alerte") << 5 << 55 << false << false << sort_rappel::avertir;
        QTest::newRow("15 min : alerte à 20:45") << 15 << 45 << false << false << sort_rappel::avertir;
        QTest::newRow("15 min : 20:44") << 15 << 44 << false << false << sort_rappel::attendre;
        QTest::newRow("0 min : au début") << 0 << 60 << false << false << sort_rappel::avertir;
        QTest::newRow("0 min : juste avant") << 0 << 59 << false << false << sort_rappel::attendre;
        QTest::newRow("réglage faux : 5 min") << 7 << 55 << false << false << sort_rappel::avertir;
        QTest::newRow("manqué, encore à l'antenne") << 5 << 120 << false << false << sort_rappel::avertir;
        QTest::newRow("manqué, fini") << 5 << 150 << false << false << sort_rappel::abandonner;
        QTest::newRow("déjà dit") << 5 << 58 << true << false << sort_rappel::rien;
        QTest::newRow("retiré") << 5 << 58 << false << true << sort_rappel::rien;
    }
    void decider() {
        QFETCH(int, minutes);
        QFETCH(int, maintenant);
        QFETCH(bool, envoye);
        QFETCH(bool, retire);
        QFETCH(sort_rappel, attendu);
        rappel r = r_(1, a(21, 0), a(22, 30), QStringLiteral("Film"));
        r.envoye = envoye;
        r.retire = retire;
        QCOMPARE(zapo::decider_rappel(r, a(20, 0) + date_heure::duree_hm(0, maintenant), minutes), attendu);
    }

    // A damaged end (before the start) never keeps a reminder alive past its start.
    void fin_abimee() {
        const rappel r = r_(1, a(21, 0), a(20, 0), QStringLiteral("Film"));
        QCOMPARE(zapo::decider_rappel(r, a(20, 58), 5), sort_rappel::avertir);
        QCOMPARE(zapo::decider_rappel(r, a(21, 1), 5), sort_rappel::abandonner);
    }

    void prochaine() {
        std::vector<rappel> v{r_(1, a(22, 0), a(23, 0), QStringLiteral("B")),
                              r_(1, a(21, 0), a(22, 0), QStringLiteral("A")),
                              r_(1, a(20, 0), a(21, 0), QStringLiteral("dit"))};
        v[2].envoye = true;
        QCOMPARE(prochaine_alerte(v, 10), std::optional(a(20, 50)));
        v[1].retire = true;
        QCOMPARE(prochaine_alerte(v, 0), std::optional(a(22, 0)));
        v[0].envoye = true;
        QVERIFY(!prochaine_alerte(v, 5));
    }

    void suivre_data() {
        QTest::addColumn<int>("chaine");
        QTest::addColumn<int>("decalage"); // minutes from the old start 21:00
        QTest::addColumn<QString>("titre");
        QTest::addColumn<bool>("suit");
        QTest::newRow("même heure") << 1 << 0 << "Le Grand Été" << true;
        QTest::newRow("20 min plus tard") << 1 << 20 << "Le Grand Été" << true;
        QTest::newRow("1 h 30 plus tôt") << 1 << -90 << "Le Grand Été" << true;
        QTest::newRow("2 h pile") << 1 << 120 << "Le Grand Été" << true;
        QTest::newRow("2 h 01") << 1 << 121 << "Le Grand Été" << false;
        QTest::newRow("casse et accents") << 1 << 20 << "LE GRAND ETE" << true;
        QTest::newRow("autre titre") << 1 << 20 << "Le Grand Hiver" << false;
        QTest::newRow("autre chaîne") << 2 << 0 << "Le Grand Été" << false;
    }
    void suivre() {
        QFETCH(int, chaine);
        QFETCH(int, decalage);
        QFETCH(QString, titre);
        QFETCH(bool, suit);
        const rappel r = r_(1, a(21, 0), a(22, 0), QStringLiteral("Le Grand Été"));
        const date_heure debut = a(21, 0) + date_heure::depuis_secondes(qint64(decalage) * 60);
        const std::vector<programme_rappel> p{{chaine, debut, debut + une_heure, titre}};
        const auto res = zapo::suivre_rappel(r, p);
        QCOMPARE(res.has_value(), suit);
        if (suit)
            QCOMPARE(res->debut, debut);
    }

    // Two showings in reach: the one closest to the old start wins.
    void suivre_le_plus_proche() {
        const rappel r = r_(1, a(21, 0), a(22, 0), QStringLiteral("Info"));
        const std::vector<programme_rappel> p{{1, a(19, 30), a(19, 45), QStringLiteral("Info")},
                                              {1, a(21, 20), a(21, 40), QStringLiteral("Info")},
                                              {1, a(22, 30), a(22, 45), QStringLiteral("Info")}};
        QCOMPARE(zapo::suivre_rappel(r, p)->debut, a(21, 20));
    }

    void mots_data() {
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("mot");
        QTest::addColumn<bool>("trouve");
        QTest::newRow("casse") << "COLUMBO"
                               << "columbo" << true;
        QTest::newRow("accents du titre") << "Été indien"
                                          << "ete" << true;
        QTest::newRow("accents du mot") << "Un ete a Paris"
                                        << "Été" << true;
        QTest::newRow("ligature") << "Le Chœur des anges"
                                  << "choeur" << true;
        QTest::newRow("ligature du mot") << "Oeuvres complètes"
                                         << "œuvre" << true;
        QTest::newRow("début de mot") << "Football : Ligue 1"
                                      << "foot" << true;
        QTest::newRow("pluriel") << "Les Films du dimanche"
                                 << "film" << true;
        QTest::newRow("milieu de mot") << "Départ immédiat"
                                       << "art" << false;
        QTest::newRow("après apostrophe") << "L'Arnaque"
                                          << "arnaque" << true;
        QTest::newRow("après ponctuation") << "Rugby/Top 14"
                                           << "top 14" << true;
        QTest::newRow("expression") << "Star Wars : épisode I"
                                    << "star wars" << true;
        QTest::newRow("expression coupée") << "Star Trek Wars"
                                           << "star wars" << false;
        QTest::newRow("seconde occurrence") << "Partie de foot"
                                            << "foot" << true;
        QTest::newRow("occurrence tardive") << "Bart et art"
                                            << "art" << true;
        QTest::newRow("absent") << "Journal"
                                << "météo" << false;
    }
    void mots() {
        QFETCH(QString, titre);
        QFETCH(QString, mot);
        QFETCH(bool, trouve);
        QCOMPARE(titre_contient_mot(replier(titre), replier(mot)), trouve);
    }

    void nettoyer() {
        const QStringList brut{QStringLiteral("  Été  indien "),
                               QString(),
                               QStringLiteral("   "),
                               QStringLiteral("ETE INDIEN"),
                               QStringLiteral("Columbo"),
                               QString(500, QLatin1Char('x'))};
        const QStringList n = nettoyer_mots(brut);
        QCOMPARE(n, (QStringList{QStringLiteral("Été indien"), QStringLiteral("Columbo"),
                                 QString(longueur_mot_max, QLatin1Char('x'))}));
        QStringList beaucoup;
        for (int i = 0; i < 1000; ++i)
            beaucoup << QStringLiteral("mot%1").arg(i);
        QCOMPARE(nettoyer_mots(beaucoup).size(), nb_mots_max);
    }

    // Once per programme: never twice, never one already set, removed or told,
    // never a programme already begun.
    void rappels_des_mots() {
        const std::vector<programme_rappel> p{
            {1, a(20, 0), a(21, 0), QStringLiteral("Columbo (déjà commencé)")},
            {1, a(21, 0), a(22, 0), QStringLiteral("Columbo")},
            {2, a(21, 0), a(22, 0), QStringLiteral("COLUMBO : le retour")},
            {2, a(22, 0), a(23, 0), QStringLiteral("Columbo retiré")},
            {3, a(22, 0), a(23, 0), QStringLiteral("Journal")},
            {3, a(23, 0), a(23, 30), QStringLiteral("Colombo, Sri Lanka")},
        };
        std::vector<rappel> existants{r_(2, a(22, 0), a(23, 0), QStringLiteral("Columbo retiré"))};
        existants[0].retire = true;
        const auto res = zapo::rappels_des_mots(p, {QStringLiteral("columbo"), QStringLiteral("Columbo")},
                                                existants, a(20, 30));
        QCOMPARE(res.size(), std::size_t(2));
        QCOMPARE(res[0].chaine, 1);
        QCOMPARE(res[0].debut, a(21, 0));
        QCOMPARE(res[0].fin, a(22, 0));
        QVERIFY(res[0].automatique);
        QCOMPARE(res[1].chaine, 2);
        QVERIFY(zapo::rappels_des_mots(p, {}, existants, a(20, 30)).empty());
    }

    void ensemble_data() {
        QTest::addColumn<int>("nombre");
        QTest::addColumn<int>("nb_notifications");
        QTest::addColumn<QString>("boite");
        QTest::newRow("un") << 1 << 1 << QStringLiteral("Rappel : Film 0\rC0 à 21:00");
        QTest::newRow("trois, chacun le sien") << 3 << 3
                                               << QStringLiteral("3 rappels :\rFilm 0, C0 à 21:00\r"
                                                                 "Film 1, C1 à 21:00\rFilm 2, C2 à 21:00");
        QTest::newRow("quatre") << 4 << 1
                                << QStringLiteral("4 rappels :\rFilm 0, C0 à 21:00\rFilm 1, C1 à 21:00\r"
                                                  "Film 2, C2 à 21:00\ret 1 autre rappel");
        QTest::newRow("trois mille") << 3000 << 1
                                     << QStringLiteral("3000 rappels :\rFilm 0, C0 à 21:00\rFilm 1, C1 à "
                                                       "21:00\rFilm 2, C2 à 21:00\ret 2997 autres rappels");
    }
    // Reminders due together: a few notifications at most, one box, the rest summed up;
    // "Voir" shows the first.
    void ensemble() {
        QFETCH(int, nombre);
        QFETCH(int, nb_notifications);
        QFETCH(QString, boite);
        std::vector<rappel_a_dire> dits;
        for (int i = 0; i < nombre; ++i)
            dits.push_back(dire_rappel(r_(i + 1, a(21, 0), a(22, 0), QStringLiteral("Film %1").arg(i)),
                                       QStringLiteral("C%1").arg(i), a(20, 55)));
        const auto n = avertissements_rappels(dits);
        QCOMPARE(int(n.size()), nb_notifications);
        QCOMPARE(n.front().chaine, 1);
        QCOMPARE(n.front().debut, a(21, 0));
        const auto tous = resumer_rappels(dits);
        QCOMPARE(texte_boite_rappels(tous), boite);
        QVERIFY(tous.lignes.size() <= nb_avertissements_separes + 1);
    }

    // What saving the words counts: the programmes to come they put a reminder on
    // (the sentences are checked where the window says them).
    void compte_des_mots() {
        std::vector<rappel> r{r_(1, a(21, 0), a(22, 0), QStringLiteral("Columbo")),
                              r_(2, a(21, 0), a(22, 0), QStringLiteral("Le retour de Columbo")),
                              r_(3, a(20, 0), a(21, 0), QStringLiteral("Columbo (commencé)")),
                              r_(4, a(22, 0), a(23, 0), QStringLiteral("Columbo (retiré)")),
                              r_(5, a(22, 0), a(23, 0), QStringLiteral("Journal"))};
        r[3].retire = true;
        const QStringList mots{QStringLiteral("columbo")};
        QCOMPARE(nb_rappels_des_mots(r, mots, a(20, 30)), 2);
        QCOMPARE(nb_rappels_des_mots(r, {QStringLiteral("tennis")}, a(20, 30)), 0);
    }
};

QTEST_APPLESS_MAIN(test_rappels)
#include "test_rappels.moc"
