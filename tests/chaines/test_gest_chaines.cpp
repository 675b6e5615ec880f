#include "chaines/gest_chaines.h"
#include "donnees/base_programmes.h"
#include "donnees/base_rappels.h"
#include "liaison/garde.h"
#include "modele/guide.h"
#include "outils/base_essai.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/horloge_fixe.h"
#include "outils/faux_services.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"

#include <QtTest>

#include <map>

using namespace zapo;

namespace {

const QString avertissement = QStringLiteral("veuillez sélectionner une chaine dans la liste.");
const QString confirmation = QStringLiteral("Etes-vous sûr de vouloir supprimer cette chaine ?");
const QString question_vider = QStringLiteral(
    "Vous êtes sur le point de supprimer toute les chaines de la liste.\rEtes vous sûr de vouloir "
    "continuer ?");

} // namespace

class test_gest_chaines : public QObject {
    Q_OBJECT

    std::unique_ptr<essais::dossier_essai> dossier;
    std::unique_ptr<vues::fl_main> fenetre;
    essais::fausses_boites boites;
    essais::fausse_appli appli;
    // The window answers a choice in its list by itself, which reads the clock.
    horloge_fixe horloge{QDateTime(QDate(2024, 3, 1), QTime(20, 30))};
    contexte ctx;
    std::unique_ptr<modele::guide> guide;
    std::unique_ptr<QSignalSpy> annonces; // chaines_changees

    QString base() const { return dossier->base(); }

    // Channels 1, 2, 3 with two programmes each, and two programmes of a channel
    // that is not listed.
    void remplir(const QList<int>& numeros) {
        donnees::base_programmes b(base());
        const auto debut = date_heure::depuis_date(QDate(2024, 3, 1), 20, 0);
        for (int n : numeros) {
            b.ajouter_chaine(
                {n, QStringLiteral("Chaine %1").arg(n), QStringLiteral("http://127.0.0.1/%1").arg(n), n});
            for (int i = 0; i < 2; ++i)
                b.ajouter_programme(
                    {QStringLiteral("Emission %1").arg(i), debut, date_heure::duree_hm(1, 0), debut}, n);
        }
        b.ajouter_programme({QStringLiteral("Orpheline"), debut, date_heure::duree_hm(1, 0), debut}, 9);
        fenetre->remplir_chaines();
    }
    QList<int> numeros_restants() {
        QList<int> res;
        for (const auto& c : donnees::base_programmes(base()).lire_chaines())
            res << c.num_chaine;
        return res;
    }
    // Programme rows per channel number.
    std::map<int, int> programmes() {
        std::map<int, int> res;
        for (const auto& l : essais::lire_liste(base()))
            ++res[l.chaine];
        return res;
    }

private Q_SLOTS:
    void init() {
        dossier = std::make_unique<essais::dossier_essai>();
        QVERIFY(dossier->valide());
        guide = std::make_unique<modele::guide>(ctx);
        ctx.guide = guide.get();
        // The window follows the guide by itself: the list is read again at each announcement.
        fenetre = std::make_unique<vues::fl_main>(ctx);
        annonces = std::make_unique<QSignalSpy>(guide.get(), &modele::guide::chaines_changees);
        boites = {};
        ctx = contexte{};
        ctx.guide = guide.get();
        ctx.dossier_appli = dossier->chemin();
        ctx.boites = &boites;
        ctx.horloge_ = &horloge;
        ctx.appli = &appli;
    }
    void cleanup() {
        annonces.reset();
        fenetre.reset();
        guide.reset();
        dossier.reset();
    }

