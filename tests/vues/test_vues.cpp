// The main window's lists, panel and freshness, filled from a real database file.
#include "donnees/base_programmes.h"
#include "donnees/transaction.h"
#include "noyau/horloge.h"
#include "outils/banc_fenetre.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/textes_hostiles.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"
#include "vues/largeurs.h"
#include "vues/outils_vues.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <memory>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 7); // a Monday

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(jour0.addDays(jour), h, m);
}
qint64 s(int jour, int h, int m) {
    return qint64(a(jour, h, m).secondes());
}

// A fresh copy of the delivered database, a fixed clock, recorded message boxes.
struct banc : essais::banc_main {
    void heure(date_heure t) { h.regler(t.en_qdatetime()); }
    void chaines(int nb) {
        auto b = base();
        for (int i = 1; i <= nb; ++i)
            b.ajouter_chaine({i, QStringLiteral("Chaine %1").arg(i),
                              QStringLiteral("http://127.0.0.1/%1").arg(i), (i - 1) % 16 + 1});
    }
    void programme(int chaine, const QString& titre, date_heure deb, date_heure fin) {
        base().ajouter_programme({titre, deb, fin - deb, fin}, chaine);
    }
    QStringList colonne(QTreeWidget* l, int c) const {
        QStringList res;
        for (int i = 0; i < l->topLevelItemCount(); ++i)
            res << l->topLevelItem(i)->text(c);
        return res;
    }
};

// Channel 1: four programmes stored out of title and time order.
void programmes_melanges(banc& b) {
    b.chaines(3);
    b.programme(1, QStringLiteral("Zorro"), a(0, 23, 0), a(0, 23, 50));
    b.programme(2, QStringLiteral("Ailleurs"), a(0, 20, 0), a(0, 22, 0));
    b.programme(1, QStringLiteral("été indien"), a(1, 0, 30), a(1, 1, 30));
    b.programme(1, QStringLiteral("Eau vive"), a(0, 20, 0), a(0, 21, 0));
    b.programme(3, QStringLiteral("Là-bas"), a(0, 20, 0), a(0, 21, 30));
    b.programme(1, QStringLiteral("actualités"), a(0, 21, 0), a(0, 22, 0));
}

} // namespace

class test_vues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void infobulles_hostiles_data();
    void infobulles_hostiles();
    void controles_inertes_data();
    void controles_inertes();
    void colonnes_chaines_data();
    void colonnes_chaines();
    void largeur_noms_apres_changement_data();
    void largeur_noms_apres_changement();
    void premiere_ligne_courante();
    void colonnes_programmes();
    void clic_chaine_data();
    void clic_chaine();
    void tri_entete_data();
    void tri_entete();
    void marque_suit_le_programme_data();
    void marque_suit_le_programme();
    void panneau_dessine();
    void panneau_table_vide();
    void minuterie_pendant_maj_data();
    void minuterie_pendant_maj();
    void defilement_data();
    void defilement();
    void fraicheur_data();
    void fraicheur();
    void date_de_la_base_data();
    void date_de_la_base();
};

void test_vues::colonnes_chaines_data() {
    QTest::addColumn<int>("nb");
    QTest::addColumn<int>("largeur_programme");
    QTest::newRow("aucune chaine") << 0 << 2500 / 15;
    QTest::newRow("douze chaines") << 12 << 2500 / 15;
    QTest::newRow("treize chaines") << 13 << 2240 / 15;
    QTest::newRow("seize chaines") << 16 << 2240 / 15;
}

