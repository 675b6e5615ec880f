#include "composants/dessins.h"
#include "donnees/taille_fenetre.h"
#include "modele/guide.h"
#include "outils/banc_fenetre.h"
#include "outils/controles.h"
#include "outils/version_projet.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"

#include <QHeaderView>
#include <QImage>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <map>
#include <set>
#include <vector>

using zapo::vues::fl_main;

namespace {
QImage dessiner_en_image(int n) {
    return zapo::composants::dessiner_logo(n).toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

class test_fl_main : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titre() {
        QCOMPARE(zapo::vues::titre_fenetre(), QStringLiteral("Zapo-TV  ") + zapo::essais::version_projet());
    }

    // What waits for the first frame is told once, after the programmes filled in its wake.
    void premiere_peinture_data() {
        QTest::addColumn<bool>("apres_affichage");
        QTest::newRow("remplie après la première image") << true;
        QTest::newRow("remplie avant d'être montrée") << false;
    }
    void premiere_peinture() {
        QFETCH(bool, apres_affichage);
        zapo::essais::banc_principal b;
        QTreeWidget* prog = zapo::essais::controle<QTreeWidget>(*b.f, "lst_prog");
        QList<int> lignes;
        connect(b.f.get(), &fl_main::premiere_peinture, this, [&] { lignes << prog->topLevelItemCount(); });
        b.f->rafraichir_fenetre(apres_affichage);
        QCOMPARE(lignes.size(), 0);
        QTRY_COMPARE(lignes.size(), 1);
        QVERIFY(lignes.front() > 0);
        b.f->resize(b.f->size() + QSize(40, 40));
        b.f->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(lignes.size(), 1);
    }

    void controles_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QRect>("twips"); // left, top, width, height
        const auto r = [](int l, int t, int w, int h) { return QRect(l, t, w, h); };
        QTest::newRow("txt_date") << "txt_date"
                                  << "" << r(120, 100, 3135, 255);
        QTest::newRow("txt_etat") << "txt_etat"
                                  << "" << r(120, 330, 3135, 255);
        QTest::newRow("Shape2") << "Shape2"
                                << "" << r(120, 120, 5175, 495);
        QTest::newRow("bt_maj") << "bt_maj"
                                << "Mettre à jour" << r(3360, 180, 1455, 375);
        QTest::newRow("lst_chaines") << "lst_chaines"
                                     << "" << r(120, 720, 5175, 6975);
        QTest::newRow("bt_ajouter") << "bt_ajouter"
                                    << "Ajouter" << r(120, 7680, 1455, 375);
        QTest::newRow("bt_suppr") << "bt_suppr"
                                  << "Supprimer" << r(1560, 7680, 1455, 375);
        QTest::newRow("Image1") << "Image1"
                                << "" << r(3120, 7725, 1935, 420);
        QTest::newRow("Shape1") << "Shape1"
                                << "" << r(5400, 120, 4575, 7935);
        QTest::newRow("Frame1") << "Frame1"
                                << "" << r(5520, 240, 4335, 3255);
        QTest::newRow("Label2") << "Label2"
                                << "Actuellement :" << r(120, 0, 2415, 375);
        QTest::newRow("txt_hd1") << "txt_hd1"
                                 << "" << r(120, 360, 735, 300);
        QTest::newRow("txt1") << "txt1"
                              << "" << r(840, 360, 2655, 300);
        QTest::newRow("txt_hf1") << "txt_hf1"
                                 << "" << r(3480, 360, 735, 300);
        QTest::newRow("progres") << "progres"
                                 << "" << r(120, 720, 4095, 225);
        QTest::newRow("Label5") << "Label5"
                                << "La suite :" << r(120, 1200, 2415, 375);
        QTest::newRow("txt2") << "txt2"
                              << "" << r(840, 1560, 2655, 300);
        QTest::newRow("Label15") << "Label15"
                                 << "Ce soir :" << r(120, 2040, 2415, 375);
        QTest::newRow("txt_hd3") << "txt_hd3"
                                 << "" << r(120, 2400, 735, 300);
        QTest::newRow("txt_hf4") << "txt_hf4"
                                 << "" << r(3480, 2760, 735, 300);
        QTest::newRow("Label16") << "Label16"
                                 << "Liste des programmes  :" << r(5640, 3720, 3015, 375);
        QTest::newRow("lst_prog") << "lst_prog"
                                  << "" << r(5520, 4080, 4335, 3900);
    }
    void controles() {
        QFETCH(QString, nom);
        QFETCH(QString, texte);
        QFETCH(QRect, twips);
        zapo::contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        fl_main f(ctx);
        auto* w = f.findChild<QWidget*>(nom);
        QVERIFY2(w, qPrintable(nom));
        const QRect attendu(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
                            qRound(twips.height() / 15.0));
        QCOMPARE(w->geometry(), attendu);
        if (auto* l = qobject_cast<QLabel*>(w))
            QCOMPARE(l->text(), texte);
        if (auto* b = qobject_cast<QPushButton*>(w))
            QCOMPARE(b->text(), texte);
    }

