#include "chaines/gest_chaines.h"
#include "donnees/base_programmes.h"
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
    int nb_rafraichis = 0;

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
        fenetre = std::make_unique<vues::fl_main>(ctx);
        boites = {};
        nb_rafraichis = 0;
        ctx = contexte{};
        ctx.guide = guide.get();
        ctx.dossier_appli = dossier->chemin();
        ctx.boites = &boites;
        ctx.horloge_ = &horloge;
        // The refresh rebuilds the list from the tables, as the real one does.
        appli.rafraichir = [this] {
            ++nb_rafraichis;
            fenetre->remplir_chaines();
        };
        ctx.appli = &appli;
    }
    void cleanup() {
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
        QCOMPARE(nb_rafraichis, int(chaines.size() - restantes.size()));
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
        std::vector<int> passes; // the channels listed at each refresh
        appli.rafraichir = [&] {
            ++nb_rafraichis;
            fenetre->remplir_chaines();
            passes.push_back(essais::controle<QTreeWidget>(*fenetre, "lst_chaines")->topLevelItemCount());
        };

        QVERIFY(liaison::garde(
            ctx, [&] { chaines::vider_chaines(ctx, [&] { return fenetre->premiere_chaine(); }); }));

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
        // One pass, and one refresh, per removed channel.
        std::vector<int> attendu;
        for (int reste = int(chaines.size() - 1); reste >= int(restantes.size()); --reste)
            attendu.push_back(reste);
        QCOMPARE(passes, attendu);
    }

    // A number that cannot be a channel asks for a choice and removes nothing; emptying
    // stops when the list does not move on (a refresh that shows the same first channel).
    void garde_fous() {
        remplir({1, 2, 3});
        boites.reponses.push_back(reponse_boite::ok);
        QVERIFY(liaison::garde(ctx, [&] { chaines::supprimer_chaine(ctx, 70000); }));
        QCOMPARE(boites.vues.size(), size_t(1));
        QCOMPARE(boites.vues[0].texte, avertissement);
        QCOMPARE(numeros_restants(), (QList<int>{1, 2, 3}));

        int demandes = 0;
        boites.reponses.push_back(reponse_boite::ok);
        QVERIFY(liaison::garde(ctx, [&] {
            chaines::vider_chaines(ctx, [&] {
                ++demandes;
                return 3; // as a list that no refresh changes
            });
        }));
        QCOMPARE(demandes, 2);
        QCOMPARE(numeros_restants(), (QList<int>{1, 2}));
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
        QCOMPARE(nb_rafraichis, 0);
    }
};

QTEST_MAIN(test_gest_chaines)
#include "test_gest_chaines.moc"