    void supprimer_data() {
        QTest::addColumn<QList<int>>("chaines");
        QTest::addColumn<QList<int>>("lignes_choisies");
        QTest::addColumn<int>("reponse");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("icone");
        QTest::addColumn<int>("boutons");
        QTest::addColumn<QList<int>>("restantes");
        const int ok = int(reponse_boite::ok);
        const int annuler = int(reponse_boite::annuler);
        const int info = int(icone_boite::information);
        const int excl = int(icone_boite::exclamation);
        const int ok_annuler = int(boutons_boite::ok_annuler);
        const int seul_ok = int(boutons_boite::ok);
        QTest::newRow("chaine 2, OK") << QList<int>{1, 2, 3} << QList<int>{1} << ok << confirmation << info
                                      << ok_annuler << QList<int>{1, 3};
        QTest::newRow("chaine 2, Annuler") << QList<int>{1, 2, 3} << QList<int>{1} << annuler << confirmation
                                           << info << ok_annuler << QList<int>{1, 2, 3};
        QTest::newRow("la dernière ligne choisie gagne")
            << QList<int>{1, 2, 3} << QList<int>{0, 2} << ok << confirmation << info << ok_annuler
            << QList<int>{1, 2};
        QTest::newRow("aucune ligne choisie") << QList<int>{1, 2, 3} << QList<int>{} << ok << avertissement
                                              << excl << seul_ok << QList<int>{1, 2, 3};
        QTest::newRow("liste vide") << QList<int>{} << QList<int>{} << ok << avertissement << excl << seul_ok
                                    << QList<int>{};
    }
    void supprimer() {
        QFETCH(QList<int>, chaines);
        QFETCH(QList<int>, lignes_choisies);
        QFETCH(int, reponse);
        QFETCH(QString, texte);
        QFETCH(int, icone);
        QFETCH(int, boutons);
        QFETCH(QList<int>, restantes);
        remplir(chaines);
        essais::controle<QTreeWidget>(*fenetre, "lst_chaines")
            ->setSelectionMode(QAbstractItemView::MultiSelection);
        essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->clearSelection();
        for (int l : lignes_choisies)
            essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->topLevelItem(l)->setSelected(true);
        boites.reponses.push_back(reponse_boite(reponse));

        QVERIFY(liaison::garde(ctx, [&] { chaines::supprimer_chaine(ctx, fenetre->chaine_selectionnee()); }));

        QCOMPARE(boites.vues.size(), size_t(1));
        QCOMPARE(boites.vues[0].titre, QStringLiteral("Zapo-TV"));
        QCOMPARE(boites.vues[0].texte, texte);
        QCOMPARE(int(boites.vues[0].icone), icone);
        QCOMPARE(int(boites.vues[0].boutons), boutons);
        QCOMPARE(numeros_restants(), restantes);
        const auto p = programmes();
        for (int n : chaines)
            QCOMPARE(p.count(n) ? p.at(n) : 0, restantes.contains(n) ? 2 : 0);
        QCOMPARE(p.at(9), 1);
        QCOMPARE(annonces->size(), int(chaines.size() - restantes.size()));
        QCOMPARE(essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->topLevelItemCount(),
                 restantes.size());
    }

    void vider_data() {
        QTest::addColumn<QList<int>>("chaines");
        QTest::addColumn<int>("reponse");
        QTest::addColumn<QList<int>>("restantes");
        QTest::newRow("trois chaines, OK") << QList<int>{2, 5, 3} << int(reponse_boite::ok) << QList<int>{};
        QTest::newRow("trois chaines, Annuler")
            << QList<int>{2, 5, 3} << int(reponse_boite::annuler) << QList<int>{2, 5, 3};
        QTest::newRow("liste vide, OK") << QList<int>{} << int(reponse_boite::ok) << QList<int>{};
    }
    void vider() {
        QFETCH(QList<int>, chaines);
        QFETCH(int, reponse);
        QFETCH(QList<int>, restantes);
        remplir(chaines);
        boites.reponses.push_back(reponse_boite(reponse));
        std::vector<int> vues; // the channels the window lists at each announcement
        connect(guide.get(), &modele::guide::chaines_changees, this, [&] {
            vues.push_back(essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->topLevelItemCount());
        });

        QVERIFY(liaison::garde(ctx, [&] { chaines::vider_chaines(ctx); }));

        QCOMPARE(boites.vues.size(), size_t(1));
        QCOMPARE(boites.vues[0].titre, QStringLiteral("Zapo-TV"));
        QCOMPARE(boites.vues[0].texte, question_vider);
        QCOMPARE(boites.vues[0].icone, icone_boite::information);
        QCOMPARE(boites.vues[0].boutons, boutons_boite::ok_annuler);
        QCOMPARE(numeros_restants(), restantes);
        const auto p = programmes();
        for (int n : chaines)
            QCOMPARE(p.count(n) ? p.at(n) : 0, restantes.contains(n) ? 2 : 0);
        QCOMPARE(p.at(9), 1);
        // Confirmed, the list goes in one announcement (none on Cancel), after
        // which the window lists what is left.
        const bool confirme = reponse == int(reponse_boite::ok);
        QCOMPARE(vues, confirme ? std::vector<int>{int(restantes.size())} : std::vector<int>{});
        QCOMPARE(essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->topLevelItemCount(),
                 restantes.size());
    }

