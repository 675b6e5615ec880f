// An update run with no shell around it, only the guide: the run itself says
// that it starts and how it ends, and by the time programmes are announced the
// reminders have followed theirs.
#include "donnees/base_rappels.h"
#include "outils/banc_pilote.h"

#include <QSignalSpy>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

Q_DECLARE_METATYPE(zapo::maj::fin_maj)

namespace {

date_heure le_12(int h, int m) {
    return date_heure::depuis_date(QDate(2026, 6, 12), h, m);
}

} // namespace

class test_annonces_maj : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fin_data() {
        QTest::addColumn<bool>("en_ligne");
        QTest::addColumn<bool>("panne");
        QTest::addColumn<maj::fin_maj>("fin");
        QTest::addColumn<QString>("statut");
        QTest::addColumn<int>("heure_rappel"); // minutes after 20:00 the reminder is at, once the run is over
        QTest::newRow("complète") << true << false << maj::fin_maj::complete << "Programmes à jour." << 50;
        QTest::newRow("hors ligne") << false << false << maj::fin_maj::echec_connexion
                                    << "Erreur de connection Internet" << 30;
        QTest::newRow("toutes en panne")
            << true << true << maj::fin_maj::echec_chaines << "La mise à jour a échoué." << 30;
    }
    void fin() {
        QFETCH(bool, en_ligne);
        QFETCH(bool, panne);
        QFETCH(maj::fin_maj, fin);
        QFETCH(QString, statut);
        QFETCH(int, heure_rappel);
        banc_pilote b;
        QVERIFY(b.pret());
        b.remplacer_chaines({});
        b.ajouter({2, QStringLiteral("Télé Une"), QStringLiteral("/une"), {{"20h50", "Film du soir"}}});
        if (panne)
            repondre(b.serveur, QStringLiteral("/une"), 500);
        b.cx.en_ligne = en_ligne;
        {
            // Yesterday's schedule said 20:30: the reminder was set then.
            donnees::base_programmes base(b.base());
            base.ajouter_programme(
                {QStringLiteral("Film du soir"), le_12(20, 30), date_heure::duree_hm(1, 0), le_12(21, 30)},
                2);
            donnees::ajouter_rappel(
                base, rappel{0, 2, le_12(20, 30), le_12(21, 30), QStringLiteral("Film du soir")});
        }

        QStringList entendus;
        QList<bool> en_cours;
        int rappel_vu = -1; // where the reminder was when programmes were announced
        auto ecouter = [&](void (modele::guide::*signal)(), const char* nom) {
            QObject::connect(&b.guide, signal, &b.guide, [&, nom] { entendus << QString::fromLatin1(nom); });
        };
        QObject::connect(&b.guide, &modele::guide::etat_maj_change, &b.guide,
                         [&] { en_cours << b.guide.maj_en_cours(); });
        QObject::connect(&b.guide, &modele::guide::programmes_changes, &b.guide, [&] {
            donnees::base_programmes base(b.base());
            const auto r = donnees::lire_rappels(base);
            if (r.size() == 1)
                rappel_vu = int((r.front().debut - le_12(20, 0)).secondes() / 60);
        });
        ecouter(&modele::guide::etat_maj_change, "etat");
        ecouter(&modele::guide::sante_changee, "sante");
        ecouter(&modele::guide::programmes_changes, "programmes");
        ecouter(&modele::guide::logos_changes, "logos");
        ecouter(&modele::guide::rappels_changes, "rappels");
        ecouter(&modele::guide::chaines_changees, "chaines");
        QSignalSpy programmes(&b.guide, &modele::guide::programmes_changes);

        QCOMPARE(b.lancer(), fin);

        // Start, connection, the run's last sentence; then the end, each said once.
        QCOMPARE(entendus,
                 (QStringList{"etat", "etat", "etat", "etat", "sante", "programmes", "logos", "rappels"}));
        QCOMPARE(en_cours, (QList<bool>{true, true, true, false}));
        QCOMPARE(programmes.size(), 1);
        QCOMPARE(b.guide.texte_etat(), statut);
        QVERIFY(!b.guide.maj_en_cours());
        // A run that wrote programmes had its reminders follow them before anyone heard of it.
        QCOMPARE(rappel_vu, heure_rappel);
        QCOMPARE(b.guide.rappels().size(), std::size_t(1));
        QCOMPARE(b.guide.rappels().front().debut, le_12(20, heure_rappel));
    }
};

QTEST_GUILESS_MAIN(test_annonces_maj)
#include "test_annonces_maj.moc"