void test_vues::colonnes_chaines() {
    QFETCH(int, nb);
    QFETCH(int, largeur_programme);
    banc b;
    b.chaines(nb);
    b.f->remplir_chaines();
    QTreeWidget* l = essais::controle<QTreeWidget>(*b.f, "lst_chaines");

    QCOMPARE(l->columnCount(), 4);
    const QTreeWidgetItem* e = l->headerItem();
    QCOMPARE(QStringList({e->text(0), e->text(1), e->text(2), e->text(3)}),
             QStringList({"Chaine", "Programme en cours", "%", "index"}));
    // As drawn, or wider when a name would be cut.
    QCOMPARE(l->columnWidth(0), std::max(1520 / 15, vues::largeur_noms(l)));
    QCOMPARE(l->columnWidth(1), largeur_programme);
    QVERIFY(l->columnWidth(2) >= 280 / 15);
    QVERIFY(l->isColumnHidden(3));
    QCOMPARE(l->topLevelItemCount(), nb);
    for (int i = 0; i < nb; ++i) {
        const QTreeWidgetItem* it = l->topLevelItem(i);
        QCOMPARE(it->text(0), QStringLiteral("Chaine %1").arg(i + 1));
        QCOMPARE(it->text(3), QString::number(i + 1));
        QCOMPARE(it->data(0, vues::role_num_chaine), QVariant(i + 1));
        QVERIFY(!it->icon(0).isNull());
        QCOMPARE(it->textAlignment(1), int(Qt::AlignCenter));
        QCOMPARE(it->textAlignment(2), int(Qt::AlignCenter));
    }
    // A refill replaces the rows and keeps the rule.
    b.f->remplir_chaines();
    QCOMPARE(l->topLevelItemCount(), nb);
    QCOMPARE(l->columnWidth(1), largeur_programme);
}

void test_vues::colonnes_programmes() {
    banc b;
    programmes_melanges(b);
    b.f->remplir_programmes();
    QTreeWidget* l = essais::controle<QTreeWidget>(*b.f, "lst_prog");
    const QTreeWidgetItem* e = l->headerItem();
    QCOMPARE(QStringList({e->text(0), e->text(1), e->text(2), e->text(3)}),
             QStringList({"", "Début", "Fin", "Programme"}));
    // As drawn, or up to the list's right edge when there is room, without a sideways scroll bar.
    QVERIFY(l->columnWidth(3) >= 2000 / 15);
    int total = l->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, l) + 2 * l->frameWidth();
    for (int c = 0; c < 4; ++c)
        total += l->columnWidth(c);
    QVERIFY2(total <= l->width(), qPrintable(QString::number(total)));
    // The times and the mark are not cut off.
    const QFontMetrics fm(l->font());
    QVERIFY(l->columnWidth(1) > fm.horizontalAdvance(QStringLiteral("00:00")));
    QVERIFY(l->columnWidth(0) >= l->iconSize().width());
    QCOMPARE(b.colonne(l, 3), QStringList({"Zorro", "été indien", "Eau vive", "actualités"}));
    QCOMPARE(b.colonne(l, 1), QStringList({"23:00", "00:30", "20:00", "21:00"}));
    QCOMPARE(b.colonne(l, 2), QStringList({"23:50", "01:30", "21:00", "22:00"}));
    QCOMPARE(b.colonne(l, 0), QStringList({"", "", "", ""}));
}

void test_vues::clic_chaine_data() {
    QTest::addColumn<int>("rang"); // row clicked in lst_chaines
    QTest::addColumn<bool>("change");
    QTest::addColumn<QStringList>("titres"); // lst_prog afterwards
    QTest::newRow("une autre chaine") << 2 << true << QStringList({"Là-bas"});
    QTest::newRow("la chaine courante")
        << 0 << false << QStringList({"Zorro", "été indien", "Eau vive", "actualités"});
}

