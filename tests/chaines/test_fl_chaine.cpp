#include "chaines/fl_chaine.h"
#include "composants/dessins.h"
#include "donnees/base_programmes.h"
#include "modele/guide.h"
#include "outils/base_essai.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"

#include <QtTest>

using namespace zapo;
using zapo::chaines::fl_chaine;
using zapo::chaines::resultat_ajout;

namespace {

void inserer(const QString& chemin, const QList<int>& numeros) {
    donnees::base_programmes base(chemin);
    for (int n : numeros)
        base.ajouter_chaine(
            {n, QStringLiteral("Chaine %1").arg(n), QStringLiteral("http://127.0.0.1/%1").arg(n), 1});
}

void executer(const QString& chemin, const char* sql) {
    essais::executer_sql(chemin, sql);
}

} // namespace

class test_fl_chaine : public QObject {
    Q_OBJECT

    std::unique_ptr<essais::dossier_essai> dossier;
    essais::fausses_boites boites;
    essais::fausse_appli appli;
    contexte ctx;
    std::unique_ptr<modele::guide> guide;
    std::unique_ptr<QSignalSpy> annonces; // chaines_changees
    int nb_chargements = 0;                // the main window asked for
    std::vector<QPixmap> logos;

    QString base() const { return dossier->base(); }
    std::vector<donnees::chaine> chaines() { return donnees::base_programmes(base()).lire_chaines(); }
    donnees::bilan_ajout ajouter(const QString& nom, int num_image) {
        donnees::base_programmes b(base());
        return donnees::ajouter_du_catalogue(b, nom, num_image);
    }
    void choisir(fl_chaine* f, const QString& nom) {
        const auto l = essais::controle<QListWidget>(*f, "lst_dispo")->findItems(nom, Qt::MatchExactly);
        QVERIFY(!l.isEmpty());
        essais::controle<QListWidget>(*f, "lst_dispo")->setCurrentItem(l.first());
    }

private Q_SLOTS:
    void initTestCase() {
        for (int n = 1; n <= 16; ++n)
            logos.push_back(composants::dessiner_logo(n));
    }
    void init() {
        dossier = std::make_unique<essais::dossier_essai>();
        QVERIFY(dossier->valide());
        boites = {};
        nb_chargements = 0;
        ctx = contexte{};
        ctx.dossier_appli = dossier->chemin();
        ctx.boites = &boites;
        appli.charger = [this] { ++nb_chargements; };
        ctx.appli = &appli;
        guide = std::make_unique<modele::guide>(ctx);
        ctx.guide = guide.get();
        annonces = std::make_unique<QSignalSpy>(guide.get(), &modele::guide::chaines_changees);
    }
    void cleanup() {
        delete fl_chaine::ouverte();
        annonces.reset();
        guide.reset();
        dossier.reset();
    }

    // Numbering: one more than the greatest number present, never less than 2.
    void numerotation_data() {
        QTest::addColumn<QList<int>>("presents");
        QTest::addColumn<QList<int>>("retires");
        QTest::addColumn<int>("attendu");
        QTest::newRow("table vide") << QList<int>{} << QList<int>{} << 2;
        QTest::newRow("1, 2, 5") << QList<int>{1, 2, 5} << QList<int>{} << 6;
        QTest::newRow("5 retirée de 1, 2, 5") << QList<int>{1, 2, 5} << QList<int>{5} << 3;
        QTest::newRow("2 retirée de 1, 2, 5") << QList<int>{1, 2, 5} << QList<int>{2} << 6;
        QTest::newRow("tout retiré") << QList<int>{2, 3} << QList<int>{2, 3} << 2;
        QTest::newRow("1 seule") << QList<int>{1} << QList<int>{} << 2;
        QTest::newRow("désordre") << QList<int>{9, 4, 7} << QList<int>{} << 10;
        QTest::newRow("négatifs") << QList<int>{-3, 0} << QList<int>{} << 2;
        QTest::newRow("dernier numéro possible") << QList<int>{32766} << QList<int>{} << 32767;
    }
    void numerotation() {
        QFETCH(QList<int>, presents);
        QFETCH(QList<int>, retires);
        QFETCH(int, attendu);
        inserer(base(), presents);
        for (int n : retires)
            donnees::base_programmes(base()).effacer_chaine(n);
        const auto bilan = ajouter(QStringLiteral("Arte"), 7);
        QCOMPARE(bilan.resultat, resultat_ajout::ajoutee);
        QCOMPARE(bilan.nb_lignes, 1);
        const auto c = chaines();
        QCOMPARE(int(c.size()), presents.size() - retires.size() + 1);
        QCOMPARE(c.back().num_chaine, attendu);
        QCOMPARE(c.back().nom, QStringLiteral("Arte"));
        QCOMPARE(c.back().num_image, 7);
        QVERIFY(c.back().adresse.endsWith(QStringLiteral("#Arte.fr")));
    }

