// "Rechercher..." inside the whole application: opened from the main window,
// it brings that window back when it was closed, and follows updates.
#include "outils/banc_agent.h"
#include "outils/controles.h"
#include "vues/fl_recherche.h"

using namespace zapo;
using namespace zapo::essais;
using vues::fl_recherche;

namespace {

date_heure a(int h, int m) {
    return date_heure::depuis_qdatetime(le(7, h, m));
}

} // namespace

class test_recherche_agent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fenetre_rouverte_et_maj() {
        // The agent keeps the program alive once the main window is closed.
        banc_agent b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        {
            donnees::base_programmes base(b.ctx.chemin_base());
            base.ajouter_chaine({2, QStringLiteral("Deux"), QStringLiteral("http://127.0.0.1/2"), 1});
            base.ajouter_chaine({3, QStringLiteral("Trois"), QStringLiteral("http://127.0.0.1/3"), 2});
            base.ajouter_programme({QStringLiteral("Avant"), a(15, 0), date_heure::duree_hm(1, 0), a(16, 0)},
                                   3);
            base.ajouter_programme(
                {QStringLiteral("Bel été"), a(21, 0), date_heure::duree_hm(1, 0), a(22, 0)}, 3);
        }
        b.stamper(le(7, 13, 0));
        b.agent->Form_Load();
        b.agent->charger_fenetre();
        QVERIFY(b.agent->fenetre());
        essais::controle<QAction>(*b.agent->fenetre(), "drecherche")->trigger();
        QPointer<fl_recherche> r = fl_recherche::ouverte();
        QVERIFY(r);

        b.agent->fermer_fenetre();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!b.agent->fenetre());
        QTest::keyClicks(essais::controle<QLineEdit>(*r, "txt_recherche"), QStringLiteral("ETE"));
        QTest::keyClick(essais::controle<QLineEdit>(*r, "txt_recherche"), Qt::Key_Return);
        vues::fl_main* f = b.agent->fenetre();
        QVERIFY(f);
        QCOMPARE(b.agent->fenetre()->chaine_courante(), 3);
        QVERIFY(essais::controle<QTreeWidget>(*f, "lst_prog")->currentItem());
        QCOMPARE(essais::controle<QTreeWidget>(*f, "lst_prog")->currentItem()->text(3),
                 QStringLiteral("Bel été"));
        QVERIFY(r);
        QVERIFY(b.boites.vues.empty());

        // An update changed the stored programmes: the list reads them again.
        b.sur_maj = [&] {
            donnees::base_programmes(b.ctx.chemin_base())
                .ajouter_programme(
                    {QStringLiteral("Été indien"), a(23, 0), date_heure::duree_hm(1, 0), a(23, 59)}, 2);
        };
        b.agent->lancer_maj();
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItemCount(), 2);
        QCOMPARE(essais::controle<QTreeWidget>(*r, "lst_resultats")->topLevelItem(1)->text(4),
                 QStringLiteral("Été indien"));
    }
};

QTEST_MAIN(test_recherche_agent)
#include "test_recherche_agent.moc"
