// The "Ce soir" and "Détails" windows driven in process, on a base of the test's own.
#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "noyau/genres.h"
#include "noyau/horloge.h"
#include "outils/banc_fenetre.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_ce_soir.h"
#include "vues/fl_details.h"
#include "vues/fl_main.h"
#include "vues/outils_vues.h"

#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace zapo;

namespace {

const QDate jour0(2026, 12, 7);

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(jour0.addDays(jour), h, m);
}

struct banc : essais::banc_main {
    QList<std::pair<int, qint64>> allers;

    banc() {
        auto b = base();
        for (int i = 1; i <= 3; ++i)
            b.ajouter_chaine(
                {i, QStringLiteral("Chaine %1").arg(i), QStringLiteral("http://127.0.0.1/%1").arg(i), i});
        // Channel 1: two evening programmes (the first with details) and one too early;
        // channel 2: nothing tonight; channel 3: one.
        std::vector<fiche_programme> un{
            {QStringLiteral("Journal"), a(0, 20, 0), date_heure::duree_hm(0, 45), a(0, 20, 45)},
            {QStringLiteral("Film"), a(0, 20, 50), date_heure::duree_hm(1, 40), a(0, 22, 30)},
            {QStringLiteral("Débat"), a(0, 22, 30), date_heure::duree_hm(1, 15), a(0, 23, 45)}};
        un[1].details.description = QStringLiteral("Un braquage qui tourne mal.");
        un[1].details.classement = QStringLiteral("-12");
        un[1].details.categories = {QStringLiteral("Film policier")};
        b.remplacer_programmes(1, un);
        donnees::remplacer_details(b, 1, un);
        b.ajouter_programme({QStringLiteral("Court"), a(0, 21, 0), date_heure::duree_hm(0, 30), a(0, 21, 30)},
                            2);
        b.ajouter_programme({QStringLiteral("Série"), a(0, 21, 5), date_heure::duree_hm(0, 50), a(0, 21, 55)},
                            3);
    }
    ~banc() {
        delete vues::fl_ce_soir::ouverte();
        delete vues::fl_details::ouverte();
    }
    void heure(date_heure t) { h.regler(t.en_qdatetime()); }
    vues::fl_ce_soir* ouvrir() {
        return vues::fl_ce_soir::afficher(ctx, [this](int c, qint64 d) {
            allers << std::pair{c, d};
            f->montrer_programme(c, d);
        });
    }
    static QStringList lignes(QTreeWidget* l) {
        QStringList res;
        for (int i = 0; i < l->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = l->topLevelItem(i);
            QStringList c;
            for (int k = 0; k < 5; ++k)
                c << it->text(k);
            res << (it->icon(0).isNull() ? QString() : QStringLiteral("*")) + c.join(QLatin1Char(' '));
        }
        return res;
    }
};

} // namespace

class test_fl_ce_soir : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lignes_data();
    void lignes();
    void une_seule_fenetre();
    void entree_va_a_la_chaine();
    void rafraichie_a_la_minute();
    void details_du_programme();
    void colonnes_entieres();
    void genre_et_filtre();
    void details_lus_a_la_demande_data();
    void details_lus_a_la_demande();
};

void test_fl_ce_soir::lignes_data() {
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<QStringList>("attendues");
    QTest::newRow("18:00") << 18 << 0
                           << QStringList{QStringLiteral("*Chaine 1 20:50 22:30 Film 1h40"),
                                          QStringLiteral(" 22:30 23:45 Débat 1h15"),
                                          QStringLiteral("*Chaine 2 ... ... ... ..."),
                                          QStringLiteral("*Chaine 3 21:05 21:55 Série 50 min")};
    QTest::newRow("22:00") << 22 << 0
                           << QStringList{QStringLiteral("*Chaine 1 20:50 22:30 Film 1h40"),
                                          QStringLiteral(" 22:30 23:45 Débat 1h15"),
                                          QStringLiteral("*Chaine 2 ... ... ... ..."),
                                          QStringLiteral("*Chaine 3 ... ... ... ...")};
}

