// "Zapo-TV - Rechercher" driven in process: typing fills the list, a chosen
// row shows its channel and programme in the main window, Échap closes.
#include "donnees/base_programmes.h"
#include "donnees/base_rappels.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "noyau/horloge.h"
#include "outils/banc_fenetre.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_details.h"
#include "vues/fl_main.h"
#include "vues/fl_recherche.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace zapo;
using vues::fl_recherche;

namespace {

const QDate jour0(2026, 12, 8); // a Tuesday

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(jour0.addDays(jour), h, m);
}

// A copy of the delivered base, a clock at 12:00 on day 0, the main window
// filled, and the search window whose rows go to it.
struct banc : essais::banc_main {
    int allers = 0;

    banc() : banc_main(a(0, 12, 0).en_qdatetime()) {
        auto b = base();
        b.ajouter_chaine({2, QStringLiteral("Deux"), QStringLiteral("http://127.0.0.1/2"), 1});
        b.ajouter_chaine({3, QStringLiteral("Trois"), QStringLiteral("http://127.0.0.1/3"), 2});
        programme(2, QStringLiteral("Le Journal"), a(0, 20, 0), a(0, 20, 40));
        programme(2, QStringLiteral("Été meurtrier"), a(0, 20, 40), a(0, 22, 40));
        programme(2, QStringLiteral("Le Journal"), a(1, 20, 0), a(1, 20, 40));
        programme(3, QStringLiteral("Bel été"), a(0, 21, 0), a(0, 22, 0));
        programme(3, QStringLiteral("Matin d'été"), a(0, 6, 0), a(0, 7, 0)); // over
    }
    ~banc() { delete fl_recherche::ouverte(); }
    void programme(int chaine, const QString& titre, date_heure deb, date_heure fin) {
        base().ajouter_programme({titre, deb, fin - deb, fin}, chaine);
    }
    fl_recherche* ouvrir() {
        f->rafraichir_fenetre();
        return fl_recherche::afficher(ctx, [this](const vues::cible_programme& c) {
            ++allers;
            f->montrer_programme(c);
        });
    }
    static QStringList ligne(const QTreeWidgetItem* it) {
        QStringList r;
        for (int c = 0; c < it->columnCount(); ++c)
            r << it->text(c);
        return r;
    }
};

} // namespace

class test_fl_recherche : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fenetre() {
        banc b;
        fl_recherche* r = b.ouvrir();
        QCOMPARE(r->windowTitle(), QStringLiteral("Zapo-TV - Rechercher"));
        QCOMPARE(essais::controle<QLabel>(*r, "lbl_recherche")->buddy(),
                 essais::controle<QLineEdit>(*r, "txt_recherche"));
        QCOMPARE(essais::controle<QLabel>(*r, "lbl_recherche")->text().remove(QChar(u'&')),
                 QStringLiteral("Rechercher :"));
        QVERIFY(!essais::controle<QLineEdit>(*r, "txt_recherche")->accessibleName().isEmpty());
        QVERIFY(!essais::controle<QTreeWidget>(*r, "lst_resultats")->accessibleName().isEmpty());
        QStringList entetes;
        for (int c = 0; c < essais::controle<QTreeWidget>(*r, "lst_resultats")->columnCount(); ++c)
            entetes << essais::controle<QTreeWidget>(*r, "lst_resultats")->headerItem()->text(c);
        QCOMPARE(entetes, (QStringList{"Chaine", "Jour", "Début", "Fin", "Programme", "Genre"}));
        QCOMPARE(r->liste(), essais::controle<QTreeWidget>(*r, "lst_resultats"));
        // One at a time: asking again brings the same window forward.
        QCOMPARE(fl_recherche::afficher(b.ctx, {}), r);
        // In the "Chaines" menu, just before "Ce soir", with its key shown.
        const auto actions = essais::controle<QMenu>(*b.f, "menud")->actions();
        QCOMPARE(actions.at(actions.indexOf(essais::controle<QAction>(*b.f, "dcesoir")) - 1),
                 essais::controle<QAction>(*b.f, "drecherche"));
        QCOMPARE(essais::controle<QAction>(*b.f, "drecherche")->text(), QStringLiteral("Rechercher..."));
        QCOMPARE(essais::controle<QAction>(*b.f, "drecherche")->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+F")));
    }

