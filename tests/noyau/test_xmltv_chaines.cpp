// Channels as feeds name them: found under older ids and names, and each one's icon.
#include "noyau/xmltv.h"

#include <QTest>

using namespace zapo;

namespace {

date_heure quatorze_heures() {
    return date_heure::depuis_date(QDate(2026, 12, 7), 14, 0);
}

QByteArray chaine(const QByteArray& id, const QByteArray& nom, const QByteArray& suite = {}) {
    return "<channel id=\"" + id + "\"><display-name>" + nom + "</display-name>" + suite + "</channel>" +
           "<programme start=\"20261207200000 +0100\" channel=\"" + id + "\"><title>" + id +
           "</title><icon src=\"http://127.0.0.1/programme.png\"/></programme>";
}

const QByteArray flux =
    "<tv>" + chaine("NT1.fr", "TFX", "<icon src=\"http://127.0.0.1/tfx.png\"/>") +
    chaine("LEquipe21.fr", "La chaîne L'Équipe",
           "<icon src=\" https://127.0.0.1/equipe.png \"/><icon src=\"http://127.0.0.1/2.png\"/>") +
    chaine("Cherie25.fr", "RMC Life") + chaine("Numero23.fr", "RMC STORY") + chaine("HD1.fr", "Autre") +
    chaine("TF1SeriesFilms.fr", "TF1 Séries-Films") + "</tv>";

} // namespace

class test_xmltv_chaines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What an address naming an older id or a stored older name finds in the feed.
    void correspondance_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("noms");
        QTest::addColumn<int>("regle"); // -1: not found
        QTest::addColumn<QString>("trouvee");
        QTest::newRow("ancien identifiant")
            << "TFX.fr"
            << "TFX" << QStringList{"NT1.fr", "TFX.fr"} << QStringList{"TFX", "NT1"}
            << int(regle_xmltv::ancien_identifiant) << "NT1.fr";
        QTest::newRow("ancien identifiant, casse")
            << "LEquipe.fr"
            << "Mon sport" << QStringList{"lequipe21.FR", "LEquipe.fr"} << QStringList{}
            << int(regle_xmltv::ancien_identifiant) << "LEquipe21.fr";
        QTest::newRow("identifiant avant alias") << "Numero23.fr"
                                                 << "Autre" << QStringList{"HD1.fr"} << QStringList{}
                                                 << int(regle_xmltv::identifiant) << "Numero23.fr";
        QTest::newRow("nom avant ancien nom") << "Inconnu.fr"
                                              << "RMC Life" << QStringList{} << QStringList{"TFX"}
                                              << int(regle_xmltv::nom_affiche) << "Cherie25.fr";
        QTest::newRow("ancien nom") << "Inconnu.fr"
                                    << "Chérie 25" << QStringList{} << QStringList{"RMC Life", "Chérie 25"}
                                    << int(regle_xmltv::ancien_nom) << "Cherie25.fr";
        QTest::newRow("anciens identifiants ambigus")
            << "X.fr"
            << "" << QStringList{"HD1.fr", "NT1.fr"} << QStringList{} << -1 << "";
    }
    void correspondance() {
        QFETCH(QString, id);
        QFETCH(QString, nom);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, noms);
        QFETCH(int, regle);
        QFETCH(QString, trouvee);
        const std::vector<chaine_voulue> v{{id, nom, ids, noms}};
        const auto l = lire_xmltv(flux, quatorze_heures(), v);
        QVERIFY2(l.ok, qPrintable(l.erreur));
        QCOMPARE(l.chaines.contains(id), regle >= 0);
        if (regle < 0)
            return;
        QCOMPARE(int(l.correspondances.value(id).first), regle);
        QCOMPARE(l.correspondances.value(id).second, trouvee);
        QCOMPARE(l.programmes.value(id).size(), size_t(1));
        QCOMPARE(l.programmes.value(id)[0].programme, trouvee);
    }

    // The first icon of the channel element, never a programme's; none without one.
    void icones_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("icone");
        QTest::newRow("une icône") << "NT1.fr"
                                   << "http://127.0.0.1/tfx.png";
        QTest::newRow("la première, sans blancs") << "LEquipe21.fr"
                                                  << "https://127.0.0.1/equipe.png";
        QTest::newRow("aucune") << "Cherie25.fr"
                                << "";
    }
    void icones() {
        QFETCH(QString, id);
        QFETCH(QString, icone);
        const std::vector<chaine_voulue> v{{id, {}}};
        QCOMPARE(lire_xmltv(flux, quatorze_heures(), v).icones.value(id), icone);
        QCOMPARE(lire_xmltv(flux, quatorze_heures()).icones.value(id), icone);
        const QByteArray longue =
            "<tv>" + chaine("L.fr", "L", "<icon src=\"http://127.0.0.1/" + QByteArray(3000, 'a') + "\"/>") +
            "</tv>";
        QVERIFY(lire_xmltv(longue, quatorze_heures()).icones.isEmpty());
    }
};

QTEST_GUILESS_MAIN(test_xmltv_chaines)
#include "test_xmltv_chaines.moc"