void test_fl_ce_soir::lignes() {
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(QStringList, attendues);
    banc b;
    b.heure(a(0, h, m));
    vues::fl_ce_soir* w = b.ouvrir();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Zapo-TV - Ce soir"));
    QTreeWidget* l = w->liste();
    QCOMPARE(banc::lignes(l), attendues);
    QStringList entetes;
    for (int k = 0; k < 5; ++k)
        entetes << l->headerItem()->text(k);
    QCOMPARE(entetes, (QStringList{QStringLiteral("Chaine"), QStringLiteral("Début"), QStringLiteral("Fin"),
                                   QStringLiteral("Programme"), QStringLiteral("Durée")}));
    // The shared row keys; the "..." row has no start.
    QCOMPARE(l->topLevelItem(0)->data(0, vues::role_num_chaine).toInt(), 1);
    QCOMPARE(l->topLevelItem(0)->data(0, vues::role_debut).toLongLong(), qint64(a(0, 20, 50).secondes()));
    QVERIFY(!l->topLevelItem(2)->data(0, vues::role_debut).isValid());
    // The channel's name once, still read out on its second row.
    QCOMPARE(l->topLevelItem(1)->data(0, Qt::AccessibleTextRole).toString(), QStringLiteral("Chaine 1"));
    // The details in the tooltip, the title first.
    const QString bulle = l->topLevelItem(0)->toolTip(3);
    QVERIFY2(bulle.startsWith(QStringLiteral("Film\n")) && bulle.contains(QStringLiteral("braquage")) &&
                 bulle.contains(QStringLiteral("Déconseillé aux moins de 12 ans")),
             qPrintable(bulle));
    QCOMPARE(l->topLevelItem(1)->toolTip(3), QStringLiteral("Débat"));
    QVERIFY(b.boites.vues.empty());
}

