// The XMLTV reader as the update uses it: finding the wanted channels, and
// feeds built to hurt. Also the back-off of automatic runs and the title cut.
#include "noyau/relance.h"
#include "noyau/scanner.h"
#include "noyau/xmltv.h"
#include "outils/horloge_fixe.h"

#include <QTest>

using namespace zapo;

namespace {

date_heure quatorze_heures() {
    return date_heure::depuis_date(QDate(2026, 12, 7), 14, 0);
}

QByteArray programme(const QByteArray& chaine, const QByteArray& titre, int heure = 20) {
    return "<programme start=\"20261207" + QByteArray::number(heure) + "0000 +0100\" channel=\"" + chaine +
           "\"><title>" + titre + "</title></programme>";
}

const QByteArray flux_ids = "<tv>"
                            "<channel id=\"LEquipe21.fr\"><display-name>L'ÉQUIPE</display-name></channel>"
                            "<channel id=\"FranceInfo.fr\"><display-name>franceinfo:</display-name></channel>"
                            "<channel id=\"Numero23.fr\"><display-name>RMC Story</display-name></channel>"
                            "<channel id=\"Double1.fr\"><display-name>Double</display-name></channel>"
                            "<channel id=\"Double2.fr\"><display-name>DOUBLE</display-name></channel>" +
                            programme("LEquipe21.fr", "Sport") + programme("FranceInfo.fr", "Info") +
                            programme("Numero23.fr", "Story") + programme("Double1.fr", "D1") + "</tv>";

} // namespace