void test_vues::clic_chaine() {
    QFETCH(int, rang);
    QFETCH(bool, change);
    QFETCH(QStringList, titres);
    banc b;
    programmes_melanges(b);
    b.heure(a(0, 20, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->affiche_actuel();
    const QTreeWidgetItem* avant = essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(0);
    essais::controle<QLabel>(*b.f, "txt_hd1")->setText(QStringLiteral("témoin"));

    essais::controle<QTreeWidget>(*b.f, "lst_chaines")->topLevelItem(rang)->setSelected(true);
    b.f->lst_chaines_ItemClick();

    const int attendue =
        essais::controle<QTreeWidget>(*b.f, "lst_chaines")->topLevelItem(rang)->text(3).toInt();
    QCOMPARE(b.f->chaine_courante(), attendue);
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(*b.f, "lst_prog"), 3), titres);
    if (change) {
        QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->text(), QStringLiteral("Là-bas"));
        QCOMPARE(essais::controle<QLabel>(*b.f, "txt_hd1")->text(), QStringLiteral("20:00"));
    } else {
        // Nothing was rebuilt.
        QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(0), avant);
        QCOMPARE(essais::controle<QLabel>(*b.f, "txt_hd1")->text(), QStringLiteral("témoin"));
    }
}

void test_vues::tri_entete_data() {
    QTest::addColumn<QList<int>>("clics");
    QTest::addColumn<int>("colonne");
    QTest::addColumn<QStringList>("attendu");
    QTest::addColumn<QStringList>("apres"); // after a refill with "Bonsoir" 19:00-19:30 stored last
    QTest::newRow("Programme : ordre alphabétique français")
        << QList<int>{3} << 3 << QStringList({"actualités", "Eau vive", "été indien", "Zorro"})
        << QStringList({"actualités", "Bonsoir", "Eau vive", "été indien", "Zorro"});
    QTest::newRow("Début : ordre du texte, minuit avant le soir")
        << QList<int>{1} << 1 << QStringList({"00:30", "20:00", "21:00", "23:00"})
        << QStringList({"00:30", "19:00", "20:00", "21:00", "23:00"});
    QTest::newRow("Fin") << QList<int>{2} << 2 << QStringList({"01:30", "21:00", "22:00", "23:50"})
                         << QStringList({"01:30", "19:30", "21:00", "22:00", "23:50"});
    QTest::newRow("deux clics : toujours croissant")
        << QList<int>{3, 3} << 3 << QStringList({"actualités", "Eau vive", "été indien", "Zorro"})
        << QStringList({"actualités", "Bonsoir", "Eau vive", "été indien", "Zorro"});
    QTest::newRow("le dernier clic décide")
        << QList<int>{3, 1} << 1 << QStringList({"00:30", "20:00", "21:00", "23:00"})
        << QStringList({"00:30", "19:00", "20:00", "21:00", "23:00"});
    QTest::newRow("colonne de la marque : ordre stocké gardé")
        << QList<int>{0} << 3 << QStringList({"Zorro", "été indien", "Eau vive", "actualités"})
        << QStringList({"Zorro", "été indien", "Eau vive", "actualités", "Bonsoir"});
}

void test_vues::tri_entete() {
    QFETCH(QList<int>, clics);
    QFETCH(int, colonne);
    QFETCH(QStringList, attendu);
    QFETCH(QStringList, apres);
    banc b;
    programmes_melanges(b);
    b.f->remplir_programmes();
    for (int c : clics)
        b.f->lst_prog_ColumnClick(c);
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(*b.f, "lst_prog"), colonne), attendu);
    // Sorting stays on: a later refill comes back in the same order.
    b.programme(1, QStringLiteral("Bonsoir"), a(0, 19, 0), a(0, 19, 30));
    b.f->remplir_programmes();
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(*b.f, "lst_prog"), colonne), apres);
    // Each sorted row still carries its own channel and start.
    for (int i = 0; i < essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(i);
        QCOMPARE(it->data(0, vues::role_num_chaine), QVariant(1));
        const QVariant debut = it->data(0, vues::role_debut);
        QCOMPARE(debut.typeId(), QMetaType::LongLong);
        QCOMPARE(date_heure::depuis_secondes(debut.toLongLong()).format_hhnn(), it->text(1));
    }
}

void test_vues::marque_suit_le_programme_data() {
    QTest::addColumn<int>("tri"); // -1: stored order
    QTest::newRow("ordre stocké") << -1;
    QTest::newRow("trié par titre") << 3;
    QTest::newRow("trié par début") << 1;
}