    void menus() {
        zapo::contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        fl_main f(ctx);
        const QList<QPair<QString, QStringList>> attendus = {
            {QStringLiteral("Fichier"),
             {QStringLiteral("adate:Date de la base"), QStringLiteral("amaj:Mettre la base à jour"),
              QStringLiteral("afermer:Réduire"), QStringLiteral("aquitter:Quitter")}},
            {QStringLiteral("Chaines"),
             {QStringLiteral("dajout:Ajouter une chaine"),
              QStringLiteral("dsupr:Supprimer la chaine courante"),
              QStringLiteral("dvide:Vider la liste des chaines"), QStringLiteral(":"),
              QStringLiteral("drecherche:Rechercher..."),
              QStringLiteral("dcesoir:Ce soir sur toutes les chaînes"),
              QStringLiteral("dgrille:Grille des programmes")}},
            {QStringLiteral("Option"),
             {QStringLiteral("cmajauto:Mise à jour automatique"),
              QStringLiteral("cconnectauto:Connexion si besoin"),
              QStringLiteral("cdecauto:Déconnexion après mise à jour"),
              QStringLiteral("cagent:Utiliser l'agent Zapo-TV")}},
            {QStringLiteral("?"), {QStringLiteral("baide:Aide"), QStringLiteral("bpropos:A propos...")}},
        };
        const auto menus = f.menuBar()->actions();
        QCOMPARE(menus.size(), attendus.size());
        for (int i = 0; i < menus.size(); ++i) {
            QCOMPARE(menus[i]->text(), attendus[i].first);
            QStringList vus;
            for (QAction* a : menus[i]->menu()->actions())
                vus << a->objectName() + QLatin1Char(':') + a->text();
            QCOMPARE(vus, attendus[i].second);
            for (QAction* a : menus[i]->menu()->actions())
                QCOMPARE(a->isCheckable(), i == 2); // the four options carry ticks
        }
        QStringList noms_menus;
        for (QMenu* m : f.menuBar()->findChildren<QMenu*>())
            noms_menus << m->objectName();
        for (const char* n : {"menua", "menud", "menuc", "menub"})
            QVERIFY(noms_menus.contains(QLatin1String(n)));
    }

    // Each menu item asks the application for one command of its own, every command
    // has its menu item, and each button asks for what the menu item it stands for does.
    void commandes() {
        zapo::contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        fl_main f(ctx);
        QList<fl_main::commande> vues;
        connect(&f, &fl_main::commande_choisie, this, [&](fl_main::commande c) { vues << c; });
        const auto sans_marques = [](QString t) {
            return t.remove(QLatin1Char('&')).remove(QStringLiteral("..."));
        };
        std::map<QString, fl_main::commande> par_texte;
        std::set<fl_main::commande> par_menu;
        for (QAction* m : f.menuBar()->actions())
            for (QAction* a : m->menu()->actions()) {
                if (a->isSeparator() || a->menu())
                    continue;
                vues.clear();
                a->trigger();
                QVERIFY2(vues.size() == 1, qPrintable(a->objectName()));
                QVERIFY2(par_menu.insert(vues[0]).second, qPrintable(a->objectName()));
                par_texte[sans_marques(a->text())] = vues[0];
            }
        QCOMPARE(int(par_menu.size()), QMetaEnum::fromType<fl_main::commande>().keyCount());
        // A button says with its first word which menu item it stands for.
        for (const char* nom : {"bt_maj", "bt_ajouter", "bt_suppr"}) {
            auto* b = zapo::essais::controle<QPushButton>(f, nom);
            const QString verbe = sans_marques(b->text()).section(QLatin1Char(' '), 0, 0);
            std::vector<fl_main::commande> items;
            for (const auto& [texte, c] : par_texte)
                if (texte.startsWith(verbe + QLatin1Char(' ')))
                    items.push_back(c);
            QVERIFY2(items.size() == 1, nom);
            vues.clear();
            b->click();
            QCOMPARE(vues, QList<fl_main::commande>{items.front()});
        }
    }