    void saisie_data() {
        QTest::addColumn<QString>("saisie");
        QTest::addColumn<QList<QStringList>>("lignes");
        QTest::addColumn<QString>("etat");
        QTest::newRow("vide") << QString() << QList<QStringList>{} << QString();
        QTest::newRow("sans accent, par début")
            << "ETE"
            << QList<QStringList>{{"Deux", "Aujourd'hui", "20:40", "22:40", "Été meurtrier", "Autre"},
                                  {"Trois", "Aujourd'hui", "21:00", "22:00", "Bel été", "Autre"}}
            << "2 programmes trouvés";
        QTest::newRow("deux jours")
            << "journal"
            << QList<QStringList>{{"Deux", "Aujourd'hui", "20:00", "20:40", "Le Journal", "Autre"},
                                  {"Deux", "Demain", "20:00", "20:40", "Le Journal", "Autre"}}
            << "2 programmes trouvés";
        QTest::newRow("un seul") << "bel"
                                 << QList<QStringList>{{"Trois", "Aujourd'hui", "21:00", "22:00", "Bel été",
                                                        "Autre"}}
                                 << "1 programme trouvé";
        QTest::newRow("rien") << "hiver" << QList<QStringList>{} << "Aucun programme trouvé";
        QTest::newRow("fini") << "matin" << QList<QStringList>{} << "Aucun programme trouvé";
    }
    void saisie() {
        QFETCH(QString, saisie);
        QFETCH(QList<QStringList>, lignes);
        QFETCH(QString, etat);
        banc b;
        fl_recherche* r = b.ouvrir();
        // Typed letter by letter, as the list follows each keystroke.
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), QStringLiteral("x"));
        essais::controle<QLineEdit>(*r, "txt_recherche")->clear();
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), saisie);
        QList<QStringList> vues;
        for (int i = 0; i < essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItemCount(); ++i)
            vues << banc::ligne(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItem(i));
        QCOMPARE(vues, lignes);
        QCOMPARE(essais::controle<QLabel>(*r, "txt_etat_recherche")->text(), etat);
        for (int i = 0; i < essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItem(i);
            QVERIFY(it->data(0, Qt::UserRole).toInt() >= 2);
            QCOMPARE(it->data(0, Qt::UserRole + 1).typeId(), QMetaType::LongLong);
        }
    }

    void texte_etat_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("montres");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("aucun") << 0 << 0 << "Aucun programme trouvé";
        QTest::newRow("un") << 1 << 1 << "1 programme trouvé";
        QTest::newRow("tous montrés") << 42 << 42 << "42 programmes trouvés";
        QTest::newRow("plafonné") << 1234 << 500
                                  << "1\u202f234 programmes trouvés, les 500 premiers sont affichés";
    }
    void texte_etat() {
        QFETCH(int, total);
        QFETCH(int, montres);
        QFETCH(QString, attendu);
        QCOMPARE(fl_recherche::texte_etat(total, montres, false), attendu);
    }

    void plafond() {
        banc b;
        {
            auto base = b.base();
            donnees::transaction ecriture(base);
            for (int i = 0; i < 600; ++i)
                base.ajouter_programme(
                    {QStringLiteral("Série %1").arg(i), a(0, 13, 0), date_heure::duree_hm(0, 1), a(0, 13, 1)},
                    3);
            ecriture.valider();
        }
        fl_recherche* r = b.ouvrir();
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), QStringLiteral("serie"));
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItemCount(),
                 int(fl_recherche::plafond));
        QVERIFY(essais::controle<QLabel>(*r, "txt_etat_recherche")
                    ->text()
                    .startsWith(QStringLiteral("600 programmes trouvés, les 500")));
    }

    void aller_data() {
        QTest::addColumn<QString>("saisie");
        QTest::addColumn<int>("rang");
        QTest::addColumn<QString>("geste");
        QTest::addColumn<bool>("trie");
        QTest::addColumn<int>("chaine");
        QTest::addColumn<QStringList>("programme"); // "Début", "Fin", "Programme" of lst_prog
        QTest::addColumn<int>("position");
        QTest::newRow("Entrée dans le champ")
            << "bel" << 0 << "entree_champ" << false << 3 << QStringList{"21:00", "22:00", "Bel été"} << 1;
        QTest::newRow("Bas puis Entrée")
            << "ete" << 1 << "bas_entree" << false << 3 << QStringList{"21:00", "22:00", "Bel été"} << 1;
        // Same title at the same time on two days: the second day's is chosen.
        QTest::newRow("double clic, lendemain") << "journal" << 1 << "double_clic" << false << 2
                                                << QStringList{"20:00", "20:40", "Le Journal"} << 3;
        QTest::newRow("liste des programmes triée") << "journal" << 1 << "bas_entree" << true << 2
                                                    << QStringList{"20:00", "20:40", "Le Journal"} << 3;
    }
    void aller() {
        QFETCH(QString, saisie);
        QFETCH(int, rang);
        QFETCH(QString, geste);
        QFETCH(bool, trie);
        QFETCH(int, chaine);
        QFETCH(QStringList, programme);
        QFETCH(int, position);
        banc b;
        fl_recherche* r = b.ouvrir();
        if (trie)
            b.f->lst_prog_ColumnClick(3);
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), saisie);
        QTreeWidget* l = essais::controle<QTreeWidget>(*r, "lst_resultats");
        if (geste == QLatin1String("entree_champ")) {
            QTest::keyClick(essais::controle<QLineEdit>(*r, "txt_recherche"), Qt::Key_Return);
        } else if (geste == QLatin1String("bas_entree")) {
            QTest::keyClick(essais::controle<QLineEdit>(*r, "txt_recherche"), Qt::Key_Down);
            QCOMPARE(l->currentItem(), l->topLevelItem(0));
            for (int i = 0; i < rang; ++i)
                QTest::keyClick(l, Qt::Key_Down);
            QTest::keyClick(l, Qt::Key_Enter);
        } else {
            const QRect rect = l->visualItemRect(l->topLevelItem(rang));
            // A double click as the mouse makes it: a click, then the second press.
            QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, rect.center());
        }
        QCOMPARE(b.allers, 1);
        QCOMPARE(b.f->chaine_courante(), chaine);
        QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_chaines")->currentItem()->text(3).toInt(), chaine);
        const QTreeWidgetItem* p = essais::controle<QTreeWidget>(*b.f, "lst_prog")->currentItem();
        QVERIFY(p);
        QCOMPARE((QStringList{p->text(1), p->text(2), p->text(3)}), programme);
        QCOMPARE(p->data(0, vues::role_position).toInt(), position);
        QVERIFY(p->isSelected());
    }

    // A later day of the week: found, named by its day; Enter shows its channel
    // in the main window and the programme in "Détails", whose button sets a reminder.
    void plus_tard() {
        banc b;
        {
            auto base = b.base();
            fiche_programme match{QStringLiteral("Le Match"), a(4, 21, 0), date_heure::duree_hm(2, 0),
                                  a(4, 23, 0)};
            match.details.description = QStringLiteral("Finale de la coupe.");
            match.details.categories = {QStringLiteral("Football")};
            const std::vector<fiche_programme> semaine{
                {QStringLiteral("Bel été"), a(0, 21, 0), date_heure::duree_hm(1, 0), a(0, 22, 0)}, match};
            donnees::remplacer_semaine(base, 3, semaine);
        }
        fl_recherche* r = b.ouvrir();
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), QStringLiteral("coupe"));
        QTreeWidget* l = essais::controle<QTreeWidget>(*r, "lst_resultats");
        QCOMPARE(l->topLevelItemCount(), 1);
        QCOMPARE(banc::ligne(l->topLevelItem(0)),
                 (QStringList{"Trois", "samedi 12", "21:00", "23:00", "Le Match", "Sport"}));
        // The genre filter dims the other genres' rows, and only them.
        auto* genre = essais::controle<QComboBox>(*r, "cbo_genre");
        QCOMPARE(genre->itemText(0), QStringLiteral("Tous les genres"));
        genre->setCurrentText(QStringLiteral("Film"));
        QVERIFY(l->topLevelItem(0)->data(4, Qt::ForegroundRole).isValid());
        genre->setCurrentText(QStringLiteral("Sport"));
        QVERIFY(!l->topLevelItem(0)->data(4, Qt::ForegroundRole).isValid());
        QTest::keyClick(essais::controle<QLineEdit>(*r, "txt_recherche"), Qt::Key_Return);
        QCOMPARE(b.allers, 1);
        QCOMPARE(b.f->chaine_courante(), 3);
        vues::fl_details* d = vues::fl_details::ouverte();
        QVERIFY(d);
        QVERIFY(d->texte().startsWith(
            QStringLiteral("Le Match\nChaîne : Trois\nsamedi 12, de 21:00 à 23:00 (2h)")));
        QPushButton* bouton = essais::controle<QPushButton>(*d, "btn_rappel");
        bouton->click();
        QCOMPARE(bouton->text(), QStringLiteral("Ne plus me prévenir"));
        auto base = b.base();
        QCOMPARE(donnees::lire_rappels(base).size(), size_t(1));
        delete d;
    }

    // Up from the first row goes back to the field; Échap closes the window.
    void clavier() {
        banc b;
        fl_recherche* r = b.ouvrir();
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), QStringLiteral("ete"));
        QTest::keyClick(essais::controle<QLineEdit>(*r, "txt_recherche"), Qt::Key_Down);
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->currentItem(),
                 essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItem(0));
        QTest::keyClick(essais::controle<QTreeWidget>(*r, "lst_resultats"), Qt::Key_Up);
        QTest::keyClick(essais::controle<QTreeWidget>(*r, "lst_resultats"), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(fl_recherche::ouverte() == nullptr);
        QCOMPARE(b.allers, 0);
    }

    // After an update the stored programmes changed: the open window reads them again.
    void rafraichie() {
        banc b;
        fl_recherche* r = b.ouvrir();
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), QStringLiteral("ete"));
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItemCount(), 2);
        b.programme(3, QStringLiteral("Fin de l'été"), a(0, 23, 0), a(0, 23, 30));
        // As a run ends.
        b.guide.commencer_maj();
        b.guide.finir_maj(true);
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItemCount(), 3);
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItem(2)->text(4),
                 QStringLiteral("Fin de l'été"));
        QCOMPARE(essais::controle<QLineEdit>(*r, "txt_recherche")->text(), QStringLiteral("ete"));
    }
};

QTEST_MAIN(test_fl_recherche)
#include "test_fl_recherche.moc"