void test_vues::marque_suit_le_programme() {
    QFETCH(int, tri);
    banc b;
    programmes_melanges(b);
    b.heure(a(0, 21, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    if (tri >= 0)
        b.f->lst_prog_ColumnClick(tri);
    b.f->affiche_actuel();
    QStringList marques;
    for (int i = 0; i < essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(i);
        if (!it->icon(0).isNull()) {
            marques << it->text(3);
            QCOMPARE(it->data(0, Qt::AccessibleTextRole).toString(), QStringLiteral("En cours"));
        }
    }
    QCOMPARE(marques, QStringList({"actualités"}));
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->text(), QStringLiteral("actualités"));
    // Rows that stop being on now lose their mark at the next pass.
    b.heure(a(0, 23, 10));
    b.f->affiche_actuel();
    marques.clear();
    for (int i = 0; i < essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItemCount(); ++i)
        if (!essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(i)->icon(0).isNull())
            marques << essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(i)->text(3);
    QCOMPARE(marques, QStringList({"Zorro"}));
}

void test_vues::panneau_dessine() {
    banc b;
    b.chaines(3);
    const QString balises = QStringLiteral("<b>Gras</b> & <i>co</i>");
    b.programme(1, QStringLiteral("Avant"), a(0, 19, 0), a(0, 20, 0));
    b.programme(1, balises, a(0, 20, 0), a(0, 21, 0));
    b.programme(1, QStringLiteral("Film du soir"), a(0, 21, 0), a(0, 22, 30));
    b.programme(1, QStringLiteral("Débat"), a(0, 22, 30), a(0, 23, 30));
    b.programme(2, QStringLiteral("Sport"), a(0, 20, 10), a(0, 20, 40));
    b.heure(a(0, 20, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->affiche_actuel();
    auto& f = *b.f;

    QCOMPARE(essais::controle<QLabel>(f, "txt_date")->text(),
             QStringLiteral("lundi 7 décembre 2026   20:15"));
    QCOMPARE(QStringList({essais::controle<QLabel>(f, "txt_hd1")->text(),
                          essais::controle<QLabel>(f, "txt1")->text(),
                          essais::controle<QLabel>(f, "txt_hf1")->text()}),
             QStringList({"20:00", balises, "21:00"}));
    QCOMPARE(essais::controle<QLabel>(f, "txt1")->textFormat(), Qt::PlainText);
    // The tooltip shows the markup as written, not interpreted.
    QVERIFY(essais::controle<QLabel>(f, "txt1")->toolTip().contains(
        QStringLiteral("&lt;b&gt;Gras&lt;/b&gt; &amp;")));
    QCOMPARE(essais::controle<QProgressBar>(f, "progres")->value(), 25);
    QCOMPARE(QStringList({essais::controle<QLabel>(f, "txt_hd2")->text(),
                          essais::controle<QLabel>(f, "txt2")->text(),
                          essais::controle<QLabel>(f, "txt_hf2")->text(),
                          essais::controle<QLabel>(f, "txt2")->toolTip()}),
             QStringList({"21:00", "Film du soir", "22:30", "Film du soir"}));
    QCOMPARE(QStringList({essais::controle<QLabel>(f, "txt_hd3")->text(),
                          essais::controle<QLabel>(f, "txt3")->text(),
                          essais::controle<QLabel>(f, "txt_hf3")->text()}),
             QStringList({"21:00", "Film du soir", "22:30"}));
    QCOMPARE(QStringList({essais::controle<QLabel>(f, "txt_hd4")->text(),
                          essais::controle<QLabel>(f, "txt4")->text(),
                          essais::controle<QLabel>(f, "txt_hf4")->text(),
                          essais::controle<QLabel>(f, "txt4")->toolTip()}),
             QStringList({"22:30", "Débat", "23:30", "Débat"}));
    for (QLabel* l : {essais::controle<QLabel>(f, "txt_hd1"), essais::controle<QLabel>(f, "txt1"),
                      essais::controle<QLabel>(f, "txt_hf1"), essais::controle<QLabel>(f, "txt2"),
                      essais::controle<QLabel>(f, "txt3"), essais::controle<QLabel>(f, "txt4")})
        QCOMPARE(l->textFormat(), Qt::PlainText);
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(f, "lst_chaines"), 1),
             QStringList({balises, "Sport", "..."}));
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(f, "lst_chaines"), 2), QStringList({"25", "17", ""}));

    // After the last programme everything is blank again.
    b.heure(a(1, 3, 0));
    f.affiche_actuel();
    for (QLabel* l : {essais::controle<QLabel>(f, "txt_hd1"), essais::controle<QLabel>(f, "txt1"),
                      essais::controle<QLabel>(f, "txt_hf1"), essais::controle<QLabel>(f, "txt_hd2"),
                      essais::controle<QLabel>(f, "txt2"), essais::controle<QLabel>(f, "txt_hf2"),
                      essais::controle<QLabel>(f, "txt3"), essais::controle<QLabel>(f, "txt4")}) {
        QCOMPARE(l->text(), QString());
        QCOMPARE(l->toolTip(), QString());
    }
    QCOMPARE(essais::controle<QProgressBar>(f, "progres")->value(), 0);
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(f, "lst_chaines"), 1),
             QStringList({"...", "...", "..."}));
}