    // The lists and the minute's tick reach the application as signals of the window.
    void signaux_des_listes() {
        zapo::contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        fl_main f(ctx);
        QTreeWidget* chaines = zapo::essais::controle<QTreeWidget>(f, "lst_chaines");
        QTreeWidget* prog = zapo::essais::controle<QTreeWidget>(f, "lst_prog");
        chaines->setColumnCount(4);
        prog->setColumnCount(4);
        for (int n : {2, 3}) {
            auto* it = new QTreeWidgetItem(chaines, {QStringLiteral("Chaine %1").arg(n)});
            it->setData(0, zapo::vues::role_num_chaine, n);
        }
        new QTreeWidgetItem(prog, {QString(), QStringLiteral("20:00")});
        QSignalSpy choisie(&f, &fl_main::chaine_choisie);
        QSignalSpy activee(&f, &fl_main::programme_active);
        QSignalSpy colonne(&f, &fl_main::colonne_cliquee);

        QCOMPARE(f.chaine_selectionnee(), 0);
        QCOMPARE(f.premiere_chaine(), 2);
        chaines->setCurrentItem(chaines->topLevelItem(1));
        QVERIFY(!choisie.isEmpty());
        QCOMPARE(f.chaine_selectionnee(), 3);
        Q_EMIT prog->itemActivated(prog->topLevelItem(0), 1);
        QCOMPARE(activee.size(), 1);
        Q_EMIT prog->header()->sectionClicked(2);
        QCOMPARE(colonne.size(), 1);
        QCOMPARE(colonne.at(0).at(0).toInt(), 2);
        chaines->clear();
        QCOMPARE(f.premiere_chaine(), 0);
        QCOMPARE(f.chaine_selectionnee(), 0);
    }

    void agrandir();
    void aide_liste_vide();