class test_xmltv_voulues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void correspondance_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("regle"); // -1: not found
        QTest::addColumn<QString>("titre");
        QTest::newRow("identifiant") << "Numero23.fr"
                                     << "Autre nom" << int(regle_xmltv::identifiant) << "Story";
        QTest::newRow("casse") << "franceinfo.fr"
                               << "Rien" << int(regle_xmltv::casse) << "Info";
        QTest::newRow("nom affiché") << "LEquipe.fr"
                                     << "L'Équipe" << int(regle_xmltv::nom_affiche) << "Sport";
        QTest::newRow("nom avec espaces") << "RMCStory.fr"
                                          << "rmc-story" << int(regle_xmltv::nom_affiche) << "Story";
        QTest::newRow("nom ambigu") << "Double.fr"
                                    << "double" << -1 << "";
        QTest::newRow("absente") << "Absente.fr"
                                 << "Absente" << -1 << "";
    }
    void correspondance() {
        QFETCH(QString, id);
        QFETCH(QString, nom);
        QFETCH(int, regle);
        QFETCH(QString, titre);
        const std::vector<chaine_voulue> v{{id, nom}};
        const auto l = lire_xmltv(flux_ids, quatorze_heures(), v);
        QVERIFY2(l.ok, qPrintable(l.erreur));
        QCOMPARE(l.chaines.contains(id), regle >= 0);
        if (regle < 0)
            return;
        QCOMPARE(int(l.correspondances.value(id).first), regle);
        const auto& p = l.programmes.value(id);
        QCOMPARE(p.size(), size_t(1));
        QCOMPARE(p[0].programme, titre);
        // Only what was asked for is kept.
        QCOMPARE(l.programmes.size(), 1);
    }

    void titres_coupes_data() {
        QTest::addColumn<QByteArray>("titre");
        QTest::addColumn<QString>("attendu");
        const QString cinq_cents(500, u'a');
        QTest::newRow("court") << QByteArray("Journal") << QStringLiteral("Journal");
        QTest::newRow("501") << QByteArray(501, 'a') << cinq_cents;
        QTest::newRow("paire coupée") << (QByteArray(499, 'a') + "\xF0\x9F\x93\xBA") << QString(499, u'a');
        QTest::newRow("imbriqué") << QByteArray("<b>Le <i>grand</i></b> soir")
                                  << QStringLiteral("Le grand soir");
        QTest::newRow("cent éléments")
            << (QByteArray("x") + QByteArray("<b>").repeated(100) + "y" + QByteArray("</b>").repeated(100))
            << QStringLiteral("xy");
    }
    void titres_coupes() {
        QFETCH(QByteArray, titre);
        QFETCH(QString, attendu);
        const QByteArray doc = "<tv>" + programme("c", titre) + "</tv>";
        const auto l =
            lire_xmltv(doc, quatorze_heures(), std::vector<chaine_voulue>{{QStringLiteral("c"), {}}});
        QVERIFY2(l.ok, qPrintable(l.erreur));
        QCOMPARE(l.programmes.value(QStringLiteral("c")).at(0).programme, attendu);
    }

    // Schedule pages obey the same cut.
    void titre_de_page_coupe_data() {
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("court") << "Journal"
                               << "Journal";
        QTest::newRow("600") << QString(600, u'é') << QString(500, u'é');
        QTest::newRow("paire coupée") << QString(499, u'a') + QStringLiteral("📺📺") << QString(499, u'a');
    }
    void titre_de_page_coupe() {
        QFETCH(QString, titre);
        QFETCH(QString, attendu);
        const horloge_fixe h(QDateTime(QDate(2026, 12, 7), QTime(14, 0)));
        const QString page = QStringLiteral("<td>20h50</td><td>") + titre + QStringLiteral("</td><td>x</td>");
        const auto r = decouper_page(page, h);
        QCOMPARE(r.programmes.size(), size_t(1));
        QCOMPARE(r.programmes[0].programme, attendu);
    }

    // Open elements piled up: refused at once, whatever their number.
    void imbrication_data() {
        QTest::addColumn<int>("profondeur");
        QTest::addColumn<bool>("ok");
        QTest::newRow("990") << 990 << true;
        QTest::newRow("1 001") << 1001 << false;
        QTest::newRow("un million") << 1'000'000 << false;
    }
    void imbrication() {
        QFETCH(int, profondeur);
        QFETCH(bool, ok);
        const QByteArray titre =
            QByteArray("<b>").repeated(profondeur) + "y" + QByteArray("</b>").repeated(profondeur);
        const auto l = lire_xmltv("<tv>" + programme("c", titre) + "</tv>", quatorze_heures(),
                                  std::vector<chaine_voulue>{{QStringLiteral("c"), {}}});
        QCOMPARE(l.ok, ok);
        if (!ok)
            QVERIFY(l.erreur.contains(QStringLiteral("imbriqués")));
    }

    // A 4,000-character entity met 10,000 times, and one within bounds.
    void entites_data() {
        QTest::addColumn<int>("longueur");
        QTest::addColumn<int>("references");
        QTest::addColumn<bool>("ok");
        QTest::newRow("bombe") << 4000 << 10000 << false;
        QTest::newRow("juste au-dessus") << 1000 << 2100 << false;
        QTest::newRow("raisonnable") << 20 << 50 << true;
    }
    void entites() {
        QFETCH(int, longueur);
        QFETCH(int, references);
        QFETCH(bool, ok);
        const QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE tv [<!ENTITY e \"" +
                               QByteArray(longueur, 'z') + "\">]><tv>" +
                               programme("c", QByteArray("&e;").repeated(references)) + "</tv>";
        const auto l =
            lire_xmltv(doc, quatorze_heures(), std::vector<chaine_voulue>{{QStringLiteral("c"), {}}});
        QCOMPARE(l.ok, ok);
        if (ok)
            QCOMPARE(l.programmes.value(QStringLiteral("c")).at(0).programme.size(), qsizetype(500));
    }

    // One wanted channel among 80,000: found, and only its programmes kept.
    void quatre_vingt_mille_chaines() {
        QByteArray doc = "<tv>";
        for (int i = 0; i < 80000; ++i)
            doc += programme("c" + QByteArray::number(i), "t");
        doc += programme("voulue", "la bonne", 21) + "</tv>";
        const auto l =
            lire_xmltv(doc, quatorze_heures(), std::vector<chaine_voulue>{{QStringLiteral("voulue"), {}}});
        QVERIFY(l.ok);
        QCOMPARE(l.programmes.size(), 1);
        QCOMPARE(l.programmes.value(QStringLiteral("voulue")).at(0).programme, QStringLiteral("la bonne"));
    }

    void noms_simplifies_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("simple");
        QTest::newRow("accent et apostrophe") << "L'Équipe"
                                              << "lequipe";
        QTest::newRow("capitales") << "L'EQUIPE"
                                   << "lequipe";
        QTest::newRow("blancs et ponctuation") << " France  2 (HD) "
                                               << "france2hd";
        QTest::newRow("vide") << ""
                              << "";
    }
    void noms_simplifies() {
        QFETCH(QString, nom);
        QFETCH(QString, simple);
        QCOMPARE(nom_simplifie(nom), simple);
    }

    // Failures in a row and the wait after the last one; a success resets.
    void relance_data() {
        QTest::addColumn<QList<int>>("echecs_a"); // minutes since the start at which a run fails
        QTest::addColumn<QList<int>>("permise");  // minutes asked
        QTest::addColumn<QList<bool>>("reponses");
        QTest::newRow("aucun échec") << QList<int>{} << QList<int>{0, 1} << QList<bool>{true, true};
        QTest::newRow("un échec: 15 min")
            << QList<int>{0} << QList<int>{1, 14, 15} << QList<bool>{false, false, true};
        QTest::newRow("deux: 30 min") << QList<int>{0, 15} << QList<int>{44, 45} << QList<bool>{false, true};
        QTest::newRow("trois: 60 min")
            << QList<int>{0, 15, 45} << QList<int>{104, 105} << QList<bool>{false, true};
        QTest::newRow("quatre: 120 min")
            << QList<int>{0, 15, 45, 105} << QList<int>{224, 225} << QList<bool>{false, true};
        QTest::newRow("plafond") << QList<int>{0, 15, 45, 105, 225} << QList<int>{344, 345}
                                 << QList<bool>{false, true};
        QTest::newRow("horloge reculée") << QList<int>{600} << QList<int>{0} << QList<bool>{true};
    }
    void relance() {
        QFETCH(QList<int>, echecs_a);
        QFETCH(QList<int>, permise);
        QFETCH(QList<bool>, reponses);
        const QDateTime t0(QDate(2026, 12, 7), QTime(10, 0));
        zapo::relance r;
        for (int m : echecs_a)
            r.echec(t0.addSecs(m * 60));
        for (int i = 0; i < permise.size(); ++i)
            QCOMPARE(r.permise(t0.addSecs(permise[i] * 60)), reponses[i]);
        r.succes();
        QVERIFY(r.permise(t0));
        QCOMPARE(r.echecs(), 0);
    }
    void attentes() {
        const QList<int> attendu{0, 15, 30, 60, 120, 120, 120};
        for (int i = 0; i < attendu.size(); ++i)
            QCOMPARE(zapo::relance::attente_minutes(i), attendu[i]);
    }
};

QTEST_APPLESS_MAIN(test_xmltv_voulues)
#include "test_xmltv_voulues.moc"
