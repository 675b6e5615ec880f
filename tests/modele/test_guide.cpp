// The guide without a window: each change is announced by the signals of what
// it touches, in order, and the base is read again only when something changed.
#include "donnees/base_rappels.h"
#include "modele/guide.h"
#include "noyau/contexte.h"
#include "outils/dossier_essai.h"
#include "outils/horloge_fixe.h"

#include <QFile>
#include <QTest>

#include <functional>

using namespace zapo;

namespace {

QDateTime le_8(int h, int m) {
    return QDateTime(QDate(2026, 12, 8), QTime(h, m));
}
date_heure dh(int h, int m) {
    return date_heure::depuis_qdatetime(le_8(h, m));
}

struct banc_guide {
    essais::dossier_essai d;
    horloge_fixe h{le_8(20, 0)};
    contexte ctx;
    modele::guide g{ctx};
    QStringList entendus;

    banc_guide() {
        ctx.dossier_appli = d.chemin();
        ctx.horloge_ = &h;
        ctx.guide = &g;
        donnees::base_programmes b(d.base());
        b.ajouter_chaine({1, QStringLiteral("Canal Un"), QStringLiteral("http://127.0.0.1/1"), 1});
        const fiche_programme p[] = {{QStringLiteral("Le Grand Été"), dh(21, 0), une_heure, dh(22, 0)},
                                     {QStringLiteral("Météo"), dh(22, 0), une_heure, dh(23, 0)}};
        b.remplacer_programmes(1, p);
        ecouter(&modele::guide::chaines_changees, "chaines");
        ecouter(&modele::guide::programmes_changes, "programmes");
        ecouter(&modele::guide::sante_changee, "sante");
        ecouter(&modele::guide::rappels_changes, "rappels");
        ecouter(&modele::guide::mots_changes, "mots");
        ecouter(&modele::guide::reglages_changes, "reglages");
        ecouter(&modele::guide::rappel_ajoute, "rappel_ajoute");
        ecouter(&modele::guide::fenetres_changees, "fenetres");
        ecouter(&modele::guide::logos_changes, "logos");
        ecouter(&modele::guide::etat_maj_change, "etat");
    }
    void ecouter(void (modele::guide::*signal)(), const char* nom) {
        QObject::connect(&g, signal, &g, [this, nom] { entendus << QString::fromLatin1(nom); });
    }
};

using operation = std::function<void(modele::guide&)>;

} // namespace

Q_DECLARE_METATYPE(operation)