void test_fl_ce_soir::une_seule_fenetre() {
    banc b;
    b.heure(a(0, 18, 0));
    QPointer<vues::fl_ce_soir> w = b.ouvrir();
    QCOMPARE(b.ouvrir(), w.data());
    // Échap closes it, and closing deletes it.
    w->liste()->setFocus();
    QTest::keyClick(w->liste(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w.isNull());
    QVERIFY(!vues::fl_ce_soir::ouverte());
}

void test_fl_ce_soir::entree_va_a_la_chaine() {
    banc b;
    b.heure(a(0, 18, 0));
    b.f->rafraichir_fenetre();
    vues::fl_ce_soir* w = b.ouvrir();
    QTreeWidget* l = w->liste();
    // Enter on channel 1's second row: channel 1 stays, its programme is selected.
    l->setCurrentItem(l->topLevelItem(1));
    QTest::keyClick(l, Qt::Key_Return);
    QCOMPARE(b.allers.size(), 1);
    QCOMPARE(b.f->chaine_courante(), 1);
    QVERIFY(essais::controle<QTreeWidget>(*b.f, "lst_prog")->currentItem());
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->currentItem()->text(3),
             QStringLiteral("Débat"));
    // "Ce soir" stays open for the next choice.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(vues::fl_ce_soir::ouverte(), w);
    QVERIFY(w->isVisible());
    // Double-click on channel 3: the main window shows channel 3 and its programme.
    QTreeWidgetItem* trois = l->topLevelItem(3);
    l->scrollToItem(trois);
    const QRect r = l->visualItemRect(trois);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(b.allers.size(), 2);
    QCOMPARE(b.f->chaine_courante(), 3);
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_chaines")->currentItem()->text(3), QStringLiteral("3"));
    QCOMPARE(essais::controle<QTreeWidget>(*b.f, "lst_prog")->currentItem()->text(3),
             QStringLiteral("Série"));
    // The "..." row goes to the channel alone.
    l->setCurrentItem(l->topLevelItem(2));
    QTest::keyClick(l, Qt::Key_Enter);
    QCOMPARE(b.allers.last(), (std::pair<int, qint64>{2, 0}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(vues::fl_ce_soir::ouverte(), w);
    QCOMPARE(b.f->chaine_courante(), 2);
    QVERIFY(b.boites.vues.empty());
}

void test_fl_ce_soir::rafraichie_a_la_minute() {
    banc b;
    b.heure(a(0, 21, 0));
    vues::fl_ce_soir* w = b.ouvrir();
    QCOMPARE(w->liste()->topLevelItemCount(), 4);
    QCOMPARE(w->liste()->topLevelItem(3)->text(3), QStringLiteral("Série"));
    // Série ends at 21:55: the next tick drops it, but not while an update runs.
    b.heure(a(0, 21, 56));
    b.guide.commencer_maj();
    w->tps_minute_Timer();
    QCOMPARE(w->liste()->topLevelItem(3)->text(3), QStringLiteral("Série"));
    b.guide.finir_maj(false);
    w->tps_minute_Timer();
    QCOMPARE(w->liste()->topLevelItem(3)->text(3), QStringLiteral("..."));
    // After an update the rows follow the base.
    b.base().ajouter_programme(
        {QStringLiteral("Nouveau"), a(0, 22, 0), date_heure::duree_hm(1, 0), a(0, 23, 0)}, 3);
    w->remplir();
    QCOMPARE(w->liste()->topLevelItem(3)->text(3), QStringLiteral("Nouveau"));
    QCOMPARE(w->tps_minute.interval(), 60000);
    QVERIFY(w->tps_minute.isActive());
}

void test_fl_ce_soir::details_du_programme() {
    banc b;
    b.heure(a(0, 18, 0));
    b.f->rafraichir_fenetre();
    QTreeWidget* p = essais::controle<QTreeWidget>(*b.f, "lst_prog");
    QCOMPARE(p->topLevelItemCount(), 3);
    QTreeWidgetItem* film = p->topLevelItem(1);
    QCOMPARE(film->text(3), QStringLiteral("Film"));
    QVERIFY(film->toolTip(3).contains(QStringLiteral("braquage")));
    QCOMPARE(film->data(0, vues::role_num_chaine).toInt(), 1);
    QCOMPARE(p->topLevelItem(0)->toolTip(3), QStringLiteral("Journal"));
    // The panel's evening row carries the same details.
    QCOMPARE(essais::controle<QLabel>(*b.f, "txt3")->text(), QStringLiteral("Film"));
    QVERIFY(essais::controle<QLabel>(*b.f, "txt3")->toolTip().contains(QStringLiteral("braquage")));
    // Enter opens "Détails" with everything; a programme without details says so.
    p->setCurrentItem(film);
    b.f->lst_prog_ItemActivated();
    vues::fl_details* d = vues::fl_details::ouverte();
    QVERIFY(d);
    QCOMPARE(d->windowTitle(), QStringLiteral("Zapo-TV - Détails"));
    QVERIFY(d->texte().startsWith(QStringLiteral("Film\n")));
    QVERIFY(d->texte().contains(QStringLiteral("Un braquage qui tourne mal.")));
    p->setCurrentItem(p->topLevelItem(0));
    b.f->lst_prog_ItemActivated();
    QCOMPARE(vues::fl_details::ouverte(), d);
    QVERIFY(d->texte().contains(QStringLiteral("Aucun détail")));
}

void test_fl_ce_soir::colonnes_entieres() {
    // At its default size every column shows whole, with no sideways scroll bar,
    // even with a long channel name and many rows.
    banc b;
    {
        auto base = b.base();
        base.ajouter_chaine({9, QStringLiteral("France Télévisions Outre-mer 1ère"),
                             QStringLiteral("http://127.0.0.1/9"), 9});
        for (int i = 10; i < 40; ++i)
            base.ajouter_chaine(
                {i, QStringLiteral("Chaine %1").arg(i), QStringLiteral("http://127.0.0.1/x"), 1});
        base.ajouter_programme(
            {QStringLiteral("Soirée"), a(0, 20, 55), date_heure::duree_hm(2, 5), a(0, 23, 0)}, 9);
    }
    b.heure(a(0, 18, 0));
    vues::fl_ce_soir* w = b.ouvrir();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTreeWidget* l = w->liste();
    QVERIFY(!l->horizontalScrollBar()->isVisible());
    int total = 0;
    for (int c = 0; c < 5; ++c)
        total += l->columnWidth(c);
    QVERIFY2(total <= l->viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(total).arg(l->viewport()->width())));
    const QFontMetrics fm(l->font());
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = l->topLevelItem(i);
        for (int c = 0; c < 5; ++c) {
            const int place = l->columnWidth(c) - (c == 0 ? l->iconSize().width() : 0);
            QVERIFY2(fm.horizontalAdvance(it->text(c)) < place,
                     qPrintable(QStringLiteral("%1, colonne %2").arg(it->text(c)).arg(c)));
        }
    }
    for (int c = 0; c < 5; ++c)
        QVERIFY(l->header()->fontMetrics().horizontalAdvance(l->headerItem()->text(c)) < l->columnWidth(c));
}

