// Reminders in the main window: the row's menu by mouse and by keyboard, the
// bell a screen reader names, the Option menu's choices, and "Voir".
#include "outils/banc_fenetre.h"

#include "donnees/base_rappels.h"
#include "outils/controles.h"
#include "vues/rappels_vues.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace zapo;
using namespace zapo::essais;

class test_rappels_vues : public QObject {
    Q_OBJECT

    // Opens the row's menu (mouse on the row, or menu key on the current row) and picks its action.
    static QString menu_sur(QTreeWidget* l, int ligne, bool clavier) {
        QString texte;
        QTimer::singleShot(0, [&texte] {
            QWidget* p = nullptr;
            (void)QTest::qWaitFor([&p] { return (p = QApplication::activePopupWidget()) != nullptr; }, 2000);
            auto* m = qobject_cast<QMenu*>(p);
            if (!m || m->actions().size() != 1)
                return;
            texte = m->actions().first()->text();
            m->actions().first()->trigger();
            m->close();
        });
        QTreeWidgetItem* it = l->topLevelItem(ligne);
        if (clavier) {
            l->setCurrentItem(it);
            QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(1, 1), l->mapToGlobal(QPoint(1, 1)));
            QApplication::sendEvent(l, &e);
        } else {
            const QPoint ou = l->visualItemRect(it).center();
            QContextMenuEvent e(QContextMenuEvent::Mouse, ou, l->viewport()->mapToGlobal(ou));
            QApplication::sendEvent(l->viewport(), &e);
        }
        return texte;
    }

private Q_SLOTS:
    void menu_et_cloche_data() {
        QTest::addColumn<bool>("clavier");
        QTest::newRow("souris") << false;
        QTest::newRow("touche Menu") << true;
    }
    void menu_et_cloche() {
        QFETCH(bool, clavier);
        banc_principal b;
        b.remplir();
        QTreeWidget* l = essais::controle<QTreeWidget>(*b.f, "lst_prog");
        vues::installer_menu_rappels(b.ctx, l, 3);
        QCOMPARE(l->topLevelItemCount(), 2);
        QCOMPARE(menu_sur(l, 1, clavier), QStringLiteral("Me prévenir"));
        {
            donnees::base_programmes base(b.dossier.base());
            const auto v = donnees::lire_rappels(base);
            QCOMPARE(v.size(), std::size_t(1));
            QCOMPARE(v[0].chaine, 1);
            QCOMPARE(v[0].titre, QStringLiteral("Journal"));
            QCOMPARE(v[0].debut, date_heure::depuis_date(QDate(2026, 12, 7), 21, 0));
            QCOMPARE(v[0].fin, date_heure::depuis_date(QDate(2026, 12, 7), 22, 0));
        }
        const auto cloche = [&](int ligne) {
            return l->topLevelItem(ligne)->data(3, Qt::AccessibleDescriptionRole).toString() ==
                       vues::texte_rappel_prevu &&
                   !l->topLevelItem(ligne)->icon(3).isNull();
        };
        QVERIFY(cloche(1));
        QVERIFY(!cloche(0));
        // A refill keeps it; sorting by title keeps it on its programme.
        b.f->remplir_programmes();
        b.f->lst_prog_ColumnClick(3);
        QCOMPARE(l->topLevelItem(0)->text(3), QStringLiteral("Journal"));
        QVERIFY(cloche(0));
        QCOMPARE(menu_sur(l, 0, clavier), QStringLiteral("Ne plus me prévenir"));
        QVERIFY(!cloche(0));
        donnees::base_programmes base(b.dossier.base());
        QVERIFY(donnees::lire_rappels(base).at(0).retire);
    }

    // "Prévenir avant le début": four exclusive choices, kept in the base.
    void minutes_avant() {
        banc_principal b;
        b.remplir();
        b.f->ajouter_menus_rappels();
        const auto choix = b.f->findChildren<QAction*>(QStringLiteral("rappel_minutes"));
        QCOMPARE(choix.size(), 4);
        const auto coche = [&] {
            QList<int> c;
            for (auto* a : choix)
                if (a->isChecked())
                    c << a->data().toInt();
            return c;
        };
        QCOMPARE(coche(), QList<int>{5});
        choix[3]->trigger();
        QCOMPARE(coche(), QList<int>{15});
        donnees::base_programmes base(b.dossier.base());
        QCOMPARE(donnees::lire_minutes_avant(base), 15);
        QVERIFY(b.f->findChild<QAction*>(QStringLiteral("cmots")));
        QCOMPARE(b.boites.vues.size(), std::size_t(0));
    }

    void mots_favoris_data() {
        QTest::addColumn<QString>("mots");
        QTest::addColumn<QString>("dit");
        QTest::newRow("un programme")
            << QStringLiteral("journal")
            << QStringLiteral("1 programme à venir a un rappel grâce à vos mots favoris.");
        QTest::newRow("deux") << QStringLiteral("journal\ndocumentaire")
                              << QStringLiteral(
                                     "2 programmes à venir ont un rappel grâce à vos mots favoris.");
        QTest::newRow("aucun") << QStringLiteral("tennis")
                               << QStringLiteral("Aucun programme à venir ne contient vos mots favoris.");
        QTest::newRow("mots effacés") << QString() << QString();
    }
    // Saving the favourite words says how many programmes to come they put a reminder on.
    void mots_favoris() {
        QFETCH(QString, mots);
        QFETCH(QString, dit);
        banc_principal b;
        {
            // Documentaire at 21:00 on channel 2, still to come at 20:15.
            auto base = b.base();
            base.ajouter_programme({QStringLiteral("Documentaire"),
                                    date_heure::depuis_date(QDate(2026, 12, 7), 21, 0), une_heure,
                                    date_heure::depuis_date(QDate(2026, 12, 7), 22, 0)},
                                   2);
        }
        b.remplir();
        b.f->ajouter_menus_rappels();
        bool saisi = false;
        QTimer::singleShot(0, [&] {
            QWidget* d = nullptr;
            (void)QTest::qWaitFor([&d] { return (d = QApplication::activeModalWidget()) != nullptr; }, 2000);
            if (!d)
                return;
            essais::controle<QPlainTextEdit>(*d, "txt_mots")->setPlainText(mots);
            qobject_cast<QDialog*>(d)->accept();
            saisi = true;
        });
        essais::controle<QAction>(*b.f, "cmots")->trigger();
        QVERIFY(saisi);
        QCOMPARE(b.boites.vues.size(), std::size_t(dit.isEmpty() ? 0 : 1));
        if (!dit.isEmpty())
            QCOMPARE(b.boites.vues[0].texte, dit);
    }

    // "Voir" on a channel that is not the current one: its row is selected and its programmes shown.
    void voir_chaine() {
        banc_principal b;
        b.remplir();
        b.f->montrer_chaine(2);
        QCOMPARE(b.f->chaine_courante(), 2);
        QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_chaines")->currentItem()->text(3).toInt(), 2);
        QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItemCount(), 1);
        QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(0)->text(3),
                 QStringLiteral("Documentaire"));
    }
};

QTEST_MAIN(test_rappels_vues)
#include "test_rappels_vues.moc"