    // A number that cannot be a channel asks for a choice and removes nothing.
    void garde_fous() {
        remplir({1, 2, 3});
        boites.reponses.push_back(reponse_boite::ok);
        QVERIFY(liaison::garde(ctx, [&] { chaines::supprimer_chaine(ctx, 70000); }));
        QCOMPARE(boites.vues.size(), size_t(1));
        QCOMPARE(boites.vues[0].texte, avertissement);
        QCOMPARE(numeros_restants(), (QList<int>{1, 2, 3}));
        QCOMPARE(annonces->size(), 0);
    }

    // Emptying is one transaction: a failure on any channel leaves every one whole,
    // its programmes, health and reminders with it, and nothing is announced.
    void vidage_interrompu() {
        remplir({1, 2, 3});
        {
            donnees::base_programmes b(base());
            const auto debut = date_heure::depuis_date(QDate(2024, 3, 1), 20, 0);
            for (int n : {1, 2})
                donnees::ajouter_rappel(b, rappel{0, n, debut, debut + date_heure::duree_hm(1, 0),
                                                  QStringLiteral("Emission 0")});
        }
        essais::executer_sql(base(), "CREATE TRIGGER panne BEFORE DELETE ON chaines WHEN OLD.num_chaine = 3 "
                                     "BEGIN SELECT RAISE(ABORT, 'panne simulée'); END");
        boites.reponses.push_back(reponse_boite::ok);

        QVERIFY(!liaison::garde(ctx, [&] { chaines::vider_chaines(ctx); }));

        QCOMPARE(boites.vues.size(), size_t(2));
        QCOMPARE(boites.vues[1].icone, icone_boite::critique);
        QCOMPARE(numeros_restants(), (QList<int>{1, 2, 3}));
        const auto p = programmes();
        for (int n : {1, 2, 3})
            QCOMPARE(p.at(n), 2);
        donnees::base_programmes apres(base());
        QCOMPARE(donnees::lire_rappels(apres).size(), size_t(2));
        QCOMPARE(annonces->size(), 0);
    }

    // A failure between the two deletes must leave the channel whole.
    void suppression_interrompue() {
        remplir({1, 2, 3});
        {
            essais::executer_sql(base(), "CREATE TRIGGER panne BEFORE DELETE ON chaines BEGIN "
                                         "SELECT RAISE(ABORT, 'panne simulée'); END");
        }
        essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->topLevelItem(1)->setSelected(true);

        QVERIFY(
            !liaison::garde(ctx, [&] { chaines::supprimer_chaine(ctx, fenetre->chaine_selectionnee()); }));

        QCOMPARE(boites.vues.size(), size_t(2));
        QCOMPARE(boites.vues[1].titre, QStringLiteral("Zapo-TV"));
        QCOMPARE(boites.vues[1].icone, icone_boite::critique);
        QVERIFY2(boites.vues[1].texte.contains(QStringLiteral("panne simulée")),
                 qPrintable(boites.vues[1].texte));
        QCOMPARE(numeros_restants(), (QList<int>{1, 2, 3}));
        const auto p = programmes();
        QCOMPARE(p.count(2) ? p.at(2) : 0, 2);
        QCOMPARE(annonces->size(), 0);
    }
};

QTEST_MAIN(test_gest_chaines)
#include "test_gest_chaines.moc"