    // Exact, case-sensitive comparison with the chosen names, or a channel
    // already at one of the chosen rows' addresses (renamed on air since);
    // every catalogue row of the chosen name is added, all with the same number.
    void doublons_data() {
        QTest::addColumn<QString>("deja");
        QTest::addColumn<QString>("choisi");
        QTest::addColumn<int>("resultat");
        QTest::addColumn<QStringList>("adresses_ajoutees");
        QTest::newRow("même nom") << "TF1"
                                  << "TF1" << int(resultat_ajout::deja_presente) << QStringList{};
        QTest::newRow("casse différente")
            << "TF1"
            << "tf1" << int(resultat_ajout::ajoutee) << QStringList{"http://127.0.0.1/tf1-minuscules"};
        QTest::newRow("blanc final") << "TF1 "
                                     << "TF1" << int(resultat_ajout::ajoutee)
                                     << QStringList{"https://xmltvfr.fr/xmltv/xmltv_tnt.xml#TF1.fr"};
        QTest::newRow("renommée depuis, même adresse")
            << "RMC Life"
            << "Chérie 25" << int(resultat_ajout::deja_presente) << QStringList{};
        QTest::newRow("deux lignes du catalogue")
            << "TF1"
            << "M6" << int(resultat_ajout::ajoutee)
            << QStringList{"https://xmltvfr.fr/xmltv/xmltv_tnt.xml#M6.fr", "http://127.0.0.1/m6-bis"};
    }
    void doublons() {
        QFETCH(QString, deja);
        QFETCH(QString, choisi);
        QFETCH(int, resultat);
        QFETCH(QStringList, adresses_ajoutees);
        executer(base(), "INSERT INTO modele (nom, url) VALUES ('tf1', 'http://127.0.0.1/tf1-minuscules'), "
                         "('M6', 'http://127.0.0.1/m6-bis'), ('Chérie 25', 'http://127.0.0.1/4')");
        donnees::base_programmes(base()).ajouter_chaine({4, deja, QStringLiteral("http://127.0.0.1/4"), 2});
        const auto bilan = ajouter(choisi, 9);
        QCOMPARE(int(bilan.resultat), resultat);
        const auto c = chaines();
        QCOMPARE(int(c.size()), 1 + adresses_ajoutees.size());
        for (qsizetype i = 0; i < adresses_ajoutees.size(); ++i) {
            const auto& ajoutee = c[size_t(i + 1)];
            QCOMPARE(ajoutee.nom, choisi);
            QCOMPARE(ajoutee.adresse, adresses_ajoutees[i]);
            QCOMPARE(ajoutee.num_chaine, 5);
            QCOMPARE(ajoutee.num_image, 9);
        }
    }

    void plus_de_numero_libre() {
        inserer(base(), {3, 32767});
        const auto bilan = ajouter(QStringLiteral("Arte"), 1);
        QCOMPARE(bilan.resultat, resultat_ajout::numeros_epuises);
        QCOMPARE(chaines().size(), size_t(2));
    }

