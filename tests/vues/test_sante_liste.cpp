// The channel list says which channels' last update went wrong, in a tooltip
// that a screen reader also gets; the rows' text stays the channel's name.
#include "donnees/base_programmes.h"
#include "modele/guide.h"
#include "noyau/sante.h"
#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/horloge_fixe.h"
#include "outils/textes_hostiles.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"

#include <QTest>

#include <memory>

using namespace zapo;

class test_sante_liste : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void infobulles_data() {
        QTest::addColumn<int>("etat"); // -1: no row, 0: failed, 1: succeeded
        QTest::addColumn<int>("nb");
        QTest::addColumn<QString>("raison");
        QTest::addColumn<QString>("bulle");
        const QString quand = QStringLiteral(", lundi 7 décembre à 10:02");
        QTest::newRow("jamais mise à jour") << -1 << 0 << QString() << QString();
        QTest::newRow("réussie") << 1 << 12 << QString() << QString();
        QTest::newRow("503") << 0 << 0 << QStringLiteral("Le serveur a répondu 503.")
                             << QStringLiteral("Dernière mise à jour : échec (le serveur a répondu 503)") +
                                    quand;
        QTest::newRow("sigle gardé") << 0 << 0 << QStringLiteral("XMLTV illisible.")
                                     << QStringLiteral("Dernière mise à jour : échec (XMLTV illisible)") +
                                            quand;
        QTest::newRow("sans raison") << 0 << 0 << QString()
                                     << QStringLiteral("Dernière mise à jour : échec") + quand;
        const QString absente = QStringLiteral(
            "Cette chaîne manque dans le programme reçu.\nDernière mise à jour : lundi 7 décembre à "
            "10:02\nIdentifiant dans le flux : « TF1.fr »");
        QTest::newRow("absente du flux")
            << 0 << 0 << raison_chaine_absente(QStringLiteral("TF1.fr")) << absente;
        QTest::newRow("absente, mots d'avant")
            << 0 << 0 << QStringLiteral("La chaîne « TF1.fr » n'est pas dans le programme reçu.") << absente;
        QTest::newRow("rien reçu") << 1 << 0 << QString()
                                   << QStringLiteral("Dernière mise à jour : aucun programme reçu") + quand;
    }
    void infobulles() {
        QFETCH(int, etat);
        QFETCH(int, nb);
        QFETCH(QString, raison);
        QFETCH(QString, bulle);
        essais::dossier_essai dossier;
        horloge_fixe h(QDateTime(QDate(2026, 12, 7), QTime(14, 0)));
        essais::fausses_boites boites;
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        ctx.dossier_appli = dossier.chemin();
        ctx.horloge_ = &h;
        ctx.boites = &boites;
        {
            donnees::base_programmes b(dossier.base());
            b.ajouter_chaine({4, QStringLiteral("<b>Télé</b> Une"), QStringLiteral("http://127.0.0.1/4"), 1});
            if (etat >= 0)
                b.ecrire_sante(
                    {4, date_heure::depuis_date(QDate(2026, 12, 7), 10, 2), etat == 1, nb, raison, false});
        }
        vues::fl_main f(ctx);
        f.setAttribute(Qt::WA_DeleteOnClose, false);
        f.remplir_chaines();
        QTreeWidgetItem* it = essais::controle<QTreeWidget>(f, "lst_chaines")->topLevelItem(0);
        QVERIFY(it);
        QCOMPARE(it->text(0), QStringLiteral("<b>Télé</b> Une"));
        QCOMPARE(it->data(0, Qt::AccessibleDescriptionRole).toString(), bulle);
        if (!bulle.isEmpty())
            QCOMPARE(it->toolTip(0), bulle);
        QCOMPARE(it->font(0).italic(), !bulle.isEmpty());

        // A later success clears the mark without refilling the list.
        donnees::base_programmes(dossier.base())
            .ecrire_sante({4, date_heure::depuis_date(QDate(2026, 12, 7), 11, 0), true, 5, QString(), false});
        f.marquer_sante();
        QCOMPARE(essais::controle<QTreeWidget>(f, "lst_chaines")->topLevelItem(0), it);
        QVERIFY(it->data(0, Qt::AccessibleDescriptionRole).toString().isEmpty());
        QVERIFY(!it->font(0).italic());
        QVERIFY(!it->data(0, Qt::ForegroundRole).isValid());
        QVERIFY(!it->toolTip(0).contains(QStringLiteral("503")));
    }

    // What a server said (a header, a status line) goes into the tooltip as
    // written: never a big red word, a local picture or a table.
    void raison_hostile_data() { essais::textes_hostiles_data(); }
    void raison_hostile() {
        QFETCH(QString, texte);
        essais::dossier_essai dossier;
        horloge_fixe h(QDateTime(QDate(2026, 12, 7), QTime(14, 0)));
        essais::fausses_boites boites;
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        ctx.dossier_appli = dossier.chemin();
        ctx.horloge_ = &h;
        ctx.boites = &boites;
        const date_heure quand = date_heure::depuis_date(QDate(2026, 12, 7), 10, 2);
        const QString raison = QStringLiteral("Le serveur a envoyé un encodage inconnu : %1").arg(texte);
        {
            donnees::base_programmes b(dossier.base());
            b.ajouter_chaine({4, texte, QStringLiteral("http://127.0.0.1/4"), 1});
            b.ajouter_chaine({5, QStringLiteral("Cinq"), QStringLiteral("http://127.0.0.1/5"), 1});
            b.ecrire_sante({5, quand, false, 0, raison, false});
        }
        vues::fl_main f(ctx);
        f.setAttribute(Qt::WA_DeleteOnClose, false);
        f.remplir_chaines();
        auto* l = essais::controle<QTreeWidget>(f, "lst_chaines");
        QCOMPARE(l->topLevelItem(0)->text(0), texte);
        QCOMPARE(essais::texte_montre(l->topLevelItem(0)->toolTip(0)), texte);
        const QString bulle = infobulle_sante(false, 0, raison, quand);
        QVERIFY(bulle.contains(texte));
        QCOMPARE(essais::texte_montre(l->topLevelItem(1)->toolTip(0)), bulle);
        // A screen reader gets the plain words.
        QCOMPARE(l->topLevelItem(1)->data(0, Qt::AccessibleDescriptionRole).toString(), bulle);
    }
};

QTEST_MAIN(test_sante_liste)
#include "test_sante_liste.moc"