void test_fl_ce_soir::genre_et_filtre() {
    banc b;
    b.heure(a(0, 18, 0));
    QTreeWidget* l = b.ouvrir()->liste();
    QCOMPARE(l->headerItem()->text(5), QStringLiteral("Genre"));
    QCOMPARE(l->topLevelItem(0)->text(5), QStringLiteral("Film"));
    QCOMPARE(l->topLevelItem(1)->text(5), QStringLiteral("Autre"));
    // The filter dims the rows of other genres; "Rien ce soir" rows stay as they are.
    auto* genre = essais::controle<QComboBox>(*vues::fl_ce_soir::ouverte(), "cbo_genre");
    genre->setCurrentText(QStringLiteral("Film"));
    QVERIFY(!l->topLevelItem(0)->data(3, Qt::ForegroundRole).isValid());
    QVERIFY(l->topLevelItem(1)->data(3, Qt::ForegroundRole).isValid());
    QVERIFY(!l->topLevelItem(2)->data(3, Qt::ForegroundRole).isValid());
    genre->setCurrentIndex(0);
    QVERIFY(!l->topLevelItem(1)->data(3, Qt::ForegroundRole).isValid());
}

void test_fl_ce_soir::details_lus_a_la_demande_data() {
    QTest::addColumn<int>("soir");
    QTest::addColumn<QString>("extrait");
    QTest::newRow("tonight, from liste") << 0 << QStringLiteral("braquage");
    QTest::newRow("tomorrow, from the week") << 1 << QStringLiteral("Une enquête à Lyon.");
}

void test_fl_ce_soir::details_lus_a_la_demande() {
    // Only the genre is read with the rows; a tooltip reads the rest when asked
    // for and shows what reading every detail up front gave.
    QFETCH(int, soir);
    QFETCH(QString, extrait);
    banc b;
    {
        auto base = b.base();
        fiche_programme demain{QStringLiteral("Enquête"), a(1, 20, 55), date_heure::duree_hm(1, 0),
                               a(1, 21, 55)};
        demain.details.description = extrait;
        demain.details.categories = {QStringLiteral("Série policière")};
        donnees::remplacer_semaine(base, 1, std::vector{demain});
    }
    b.heure(a(0, 18, 0));
    vues::fl_ce_soir* w = b.ouvrir();
    auto* choix = essais::controle<QComboBox>(*w, "cbo_soir");
    choix->setCurrentIndex(soir);
    Q_EMIT choix->activated(soir);
    QTreeWidget* l = w->liste();
    std::vector<std::pair<int, date_heure>> cles;
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        cles.emplace_back(
            l->topLevelItem(i)->data(0, vues::role_num_chaine).toInt(),
            date_heure::depuis_secondes(l->topLevelItem(i)->data(0, vues::role_debut).toLongLong()));
    auto base = b.base();
    const auto details =
        soir == 0 ? donnees::lire_details_de(base, cles) : donnees::lire_details_semaine_de(base, cles);
    bool vu = false;
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = l->topLevelItem(i);
        if (!it->data(0, vues::role_debut).isValid())
            continue;
        const details_programme* d = details[size_t(i)] ? &*details[size_t(i)] : nullptr;
        QCOMPARE(it->text(5), texte_genre(genre_categories(d ? d->categories : QStringList())));
        for (int c = 0; c < 5; ++c)
            QCOMPARE(it->toolTip(c), vues::infobulle_details(it->text(3), d));
        vu = vu || it->toolTip(3).contains(extrait);
    }
    QVERIFY(vu);
}

QTEST_MAIN(test_fl_ce_soir)
#include "test_fl_ce_soir.moc"