    // The dialog itself.
    void chargement() {
        auto* f = fl_chaine::afficher(ctx, logos);
        QCOMPARE(f->windowTitle(), QStringLiteral("Ajouter une chaine"));
        QVERIFY(f->isVisible());
        QVERIFY(!f->isModal());
        QVERIFY(f->parentWidget() == nullptr);
        QStringList noms;
        for (const auto& m : donnees::base_programmes(base()).lire_modele())
            noms << m.nom;
        QStringList vus;
        for (int i = 0; i < essais::controle<QListWidget>(*f, "lst_dispo")->count(); ++i)
            vus << essais::controle<QListWidget>(*f, "lst_dispo")->item(i)->text();
        QCOMPARE(vus, noms);
        QCOMPARE(f->image_courante, 1);
        QCOMPARE(f->nb_images, 16);
        // Tab order from the first control: Annuler, OK, the list, ">", "<", and round again.
        QCOMPARE(f->focusWidget(), essais::controle<QPushButton>(*f, "bt_annuler"));
        QList<QWidget*> ordre{essais::controle<QPushButton>(*f, "bt_annuler")};
        for (QWidget* w = essais::controle<QPushButton>(*f, "bt_annuler")->nextInFocusChain();
             w != essais::controle<QPushButton>(*f, "bt_annuler"); w = w->nextInFocusChain())
            if (w != f && (w->focusPolicy() & Qt::TabFocus))
                ordre << w;
        const QList<QWidget*> attendu{
            essais::controle<QPushButton>(*f, "bt_annuler"), essais::controle<QPushButton>(*f, "bt_ok"),
            essais::controle<QListWidget>(*f, "lst_dispo"), essais::controle<QPushButton>(*f, "bt_suiv"),
            essais::controle<QPushButton>(*f, "bt_preced")};
        QCOMPARE(ordre, attendu);
    }

    void images_data() {
        QTest::addColumn<QString>("appuis");
        QTest::addColumn<int>("attendue");
        QTest::newRow("< depuis 1") << "<" << 16;
        QTest::newRow("> trois fois") << ">>>" << 4;
        QTest::newRow("< puis >") << "<>" << 1;
        QTest::newRow("> seize fois") << QString(16, QLatin1Char('>')) << 1;
        QTest::newRow("> quinze fois") << QString(15, QLatin1Char('>')) << 16;
        QTest::newRow("< deux fois") << "<<" << 15;
    }
    void images() {
        QFETCH(QString, appuis);
        QFETCH(int, attendue);
        auto* f = fl_chaine::afficher(ctx, logos);
        for (QChar c : appuis)
            QTest::mouseClick(c == QLatin1Char('<') ? essais::controle<QPushButton>(*f, "bt_preced")
                                                    : essais::controle<QPushButton>(*f, "bt_suiv"),
                              Qt::LeftButton);
        QCOMPARE(f->image_courante, attendue);
        QCOMPARE(essais::controle<QLabel>(*f, "img")->pixmap().toImage(),
                 logos[size_t(attendue - 1)].toImage());
    }

    void ok_ajoute_ferme_et_rafraichit() {
        auto* f = fl_chaine::afficher(ctx, logos);
        QPointer<fl_chaine> garde_vue(f);
        choisir(f, QStringLiteral("Arte"));
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_suiv"), Qt::LeftButton);
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_suiv"), Qt::LeftButton);
        // The dialog is gone before the windows hear of the channel.
        QObject::connect(guide.get(), &modele::guide::chaines_changees, f,
                         [f] { QVERIFY(!f->isVisible()); });
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_ok"), Qt::LeftButton);
        QVERIFY(boites.vues.empty());
        QCOMPARE(annonces->size(), 1);
        QCOMPARE(nb_chargements, 1);
        QTRY_VERIFY(garde_vue.isNull());
        const auto c = chaines();
        QCOMPARE(c.size(), size_t(1));
        QCOMPARE(c[0].nom, QStringLiteral("Arte"));
        QCOMPARE(c[0].num_chaine, 2);
        QCOMPARE(c[0].num_image, 3);
    }

