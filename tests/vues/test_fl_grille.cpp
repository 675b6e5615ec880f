// The grid window driven in process, on a base of the test's own.
#include "composants/annonce.h"
#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "noyau/genres.h"
#include "outils/banc_fenetre.h"
#include "outils/controles.h"
#include "vues/fl_details.h"
#include "vues/fl_grille.h"
#include "vues/grille_vue.h"

#include <QAccessible>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 7); // a Monday

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(jour0.addDays(jour), h, m);
}

fiche_programme prog(const char* titre, date_heure d, int minutes, const char* categorie = nullptr) {
    fiche_programme p{QString::fromUtf8(titre), d, date_heure::duree_hm(0, minutes),
                      d + date_heure::duree_hm(0, minutes)};
    if (categorie)
        p.details.categories = {QString::fromUtf8(categorie)};
    return p;
}

QStringList annonces;
void recevoir(QAccessibleEvent* e) {
    if (e->type() == QAccessible::Focus && !e->object())
        if (QAccessibleInterface* i = e->accessibleInterface())
            annonces << i->text(QAccessible::Name);
}

// Three channels; today's rows of channel 1 in `liste` with their details, the
// rest of the week in `semaine` only.
struct banc : essais::banc_main {
    QList<int> allers;

    banc() : banc_main(QDateTime(jour0, QTime(20, 15))) {
        auto b = base();
        for (int i = 1; i <= 3; ++i)
            b.ajouter_chaine(
                {i, QStringLiteral("Chaine %1").arg(i), QStringLiteral("http://127.0.0.1/%1").arg(i), i});
        donnees::creer_semaine(b);
        const std::vector<fiche_programme> liste1{prog("Journal", a(0, 20, 0), 40, "Journal"),
                                                  prog("Le Film", a(0, 20, 50), 110, "Film")};
        b.remplacer_programmes(1, liste1);
        donnees::remplacer_details(b, 1, liste1);
        std::vector<fiche_programme> sem1 = liste1;
        sem1.push_back(prog("Nuit", a(0, 22, 40), 200));
        sem1.push_back(prog("Matin", a(1, 2, 0), 60));
        sem1.push_back(prog("Demain soir", a(1, 20, 5), 60, "Série policière"));
        donnees::remplacer_semaine(b, 1, sem1);
        donnees::remplacer_semaine(b, 2,
                                   std::vector{prog("Dessins", a(0, 19, 30), 60, "Dessin animé"),
                                               prog("Match", a(0, 20, 30), 120, "Magazine sportif"),
                                               prog("Concert", a(2, 21, 0), 90, "Concert")});
        donnees::remplacer_semaine(b, 3, std::vector{prog("Jeu", a(0, 20, 10), 30, "Jeu")});
    }
    ~banc() {
        delete vues::fl_grille::ouverte();
        delete vues::fl_details::ouverte();
    }
    vues::fl_grille* ouvrir() {
        auto* w = vues::fl_grille::afficher(ctx, [this](int c) { allers << c; });
        w->resize(1000, 500);
        QApplication::setActiveWindow(w);
        w->grille()->setFocus();
        if (!QTest::qWaitFor([w] { return w->grille()->hasFocus(); }))
            qWarning("La grille n'a pas le focus");
        return w;
    }
    static QString choisi(vues::vue_grille* g) {
        return g->nom_accessible(g->rangee_choisie(), g->index_choisi());
    }
};

} // namespace

class test_fl_grille : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { composants::diffuser_annonce = &recevoir; }
    void ouverture();
    void clavier_data();
    void clavier();
    void jours();
    void jour_coche_data();
    void jour_coche();
    void filtre();
    void rappel_par_le_menu();
};

void test_fl_grille::ouverture() {
    banc b;
    vues::fl_grille* w = b.ouvrir();
    QCOMPARE(w->windowTitle(), QStringLiteral("Zapo-TV - Grille"));
    QCOMPARE(vues::fl_grille::afficher(b.ctx, {}), w); // one at a time
    QCOMPARE(essais::controle<QAction>(*b.f, "dgrille")->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
    vues::vue_grille* g = w->grille();
    // Opens on now, the programme on now chosen.
    QCOMPARE(banc::choisi(g), QStringLiteral("Chaine 1, Aujourd'hui de 20:00 à 20:40, Journal, Information"));
    QVERIFY(g->temps_gauche() <= a(0, 20, 15) && g->temps_gauche() >= a(0, 19, 0));
    // The accessible table: a row per channel, each programme a named cell.
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(g);
    QVERIFY(i && i->tableInterface());
    QCOMPARE(i->role(), QAccessible::Table);
    QCOMPARE(i->tableInterface()->rowCount(), 3);
    QAccessibleInterface* c = i->tableInterface()->cellAt(1, 1);
    QVERIFY(c);
    QCOMPARE(c->role(), QAccessible::Cell);
    QCOMPARE(c->text(QAccessible::Name),
             QStringLiteral("Chaine 2, Aujourd'hui de 20:30 à 22:30, Match, Sport"));
    QCOMPARE(i->focusChild()->text(QAccessible::Name), banc::choisi(g));
    // A double-click on a channel's name shows it in the main window.
    const QPoint nom(20, vues::vue_grille::hauteur_regle + vues::vue_grille::hauteur_rangee * 2 + 10);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, nom);
    QCOMPARE(b.allers, QList<int>{3});
}

