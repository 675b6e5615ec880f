// Channels as feeds name them: older ids and names (db/alias_chaines.txt), the
// name on air, and each channel's icon.
#include "core/alias_chaines.h"
#include "core/xmltv.h"

#include <QFile>
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

std::vector<alias_chaine> lire_alias_livres() {
    QFile f(QStringLiteral(ZAPO_SOURCE_TESTS "/../db/alias_chaines.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return lire_alias_chaines(QString::fromUtf8(f.readAll()));
}

} // namespace

class test_xmltv_chaines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The delivered data knows each catalogue channel's current id and name on air.
    void alias_livres_data() {
        QTest::addColumn<QString>("ancien");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nom");
        QTest::newRow("TFX") << "TFX.fr"
                             << "NT1.fr"
                             << "TFX";
        QTest::newRow("LCP") << "LCP.fr"
                             << "LaChaineParlementaire.fr"
                             << "LCP";
        QTest::newRow("L'Équipe") << "LEquipe.fr"
                                  << "LEquipe21.fr"
                                  << "La chaine l’Équipe";
        QTest::newRow("RMC Story") << "rmcstory.fr"
                                   << "Numero23.fr"
                                   << "RMC STORY";
        QTest::newRow("RMC Life") << "Cherie25.fr"
                                  << "Cherie25.fr"
                                  << "RMC Life";
        QTest::newRow("franceinfo") << "franceinfo.fr"
                                    << "FranceInfo.fr"
                                    << "franceinfo:";
        QTest::newRow("NOVO19") << "Novo19.fr"
                                << "NOVO19.fr"
                                << "NOVO19";
        QTest::newRow("TF1 Séries-Films") << "HD1.fr"
                                          << "TF1SeriesFilms.fr"
                                          << "TF1 Séries-Films";
    }
    void alias_livres() {
        QFETCH(QString, ancien);
        QFETCH(QString, id);
        QFETCH(QString, nom);
        const std::vector<alias_chaine> connus = lire_alias_livres();
        const alias_chaine* a = alias_de_chaine(connus, ancien);
        QVERIFY(a);
        QCOMPARE(a->ids.front(), id);
        QCOMPARE(a->noms.front(), nom);
        QVERIFY(!alias_de_chaine(connus, QStringLiteral("TF1.fr")));
    }

    void lecture_alias() {
        const auto a =
            lire_alias_chaines(u"# rien\n\n A.fr | B.fr = Nom A | Ancien # fin\nsans egal\n = Nom\nC.fr =\n");
        QCOMPARE(a.size(), size_t(1));
        QCOMPARE(a[0].ids, (QStringList{QStringLiteral("A.fr"), QStringLiteral("B.fr")}));
        QCOMPARE(a[0].noms, (QStringList{QStringLiteral("Nom A"), QStringLiteral("Ancien")}));
    }

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

    // The name on air replaces a name the program gave, never the user's own.
    void nom_a_jour_data() {
        QTest::addColumn<QString>("stocke");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("ancien nom du catalogue") << "Chérie 25"
                                                 << "RMC Life";
        QTest::newRow("casse et accents") << "CHERIE-25"
                                          << "RMC Life";
        QTest::newRow("déjà le nom actuel") << "RMC Life"
                                            << "";
        QTest::newRow("nom de l'utilisateur") << "Ma chaîne"
                                              << "";
    }
    void nom_a_jour() {
        QFETCH(QString, stocke);
        QFETCH(QString, attendu);
        const alias_chaine a{{QStringLiteral("Cherie25.fr")},
                             {QStringLiteral("RMC Life"), QStringLiteral("Chérie 25")}};
        QCOMPARE(nom_a_jour_chaine(a, stocke), attendu);
    }
};

QTEST_GUILESS_MAIN(test_xmltv_chaines)
#include "test_xmltv_chaines.moc"