    void ok_sans_choix_ne_fait_rien() {
        auto* f = fl_chaine::afficher(ctx, logos);
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_ok"), Qt::LeftButton);
        QVERIFY(f->isVisible());
        QVERIFY(boites.vues.empty());
        QCOMPARE(annonces->size(), 0);
        QVERIFY(chaines().empty());
    }

    // A refusal leaves the dialog open, with its choice and picture.
    void refus_data() {
        QTest::addColumn<QList<int>>("numeros");
        QTest::addColumn<QString>("nom_present");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("debut_texte");
        QTest::addColumn<int>("icone");
        QTest::newRow("déjà présente") << QList<int>{} << "M6"
                                       << "zapo-TV"
                                       << "Cette chaine est déjà presente." << int(icone_boite::information);
        QTest::newRow("numéros épuisés") << QList<int>{32767} << ""
                                         << "Zapo-TV"
                                         << "La chaine n'a pas été ajoutée" << int(icone_boite::exclamation);
    }
    void refus() {
        QFETCH(QList<int>, numeros);
        QFETCH(QString, nom_present);
        QFETCH(QString, titre);
        QFETCH(QString, debut_texte);
        QFETCH(int, icone);
        inserer(base(), numeros);
        if (!nom_present.isEmpty())
            donnees::base_programmes(base()).ajouter_chaine(
                {2, nom_present, QStringLiteral("http://127.0.0.1/"), 1});
        const auto avant = chaines().size();
        auto* f = fl_chaine::afficher(ctx, logos);
        choisir(f, QStringLiteral("M6"));
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_preced"), Qt::LeftButton);
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_ok"), Qt::LeftButton);
        QCOMPARE(boites.vues.size(), size_t(1));
        QCOMPARE(boites.vues[0].titre, titre);
        QVERIFY2(boites.vues[0].texte.startsWith(debut_texte), qPrintable(boites.vues[0].texte));
        QCOMPARE(int(boites.vues[0].icone), icone);
        QCOMPARE(boites.vues[0].boutons, boutons_boite::ok);
        QVERIFY(f->isVisible());
        QCOMPARE(essais::controle<QListWidget>(*f, "lst_dispo")->currentItem()->text(), QStringLiteral("M6"));
        QCOMPARE(f->image_courante, 16);
        QCOMPARE(chaines().size(), avant);
        QCOMPARE(annonces->size(), 0);
        QCOMPARE(nb_chargements, 0);
    }

    void une_seule_fenetre() {
        auto* f = fl_chaine::afficher(ctx, logos);
        choisir(f, QStringLiteral("TMC"));
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_suiv"), Qt::LeftButton);
        // Opened again (button then menu): the same window, not reloaded.
        QCOMPARE(fl_chaine::afficher(ctx, logos), f);
        QCOMPARE(f->image_courante, 2);
        QCOMPARE(essais::controle<QListWidget>(*f, "lst_dispo")->currentItem()->text(),
                 QStringLiteral("TMC"));
        QPointer<fl_chaine> ancienne(f);
        QTest::keyClick(f, Qt::Key_Escape);
        QTRY_VERIFY(ancienne.isNull());
        QVERIFY(fl_chaine::ouverte() == nullptr);
        auto* g = fl_chaine::afficher(ctx, logos);
        QCOMPARE(g->image_courante, 1);
        QVERIFY(essais::controle<QListWidget>(*g, "lst_dispo")->selectedItems().isEmpty());
        QVERIFY(chaines().empty());
    }

    void base_illisible() {
        ctx.dossier_appli = dossier->chemin() + QStringLiteral("/absent");
        QVERIFY_THROWS_EXCEPTION(donnees::erreur_base, fl_chaine::afficher(ctx, logos));
        QVERIFY(fl_chaine::ouverte() == nullptr);
    }
};

QTEST_MAIN(test_fl_chaine)
#include "test_fl_chaine.moc"