void test_fl_grille::clavier_data() {
    QTest::addColumn<QList<int>>("touches");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("right: next in time")
        << QList<int>{Qt::Key_Right} << "Chaine 1, Aujourd'hui de 20:50 à 22:40, Le Film, Film";
    QTest::newRow("left at the first read stays")
        << QList<int>{Qt::Key_Left, Qt::Key_Left}
        << "Chaine 1, Aujourd'hui de 20:00 à 20:40, Journal, Information";
    QTest::newRow("down keeps the time")
        << QList<int>{Qt::Key_Down} << "Chaine 2, Aujourd'hui de 19:30 à 20:30, Dessins, Jeunesse";
    QTest::newRow("down twice") << QList<int>{Qt::Key_Down, Qt::Key_Down}
                                << "Chaine 3, Aujourd'hui de 20:10 à 20:40, Jeu, Divertissement";
    QTest::newRow("right, down, up: the time of the move")
        << QList<int>{Qt::Key_Right, Qt::Key_Down, Qt::Key_Up}
        << "Chaine 1, Aujourd'hui de 20:50 à 22:40, Le Film, Film";
    QTest::newRow("across midnight") << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}
                                     << "Chaine 1, Demain de 02:00 à 03:00, Matin, Autre";
    QTest::newRow("page down: the next day")
        << QList<int>{Qt::Key_PageDown} << "Chaine 1, Demain de 20:05 à 21:05, Demain soir, Série";
    QTest::newRow("home: back to now") << QList<int>{Qt::Key_PageDown, Qt::Key_Home}
                                       << "Chaine 1, Aujourd'hui de 20:00 à 20:40, Journal, Information";
}

void test_fl_grille::clavier() {
    QFETCH(QList<int>, touches);
    QFETCH(QString, attendu);
    banc b;
    vues::fl_grille* w = b.ouvrir();
    vues::vue_grille* g = w->grille();
    annonces.clear();
    for (int t : touches)
        QTest::keyClick(g, Qt::Key(t));
    QCOMPARE(banc::choisi(g), attendu);
    // Each move told to assistive technology.
    QVERIFY(!annonces.isEmpty());
    QCOMPARE(annonces.last(), attendu);
    // The chosen block is in view.
    QVERIFY(!g->rect_bloc(g->rangee_choisie(), g->index_choisi()).isNull());
    // Enter opens "Détails" on it.
    QTest::keyClick(g, Qt::Key_Return);
    QTRY_VERIFY(vues::fl_details::ouverte());
    QVERIFY(vues::fl_details::ouverte()->texte().contains(
        g->rangee_de(g->rangee_choisie())->programmes[size_t(g->index_choisi())].titre));
}

void test_fl_grille::jours() {
    banc b;
    vues::fl_grille* w = b.ouvrir();
    vues::vue_grille* g = w->grille();
    // Today to the week's last day, then "Ce soir".
    QStringList textes;
    for (int j = 0;; ++j) {
        auto* bt = w->findChild<QPushButton*>(QStringLiteral("bt_jour_%1").arg(j));
        if (!bt)
            break;
        textes << bt->text();
    }
    QCOMPARE(textes, (QStringList{QStringLiteral("Aujourd'hui"), QStringLiteral("Demain"),
                                  QStringLiteral("mercredi 9")}));
    QVERIFY(essais::controle<QPushButton>(*w, "bt_jour_0")->isChecked());
    QTest::keyClick(g, Qt::Key_Down);
    essais::controle<QPushButton>(*w, "bt_jour_2")->click();
    QCOMPARE(g->temps_gauche().jour(), a(2, 0, 0));
    QVERIFY(essais::controle<QPushButton>(*w, "bt_jour_2")->isChecked());
    // The day's programmes were read as it came into view.
    essais::controle<QPushButton>(*w, "bt_ce_soir")->click();
    QCOMPARE(g->temps_gauche(), a(2, 20, 0));
    QCOMPARE(banc::choisi(g), QStringLiteral("Chaine 2, mercredi 9 de 21:00 à 22:30, Concert, Musique"));
}