void test_vues::panneau_table_vide() {
    banc b;
    b.chaines(2);
    b.heure(a(0, 20, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->show();
    b.f->affiche_actuel();
    QCOMPARE(essais::controle<QProgressBar>(*b.f, "progres")->value(), 0);
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->text(), QString());
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(*b.f, "lst_chaines"), 1), QStringList({"...", "..."}));
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(*b.f, "lst_chaines"), 2), QStringList({"", ""}));
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItemCount(), 0);
}

void test_vues::minuterie_pendant_maj_data() {
    QTest::addColumn<bool>("maj_en_cours");
    QTest::newRow("sans mise à jour : panneau recalculé") << false;
    QTest::newRow("pendant une mise à jour : panneau gardé") << true;
}

void test_vues::minuterie_pendant_maj() {
    QFETCH(bool, maj_en_cours);
    banc b;
    b.chaines(1);
    b.programme(1, QStringLiteral("Journal"), a(0, 20, 0), a(0, 21, 0));
    b.heure(a(0, 20, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->affiche_actuel();
    b.heure(a(0, 20, 45));
    if (maj_en_cours)
        b.guide.commencer_maj();
    b.guide.definir_statut(modele::statut_maj::a_jour);
    b.f->tps_minute_Timer();
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt_etat")->text(), QStringLiteral("Programmes à jour."));
    QCOMPARE(essais::controle<QProgressBar>(*b.f, "progres")->value(), maj_en_cours ? 25 : 75);
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt_date")->text(),
             maj_en_cours ? QStringLiteral("lundi 7 décembre 2026   20:15")
                          : QStringLiteral("lundi 7 décembre 2026   20:45"));
}

void test_vues::defilement_data() {
    QTest::addColumn<int>("en_cours"); // index (from 0) of the programme on now
    QTest::addColumn<bool>("en_haut"); // shown at the top of the list
    QTest::newRow("au milieu : en haut de la liste") << 20 << true;
    QTest::newRow("vers la fin : liste au bout") << 58 << false;
}

void test_vues::defilement() {
    QFETCH(int, en_cours);
    QFETCH(bool, en_haut);
    banc b;
    b.chaines(1);
    {
        auto base = b.base();
        donnees::transaction ecriture(base);
        for (int i = 0; i < 60; ++i) {
            const date_heure deb = a(0, 8, 0) + date_heure::duree_hm(0, 10 * i);
            base.ajouter_programme({QStringLiteral("Émission %1").arg(i), deb, date_heure::duree_hm(0, 10),
                                    deb + date_heure::duree_hm(0, 10)},
                                   1);
        }
        ecriture.valider();
    }
    b.heure(a(0, 8, 5) + date_heure::duree_hm(0, 10 * en_cours));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.f.get()));
    b.f->affiche_actuel();
    QTreeWidget* l = essais::controle<QTreeWidget>(*b.f, "lst_prog");
    QTreeWidgetItem* it = l->topLevelItem(en_cours);
    const QRect r = l->visualItemRect(it);
    QVERIFY(l->viewport()->rect().contains(r));
    if (en_haut)
        QCOMPARE(r.top(), 0);
    else
        QCOMPARE(l->verticalScrollBar()->value(), l->verticalScrollBar()->maximum());
}