    void couleurs_et_logos() {
        zapo::contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        fl_main f(ctx);
        QCOMPARE(zapo::essais::controle<QLabel>(f, "txt_etat")->palette().color(QPalette::WindowText),
                 QColor(192, 0, 0));
        QCOMPARE(zapo::essais::controle<QLabel>(f, "txt_etat")->font().pointSizeF(), 11.25);
        QCOMPARE(f.lst_images().size(), size_t(16));
        QVERIFY(f.image(0).isNull());
        QVERIFY(f.image(17).isNull());
        std::vector<QImage> vues_badges;
        for (int n = 1; n <= 16; ++n) {
            const QPixmap p = f.image(n);
            QCOMPARE(p.deviceIndependentSize().toSize(), QSize(48, 35));
            const QImage i = p.toImage().convertToFormat(QImage::Format_ARGB32);
            // Drawn on a clear canvas: the corner stays see-through, the middle is painted.
            QCOMPARE(qAlpha(i.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(i.pixel(i.width() / 8, i.height() / 2)), 255);
            QCOMPARE(i, dessiner_en_image(n));
            vues_badges.push_back(i);
        }
        // Sixteen distinct badges: none repeats another.
        for (size_t a = 0; a < vues_badges.size(); ++a)
            for (size_t b = a + 1; b < vues_badges.size(); ++b)
                QVERIFY2(vues_badges[a] != vues_badges[b],
                         qPrintable(QStringLiteral("%1 = %2").arg(a + 1).arg(b + 1)));
        // Three marks: grey, green, and red for the programme on now.
        QCOMPARE(f.lst_icone().size(), size_t(3));
        const auto milieu = [&f](int k) {
            const QImage i = f.lst_icone()[size_t(k)].pixmap(16, 16).toImage();
            return QColor(i.pixel(i.width() / 2 - 1, i.height() / 2));
        };
        const QColor gris = milieu(0), vert = milieu(1), rouge = milieu(2);
        QVERIFY(qAbs(gris.red() - gris.green()) < 16 && qAbs(gris.green() - gris.blue()) < 16);
        QVERIFY(vert.green() > 2 * vert.red() && vert.green() > 2 * vert.blue());
        QVERIFY(rouge.red() > 2 * rouge.green() && rouge.red() > 2 * rouge.blue());
    }
};

void test_fl_main::agrandir() {
    // Opens as drawn; enlarged, the lists and the panel's labels grow, the rest
    // keeps its place beside them; the next opening takes the size back.
    zapo::essais::banc_principal b;
    b.remplir();
    QVERIFY(QTest::qWaitForWindowExposed(b.f.get()));
    QWidget* centre = b.f->centralWidget();
    QCOMPARE(centre->size(), QSize(673, 546));
    const auto geo = [&](const char* nom) {
        return b.f->findChild<QWidget*>(QLatin1String(nom))->geometry();
    };
    QLabel* txt1 = zapo::essais::controle<QLabel>(*b.f, "txt1");
    const QString titre = QStringLiteral("Le magazine de la santé et du bien-être au quotidien");
    QCOMPARE(txt1->text(), titre);
    QVERIFY(txt1->fontMetrics().horizontalAdvance(titre) > txt1->width()); // cut as drawn
    b.f->resize(b.f->size() + QSize(400, 120));
    QTRY_COMPARE(centre->size(), QSize(1073, 666));
    QCOMPARE(geo("lst_chaines"), QRect(8, 48, 345 + 200, 465 + 120));
    QCOMPARE(geo("bt_maj"), QRect(224 + 200, 12, 97, 25));
    QCOMPARE(geo("bt_suppr"), QRect(104, 512 + 120, 97, 25));
    QCOMPARE(geo("Frame1"), QRect(368 + 200, 16, 289 + 200, 217));
    QCOMPARE(geo("Label2"), QRect(8, 0, 161 + 200, 25));
    QCOMPARE(geo("txt_hf1"), QRect(232 + 200, 24, 49, 20));
    QCOMPARE(geo("lst_prog"), QRect(368 + 200, 272, 289 + 200, 260 + 120));
    // The title now shows whole, and the lists' last columns take the room.
    QVERIFY(txt1->fontMetrics().horizontalAdvance(titre) <= txt1->contentsRect().width());
    auto* chaines = zapo::essais::controle<QTreeWidget>(*b.f, "lst_chaines");
    QVERIFY(chaines->columnWidth(0) + chaines->columnWidth(1) + chaines->columnWidth(2) > 345 + 150);
    QVERIFY(!chaines->horizontalScrollBar()->isVisible());
    // Kept when it goes, taken back at the next opening, within the screen.
    const QSize agrandie = b.f->minimumSizeHint() + QSize(60, 20);
    b.f->resize(agrandie);
    QTRY_COMPARE(b.f->size(), agrandie);
    b.f->close();
    {
        auto base = b.base();
        QCOMPARE(zapo::donnees::lire_taille_fenetre(base), std::optional<QSize>(agrandie));
    }
    fl_main g(b.ctx);
    g.setAttribute(Qt::WA_DeleteOnClose, false);
    g.rafraichir_fenetre();
    QCOMPARE(g.size(), agrandie);
    g.close();
    {
        auto base = b.base();
        zapo::donnees::ecrire_taille_fenetre(base, QSize(9000, 9000));
    }
    fl_main h(b.ctx);
    h.setAttribute(Qt::WA_DeleteOnClose, false);
    h.rafraichir_fenetre();
    QVERIFY(h.size().width() <= h.screen()->availableGeometry().width());
    QVERIFY(h.size().height() <= h.screen()->availableGeometry().height());
    QVERIFY(h.size().width() >= h.minimumSizeHint().width());
    h.close();
}

void test_fl_main::aide_liste_vide() {
    // An empty channel list says what to do; it goes once a channel is there.
    zapo::essais::banc_main b;
    b.f->remplir_chaines();
    b.f->show();
    QLabel* aide = zapo::essais::controle<QLabel>(*b.f, "txt_aide_vide");
    QCOMPARE(aide->text(), QStringLiteral("Ajoutez vos chaînes avec « Ajouter », puis « Mettre à jour »."));
    QVERIFY(aide->isVisible());
    auto* chaines = zapo::essais::controle<QTreeWidget>(*b.f, "lst_chaines");
    QCOMPARE(chaines->accessibleDescription(), aide->text());
    QVERIFY(aide->heightForWidth(aide->width()) <= aide->height());
    b.base().ajouter_chaine({2, QStringLiteral("France 2"), QStringLiteral("http://127.0.0.1/2"), 2});
    b.f->remplir_chaines();
    QVERIFY(!aide->isVisible());
    QVERIFY(chaines->accessibleDescription().isEmpty());
}

QTEST_MAIN(test_fl_main)
#include "test_fl_main.moc"