// Every way of checking a day moves the grid there, as a click does: a screen
// reader's toggle action checks the button without clicking it.
void test_fl_grille::jour_coche_data() {
    QTest::addColumn<QString>("facon");
    QTest::addColumn<int>("jour");
    QTest::newRow("toggle action") << "basculer" << 1;
    QTest::newRow("press action") << "appuyer" << 1;
    QTest::newRow("space key") << "espace" << 2;
    QTest::newRow("click") << "clic" << 2;
    QTest::newRow("click on the checked today") << "clic" << 0;
}

void test_fl_grille::jour_coche() {
    QFETCH(QString, facon);
    QFETCH(int, jour);
    banc b;
    vues::fl_grille* w = b.ouvrir();
    vues::vue_grille* g = w->grille();
    // Away from now, so that today's button has somewhere to bring the grid back from.
    g->aller_a(a(0, 9, 0));
    auto* bt = essais::controle<QPushButton>(*w, qPrintable(QStringLiteral("bt_jour_%1").arg(jour)));
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(bt)->actionInterface();
    QVERIFY(actions);
    if (facon == QLatin1String("basculer")) {
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
    } else if (facon == QLatin1String("appuyer")) {
        actions->doAction(QAccessibleActionInterface::pressAction());
    } else if (facon == QLatin1String("espace")) {
        bt->setFocus();
        QTest::keyClick(bt, Qt::Key_Space);
    } else {
        QTest::mouseClick(bt, Qt::LeftButton);
    }
    QTRY_VERIFY(bt->isChecked());
    if (jour == 0)
        QTRY_VERIFY(g->temps_gauche() > a(0, 19, 0));
    else
        QTRY_COMPARE(g->temps_gauche().jour(), a(jour, 0, 0));
    // Moved once: the time of day in view is kept.
    if (jour != 0)
        QCOMPARE(g->temps_gauche().seconde_du_jour() / 3600, 8);
}

void test_fl_grille::filtre() {
    banc b;
    vues::fl_grille* w = b.ouvrir();
    vues::vue_grille* g = w->grille();
    auto* cbo = essais::controle<QComboBox>(*w, "cbo_genre");
    QCOMPARE(cbo->itemText(0), QStringLiteral("Tous les genres"));
    // The colour of a block's corner, away from its texts.
    const auto coin = [g](int r, int i) {
        const QImage im = g->viewport()->grab().toImage();
        const QRect bloc = g->rect_bloc(r, i);
        return im.pixelColor(bloc.bottomRight() - QPoint(4, 4)).rgb() & 0xFFFFFF;
    };
    QCOMPARE(coin(1, 1), couleurs_du_genre(genre_programme::sport, false).fond);
    cbo->setCurrentText(texte_genre(genre_programme::film));
    QCOMPARE(coin(0, 1), couleurs_du_genre(genre_programme::film, false).fond);
    QVERIFY(coin(1, 1) != couleurs_du_genre(genre_programme::sport, false).fond);
    // Named controls, reachable by Tab.
    for (const char* nom : {"cbo_genre", "zoom", "bt_jour_0", "bt_ce_soir"}) {
        auto* c = essais::controle<QWidget>(*w, nom);
        QVERIFY2(c->focusPolicy() & Qt::TabFocus, nom);
        QVERIFY2(!QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name).isEmpty(), nom);
    }
    // The zoom: Ctrl++ widens the blocks, the slider follows.
    const int avant = g->rect_bloc(0, 0).width();
    QTest::keyClick(g, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(essais::controle<QSlider>(*w, "zoom")->value(), zoom_grille_initial + 1);
    QVERIFY(g->rect_bloc(0, 0).width() > avant);
}

void test_fl_grille::rappel_par_le_menu() {
    banc b;
    vues::fl_grille* w = b.ouvrir();
    vues::vue_grille* g = w->grille();
    QTest::keyClick(g, Qt::Key_Right);
    for (const char* attendu : {"Me prévenir", "Ne plus me prévenir"}) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), g->viewport()->mapToGlobal(QPoint()));
        QCoreApplication::sendEvent(g->viewport(), &menu);
        QMenu* m = nullptr;
        QTRY_VERIFY((m = w->findChild<QMenu*>(QStringLiteral("menu_rappel"))));
        auto* action = m->findChild<QAction*>(QStringLiteral("action_rappel"));
        QVERIFY(action);
        QCOMPARE(action->text(), QString::fromUtf8(attendu));
        action->trigger();
        m->close();
        QTRY_VERIFY(!w->findChild<QMenu*>(QStringLiteral("menu_rappel")));
        const bool prevu = banc::choisi(g).endsWith(QStringLiteral(", rappel prévu"));
        QCOMPARE(prevu, QByteArray(attendu) == "Me prévenir");
    }
}

QTEST_MAIN(test_fl_grille)
#include "test_fl_grille.moc"