class test_guide : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void annonces_data() {
        QTest::addColumn<operation>("faire");
        QTest::addColumn<QStringList>("signaux");
        const qint64 a_21h = dh(21, 0).secondes();
        QTest::newRow("rappel posé") << operation([=](modele::guide& g) {
            QVERIFY(g.basculer_rappel(1, a_21h, false));
        }) << QStringList{"rappels", "rappel_ajoute"};
        QTest::newRow("programme disparu")
            << operation([](modele::guide& g) { QVERIFY(!g.basculer_rappel(1, dh(6, 0).secondes(), false)); })
            << QStringList();
        QTest::newRow("rappel retiré")
            << operation([=](modele::guide& g) { QVERIFY(g.basculer_rappel(1, a_21h, true)); })
            << QStringList{"rappels"};
        QTest::newRow("réglage") << operation([](modele::guide& g) { g.ecrire_minutes_avant(15); })
                                 << QStringList{"reglages"};
        QTest::newRow("mots favoris") << operation([](modele::guide& g) {
            QCOMPARE(g.ecrire_mots_favoris({QStringLiteral("météo")}), 1);
        }) << QStringList{"mots", "rappels", "rappel_ajoute"};
        QTest::newRow("mots sans programme") << operation([](modele::guide& g) {
            QCOMPARE(g.ecrire_mots_favoris({QStringLiteral("tennis")}), 0);
        }) << QStringList{"mots", "rappels"};
        QTest::newRow("chaîne ajoutée") << operation([](modele::guide& g) {
            QCOMPARE(g.ajouter_du_catalogue(QStringLiteral("Arte"), 2).resultat,
                     donnees::resultat_ajout::ajoutee);
        }) << QStringList{"chaines"};
        QTest::newRow("chaîne déjà là") << operation([](modele::guide& g) {
            (void)g.ajouter_du_catalogue(QStringLiteral("Arte"), 2, [&g] {
                QCOMPARE(g.chaines().size(), std::size_t(2)); // in before anyone hears of it
            });
            QCOMPARE(g.ajouter_du_catalogue(QStringLiteral("Arte"), 2).resultat,
                     donnees::resultat_ajout::deja_presente);
        }) << QStringList{"chaines"};
        QTest::newRow("chaîne retirée") << operation([](modele::guide& g) {
            g.retirer_chaine(1);
            QVERIFY(g.chaines().empty());
        }) << QStringList{"chaines", "rappels"};
        QTest::newRow("liste vidée") << operation([](modele::guide& g) {
            g.vider_chaines();
            QVERIFY(g.chaines().empty());
        }) << QStringList{"chaines", "rappels"};
        QTest::newRow("taille de la fenêtre") << operation([](modele::guide& g) {
            g.ecrire_taille_fenetre(QSize(800, 600));
        }) << QStringList{"fenetres"};
        QTest::newRow("place de la grille") << operation([](modele::guide& g) {
            g.ecrire_place_grille(QRect(10, 20, 800, 600));
        }) << QStringList{"fenetres"};
        QTest::newRow("agent proposé") << operation([](modele::guide& g) { g.noter_agent_propose(); })
                                       << QStringList{"reglages"};
        QTest::newRow("fin d'une mise à jour")
            << operation([](modele::guide& g) { g.finir_maj(true); })
            << QStringList{"etat", "sante", "programmes", "logos", "rappels"};
        QTest::newRow("début d'une mise à jour") << operation([](modele::guide& g) { g.commencer_maj(); })
                                                 << QStringList{"etat"};
        QTest::newRow("statut") << operation([](modele::guide& g) {
            g.definir_statut(modele::statut_maj::echec);
            g.definir_statut(modele::statut_maj::echec); // the same again: nothing new
        }) << QStringList{"etat"};
    }
    void annonces() {
        QFETCH(operation, faire);
        QFETCH(QStringList, signaux);
        banc_guide b;
        faire(b.g);
        QCOMPARE(b.entendus, signaux);
    }

    // The user hears how many reminders the words hold before a reminder added
    // is announced (which may offer the agent).
    void mots_dits_avant_rappel_ajoute() {
        banc_guide b;
        const int nb = b.g.ecrire_mots_favoris({QStringLiteral("météo")}, [&b](int n) {
            b.entendus << QStringLiteral("dit %1").arg(n);
        });
        QCOMPARE(nb, 1);
        QCOMPARE(b.entendus, (QStringList{"mots", "rappels", "dit 1", "rappel_ajoute"}));
    }

    // What the guide says after a change is what the base holds.
    void lectures_suivent_les_ecritures() {
        banc_guide b;
        const qint64 a_21h = dh(21, 0).secondes();
        QVERIFY(!b.g.rappel_prevu(1, a_21h));
        QVERIFY(b.g.basculer_rappel(1, a_21h, false));
        QVERIFY(b.g.rappel_prevu(1, a_21h));
        QVERIFY(b.g.basculer_rappel(1, a_21h, true));
        QVERIFY(!b.g.rappel_prevu(1, a_21h));
        b.g.ecrire_minutes_avant(10);
        QCOMPARE(b.g.minutes_avant(), 10);
        // Anything but the four choices reads as the default.
        b.g.ecrire_minutes_avant(7);
        QCOMPARE(b.g.minutes_avant(), minutes_avant_defaut);
        b.g.ecrire_mots_favoris({QStringLiteral("Été")});
        QCOMPARE(b.g.mots_favoris(), QStringList{QStringLiteral("Été")});
    }

    // Read once per change: a write behind the guide shows only once announced.
    void une_lecture_par_changement() {
        banc_guide b;
        QCOMPARE(b.g.rappels().size(), std::size_t(0));
        {
            donnees::base_programmes base(b.d.base());
            donnees::ajouter_rappel(base, rappel{0, 1, dh(22, 0), dh(23, 0), QStringLiteral("Météo")});
        }
        QCOMPARE(b.g.rappels().size(), std::size_t(0));
        b.g.finir_maj(false); // as a run that wrote nothing ends
        QCOMPARE(b.g.rappels().size(), std::size_t(1));
        QVERIFY(b.g.rappel_prevu(1, dh(22, 0).secondes()));
    }

    // A session's reads share one connection, let go at its end; outside one
    // nothing stays open between reads (WAL's side files go with the last one).
    void seances() {
        banc_guide b;
        const QString wal = b.d.base() + QStringLiteral("-wal");
        QCOMPARE(b.g.chaines().size(), std::size_t(1));
        QVERIFY(!QFile::exists(wal));
        {
            const modele::guide::seance s(b.g);
            const modele::guide::seance imbriquee(b.g);
            QCOMPARE(b.g.chaines().size(), std::size_t(1));
            QVERIFY(QFile::exists(wal));
        }
        QVERIFY(!QFile::exists(wal));

        // The folder named now, even when it changed during the session.
        essais::dossier_essai autre;
        const modele::guide::seance s(b.g);
        QCOMPARE(b.g.chaines().size(), std::size_t(1));
        b.ctx.dossier_appli = autre.chemin();
        QVERIFY(b.g.chaines().empty());
    }

    // Reads grouped as one see one state of the file, whatever is written meanwhile.
    void une_lecture_un_etat() {
        banc_guide b;
        std::size_t avant = 0, pendant = 0;
        b.g.en_une_lecture([&] {
            avant = b.g.chaines().size();
            donnees::base_programmes(b.d.base())
                .ajouter_chaine({2, QStringLiteral("Canal Deux"), QStringLiteral("http://127.0.0.1/2"), 2});
            pendant = b.g.chaines().size();
        });
        QCOMPARE(pendant, avant);
        QCOMPARE(b.g.chaines().size(), avant + 1);
    }
};

QTEST_GUILESS_MAIN(test_guide)
#include "test_guide.moc"