void test_vues::fraicheur_data() {
    QTest::addColumn<bool>("jamais");
    QTest::addColumn<qint64>("derniere");
    QTest::addColumn<qint64>("maintenant");
    QTest::addColumn<bool>("a_jour");
    QTest::newRow("hier 18:00, aujourd'hui 09:59") << false << s(-1, 18, 0) << s(0, 9, 59) << true;
    QTest::newRow("hier 18:00, aujourd'hui 10:00") << false << s(-1, 18, 0) << s(0, 10, 0) << false;
    QTest::newRow("hier 00:00, aujourd'hui 09:59") << false << s(-1, 0, 0) << s(0, 9, 59) << true;
    // Only yesterday's run lasts until 10:00.
    QTest::newRow("il y a trois jours 12:00, aujourd'hui 08:00")
        << false << s(-3, 12, 0) << s(0, 8, 0) << false;
    QTest::newRow("avant-hier 23:59, aujourd'hui 00:05") << false << s(-2, 23, 59) << s(0, 0, 5) << false;
    // Stamped by a clock that was ahead: its programmes may be from any day.
    QTest::newRow("aujourd'hui 14:00, 12:00") << false << s(0, 14, 0) << s(0, 12, 0) << false;
    QTest::newRow("demain 11:00, aujourd'hui 09:00") << false << s(1, 11, 0) << s(0, 9, 0) << false;
    QTest::newRow("aujourd'hui 12:00, 12:00") << false << s(0, 12, 0) << s(0, 12, 0) << true;
    QTest::newRow("aujourd'hui 09:30, 09:45") << false << s(0, 9, 30) << s(0, 9, 45) << false;
    QTest::newRow("aujourd'hui 09:59, 23:00") << false << s(0, 9, 59) << s(0, 23, 0) << false;
    QTest::newRow("aujourd'hui 10:00, 10:00") << false << s(0, 10, 0) << s(0, 10, 0) << true;
    QTest::newRow("aujourd'hui 10:05, 23:59") << false << s(0, 10, 5) << s(0, 23, 59) << true;
    QTest::newRow("jamais mise à jour") << true << qint64(0) << s(0, 9, 0) << false;
}

void test_vues::fraicheur() {
    QFETCH(bool, jamais);
    QFETCH(qint64, derniere);
    QFETCH(qint64, maintenant);
    QFETCH(bool, a_jour);
    banc b;
    if (!jamais)
        b.base().ecrire_maj(date_heure::depuis_secondes(derniere));
    b.heure(date_heure::depuis_secondes(maintenant));
    QCOMPARE(vues::verifier_base(b.ctx), a_jour);
    QCOMPARE(b.guide.texte_etat(),
             a_jour ? QStringLiteral("Programmes à jour.") : QStringLiteral("La base n'est pas à jour."));
}

void test_vues::date_de_la_base_data() {
    QTest::addColumn<bool>("jamais");
    QTest::addColumn<qint64>("derniere");
    QTest::addColumn<qint64>("maintenant");
    QTest::addColumn<QString>("message");
    QTest::newRow("à jour") << false << s(0, 14, 5) << s(0, 20, 0)
                            << "La base a été mise à jour le lundi 07 décembre 2026 à 14:05.\r"
                               "Les programmes sont à jour.";
    QTest::newRow("lancée trop tôt") << false << s(0, 9, 30) << s(0, 9, 45)
                                     << "La base a été mise à jour le lundi 07 décembre 2026 à 09:30.\r"
                                        "Les programmes ne sont pas à jour.";
    QTest::newRow("de la veille, passé 10 h")
        << false << s(-1, 18, 0) << s(0, 10, 0)
        << "La base a été mise à jour le dimanche 06 décembre 2026 à 18:00.\r"
           "Les programmes ne sont pas à jour.";
    QTest::newRow("jamais mise à jour") << true << qint64(0) << s(0, 12, 0)
                                        << "La base n'a encore jamais été mise à jour.\r"
                                           "Les programmes ne sont pas à jour.";
}

void test_vues::date_de_la_base() {
    QFETCH(bool, jamais);
    QFETCH(qint64, derniere);
    QFETCH(qint64, maintenant);
    QFETCH(QString, message);
    banc b;
    if (!jamais)
        b.base().ecrire_maj(date_heure::depuis_secondes(derniere));
    b.heure(date_heure::depuis_secondes(maintenant));
    b.guide.definir_statut(modele::statut_maj::echec);
    vues::adate_Click(b.ctx);
    QCOMPARE(b.boites.vues.size(), size_t(1));
    const auto& v = b.boites.vues.front();
    QCOMPARE(v.titre, QStringLiteral("Zapo-TV"));
    QCOMPARE(v.texte, message);
    QCOMPARE(v.icone, icone_boite::information);
    QCOMPARE(v.boutons, boutons_boite::ok);
    QCOMPARE(b.guide.texte_etat(), QStringLiteral("La mise à jour a échoué."));
}

// A title or a description from a feed is shown as written in every programme
// tooltip: the main window's list and panel here, and the two builders every
// other list goes through ("Ce soir", the grid, the search).
void test_vues::infobulles_hostiles_data() {
    essais::textes_hostiles_data();
}

void test_vues::infobulles_hostiles() {
    QFETCH(QString, texte);
    banc b;
    b.chaines(2);
    b.programme(1, texte, a(0, 20, 0), a(0, 21, 0));
    b.heure(a(0, 20, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->affiche_actuel();
    auto* lp = essais::controle<QTreeWidget>(*b.f, "lst_prog");
    QCOMPARE(lp->topLevelItem(0)->text(3), texte);
    QCOMPARE(essais::texte_montre(lp->topLevelItem(0)->toolTip(3)), texte);
    QCOMPARE(essais::texte_montre(essais::controle<QLabel>(*b.f, "txt1")->toolTip()), texte);
    details_programme d;
    d.sous_titre = texte;
    d.description = texte;
    for (const QString& titre : {texte, QStringLiteral("Journal")})
        QCOMPARE(essais::texte_montre(vues::infobulle_details(titre, &d)),
                 titre + QLatin1Char('\n') + resume_details(d));
    QCOMPARE(essais::texte_montre(vues::infobulle(texte)), texte);
}

// A base filled by an older version may hold controls and direction overrides
// in its names and titles: the rows show them inert, as spaces.
void test_vues::controles_inertes_data() {
    QTest::addColumn<QString>("brut");
    QTest::addColumn<QString>("montre");
    QTest::newRow("C1") << QStringLiteral("Film\u009B2J\u009D") << QStringLiteral("Film 2J ");
    QTest::newRow("override") << QStringLiteral("Journal \u202Efdp.exe")
                              << QStringLiteral("Journal  fdp.exe");
    QTest::newRow("isolates") << QStringLiteral("\u2067a\u2069b") << QStringLiteral(" a b");
    QTest::newRow("escape") << QStringLiteral("\u001B[31mRouge") << QStringLiteral(" [31mRouge");
}

void test_vues::controles_inertes() {
    QFETCH(QString, brut);
    QFETCH(QString, montre);
    banc b;
    b.base().ajouter_chaine({1, brut, QStringLiteral("http://127.0.0.1/1"), 1});
    b.programme(1, brut, a(0, 20, 0), a(0, 21, 0));
    b.heure(a(0, 20, 15));
    b.f->remplir_chaines();
    b.f->remplir_programmes();
    b.f->affiche_actuel();
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_chaines")->topLevelItem(0)->text(0), montre);
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_chaines")->topLevelItem(0)->text(1), montre);
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->topLevelItem(0)->text(3), montre);
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->text(), montre);
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->toolTip(), montre);
    // "Voir" names the stored title: it still finds its row.
    QVERIFY(b.f->montrer_programme({1, a(0, 20, 0).secondes(), 1, brut}));
}

QTEST_MAIN(test_vues)
#include "test_vues.moc"

// The widest name is remembered between resizes: whatever changed since the
// last measure (names, their number, the font), the answer is a fresh one.
void test_vues::largeur_noms_apres_changement_data() {
    QTest::addColumn<QStringList>("noms");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("gras");
    const QString un = QStringLiteral("Chaine 1"), deux = QStringLiteral("Chaine 22");
    QTest::newRow("rien de change") << QStringList{un, deux} << 9.75 << false;
    QTest::newRow("un nom plus long") << QStringList{un, deux + QStringLiteral(" et demie")} << 9.75 << false;
    QTest::newRow("un nom plus court") << QStringList{un, QStringLiteral("C")} << 9.75 << false;
    QTest::newRow("une chaine de plus") << QStringList{un, deux, deux + deux} << 9.75 << false;
    QTest::newRow("liste videe") << QStringList{} << 9.75 << false;
    QTest::newRow("police plus grande") << QStringList{un, deux} << 14.0 << false;
    QTest::newRow("police grasse") << QStringList{un, deux} << 9.75 << true;
}

void test_vues::largeur_noms_apres_changement() {
    QFETCH(QStringList, noms);
    QFETCH(qreal, points);
    QFETCH(bool, gras);
    QTreeWidget l;
    QFont police = l.font();
    police.setPointSizeF(9.75);
    l.setFont(police);
    for (const char* n : {"Chaine 1", "Chaine 22"})
        l.addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromLatin1(n)}));
    vues::largeur_texte_noms(&l);

    police.setPointSizeF(points);
    police.setBold(gras);
    l.setFont(police);
    l.clear();
    int attendue = 0;
    for (const QString& n : noms) {
        l.addTopLevelItem(new QTreeWidgetItem(QStringList{n}));
        attendue = std::max(attendue, QFontMetrics(l.font()).horizontalAdvance(n));
    }
    QCOMPARE(vues::largeur_texte_noms(&l), attendue);
    QCOMPARE(vues::largeur_texte_noms(&l), attendue); // asked again unchanged
}

// Channels are numbered from 2: the refresh makes the first row's channel current.
void test_vues::premiere_ligne_courante() {
    banc b;
    {
        auto base = b.base();
        base.ajouter_chaine({5, QStringLiteral("Cinq"), QString(), 1});
        base.ajouter_chaine({2, QStringLiteral("Deux"), QString(), 2});
    }
    b.programme(2, QStringLiteral("De la deux"), a(0, 20, 0), a(0, 21, 0));
    b.programme(5, QStringLiteral("De la cinq"), a(0, 20, 0), a(0, 21, 0));
    b.heure(a(0, 20, 30));
    b.f->rafraichir_fenetre();
    QCOMPARE(b.f->chaine_courante(), 5);
    QCOMPARE(b.colonne(essais::controle<QTreeWidget>(*b.f, "lst_prog"), 3),
             QStringList{QStringLiteral("De la cinq")});
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->text(), QStringLiteral("De la cinq"));
    QVERIFY(essais::controle<QTreeWidget>(*b.f, "lst_chaines")->topLevelItem(0)->isSelected());
}
