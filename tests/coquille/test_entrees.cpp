// Bad inputs met while the program runs: an option file of garbage, a disk
// that fills up, hostile schedule pages. Never a crash, never a loss.

#include "outils/banc_agent.h"
#include "outils/banc_maj.h"
#include "outils/controles.h"
#include "outils/montage_essai.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>

using namespace zapo;
using namespace zapo::essais;

namespace {

QByteArray au_hasard(qsizetype taille, quint32 depart) {
    QByteArray a(taille, Qt::Uninitialized);
    QRandomGenerator aleas(depart);
    aleas.fillRange(reinterpret_cast<quint32*>(a.data()), taille / 4);
    return a;
}

// n programmes at one per five minutes from 06h00, each title `longueur` long.
std::vector<std::pair<QString, QString>> programmes(int n, int longueur = 12) {
    std::vector<std::pair<QString, QString>> res;
    for (int i = 0; i < n; ++i) {
        const int m = (6 * 60 + 5 * i) % (24 * 60);
        res.emplace_back(
            QStringLiteral("%1h%2").arg(m / 60, 2, 10, QLatin1Char('0')).arg(m % 60, 2, 10, QLatin1Char('0')),
            QStringLiteral("Émission %1 ").arg(i).leftJustified(longueur, QLatin1Char('x')));
    }
    return res;
}

qint64 lignes_de(const QString& base, int chaine) {
    qint64 n = 0;
    donnees::base_programmes(base).parcourir_liste(
        [&](const donnees::ligne_liste& l) { n += l.chaine == chaine; });
    return n;
}

} // namespace

class test_entrees : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void options_illisibles_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::newRow("binaire") << au_hasard(65536, 7);
        QTest::newRow("énorme") << QByteArray(24 * 1024 * 1024, 'x');
        QTest::newRow("ligne très longue")
            << QByteArray(1024 * 1024, '1') + "\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n";
        QTest::newRow("que des virgules") << QByteArray(5000, ',');
        QTest::newRow("zéros") << QByteArray(4096, '\0');
        QTest::newRow("nombres hors limites") << QByteArray("1e999999\r\nnan\r\n-inf\r\n0x10\r\n");
    }
    void options_illisibles() {
        QFETCH(QByteArray, contenu);
        banc_agent b(contenu);
        b.premiere = [&] { b.ctx.options.opt_connexion = true; };
        b.agent->Form_Load();
        // The first run, as if the file were missing; its answers replace the garbage.
        QCOMPARE(b.nb_premiere, 1);
        QCOMPARE(lire(b.ctx.chemin_options()), QByteArray("#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n"));
        QVERIFY(b.boites.vues.empty());
        QVERIFY(b.agent->fenetre_chargee());
    }

    void disque_plein_options() {
        if (!espace_montage_prive())
            QSKIP("montage privé impossible (root requis)");
        banc_agent b("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
        const QString plein = b.dossier.chemin() + QStringLiteral("/plein");
        QVERIFY(QDir().mkpath(plein));
        QVERIFY(monter_tmpfs(plein, 256 * 1024));
        QVERIFY(QFile::copy(b.ctx.chemin_options(), plein + QStringLiteral("/config.ini")));
        QVERIFY(QFile::copy(b.ctx.chemin_base(), plein + QStringLiteral("/programmes.mdb")));
        b.ctx.dossier_appli = plein;
        b.agent->Form_Load();
        const QByteArray avant = lire(b.ctx.chemin_options());
        QCOMPARE(remplir(plein, QStringLiteral("bourrage"), 0), qint64(0));

        b.agent->cdecauto_Click();
        b.agent->cagent_Click();
        const QByteArray apres = lire(b.ctx.chemin_options());
        const QStringList restes = QDir(plein).entryList(QDir::Files | QDir::Hidden);
        demonter(plein);
        // The old file whole, the new values in memory and on the menu, and the user told why.
        QCOMPARE(apres, avant);
        QCOMPARE(restes, (QStringList{QStringLiteral("bourrage"), QStringLiteral("config.ini"),
                                      QStringLiteral("programmes.mdb")}));
        QVERIFY(b.ctx.options.opt_deconnexion && b.ctx.options.opt_agent);
        QVERIFY(essais::controle<QAction>(*b.agent->fenetre(), "cdecauto")->isChecked());
        QCOMPARE(b.boites.vues.size(), size_t(2));
        QCOMPARE(b.boites.vues[0].texte,
                 QStringLiteral(
                     "Les options n'ont pas pu être enregistrées dans « %1/config.ini » : le disque est "
                     "plein.\rElles restent valables jusqu'à la fermeture de Zapo-TV.")
                     .arg(plein));
    }

    void disque_plein_maj() {
        if (!espace_montage_prive())
            QSKIP("montage privé impossible (root requis)");
        dossier_essai source;
        QTemporaryDir racine;
        const QString plein = racine.path();
        QVERIFY(monter_tmpfs(plein, 512 * 1024));
        QVERIFY(QFile::copy(source.base(), plein + QStringLiteral("/programmes.mdb")));
        {
            banc_maj b(plein);
            // Enough pages that the new rows cannot fit in what is left.
            for (auto c : trois_chaines()) {
                c.programmes = programmes(100, 600);
                b.ajouter(c);
            }
            b.anciennes_donnees();
            std::map<int, QByteArray> avant;
            for (const auto& c : trois_chaines())
                avant[c.num] = vider_table(b.base(), "liste", "chaine = " + QByteArray::number(c.num));
            const QByteArray maj = vider_table(b.base(), "maj");
            // Room for the shared-memory index and a few pages, not for 300 programmes.
            remplir(plein, QStringLiteral("bourrage"), 96 * 1024);

            QCOMPARE(b.lancer(), maj::fin_maj::erreur);
            QFile::remove(plein + QStringLiteral("/bourrage"));
            // Each channel holds all its old rows or all its 100 new ones; the base is not stamped.
            for (const auto& [num, lignes] : avant) {
                const QByteArray vu = vider_table(b.base(), "liste", "chaine = " + QByteArray::number(num));
                QVERIFY2(vu == lignes || vu.count('\n') == 100, qPrintable(QString::number(num)));
            }
            QCOMPARE(vider_table(b.base(), "maj"), maj);
            QCOMPARE(verifier_integrite(b.base()), QStringLiteral("ok"));
            QCOMPARE(b.guide.texte_etat(), QStringLiteral("La mise à jour a échoué."));
            QCOMPARE(b.boites.vues.size(), size_t(1));
            const QString texte = b.boites.vues[0].texte;
            QVERIFY2(texte.startsWith(QStringLiteral("La mise à jour des programmes s'est arrêtée.")) &&
                         texte.contains(QStringLiteral("le disque est plein")) &&
                         texte.endsWith(QStringLiteral("Les programmes déjà enregistrés sont conservés.")),
                     qPrintable(texte));
        }
        demonter(plein);
    }

    void pages_hostiles_data() {
        // What the first channel's server answers; the other two are ordinary pages.
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("lignes"); // stored for that channel, -1: any number up to 100
        const auto normale = page_programmes(trois_chaines()[0].programmes);
        QTest::newRow("octets au hasard") << au_hasard(1024 * 1024, 11) << -1;
        QTest::newRow("20 Mo de balises")
            << normale + QByteArray("<p class=\"x\">rien</p>\r\n").repeated(900000) << 3;
        QTest::newRow("titre de 20 Mo")
            << "<td>20h50</td><td>" + QByteArray(20 * 1024 * 1024, 'A') + "</td>" << 1;
        QTest::newRow("10 000 horaires") << page_programmes(programmes(10000)) << 100;
        QTest::newRow("sans aucun <") << QByteArray("20h50 Journal >21h30 Film >22h00>").repeated(30000) << 0;
        QTest::newRow("que des >") << QByteArray(2 * 1024 * 1024, '>') << 0;
        QTest::newRow("balise jamais fermée")
            << "<td>20h50</td><td>Film</td><" + QByteArray(1024 * 1024, 'a') << 1;
        QTest::newRow("zéros") << QByteArray(1024 * 1024, '\0') << 0;
    }
    void pages_hostiles() {
        QFETCH(QByteArray, page);
        QFETCH(int, lignes);
        banc_maj b;
        const auto chaines = trois_chaines();
        for (const auto& c : chaines)
            b.ajouter(c);
        b.serveur.definir_page(chaines[0].chemin, page, "text/html");
        QElapsedTimer t;
        t.start();
        QCOMPARE(b.lancer(), maj::fin_maj::complete);
        QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
        // Stored or ignored; a page that gives no programme at all fails its channel.
        const qint64 n = lignes_de(b.base(), chaines[0].num);
        QVERIFY2(b.cours.filter(QStringLiteral("ECHEC")).size() == (n == 0 ? 1 : 0),
                 qPrintable(b.cours.join(u'|')));
        if (lignes >= 0)
            QCOMPARE(n, qint64(lignes));
        else
            QVERIFY(n <= 100);
        QCOMPARE(lignes_de(b.base(), chaines[1].num), qint64(chaines[1].programmes.size()));
        QCOMPARE(lignes_de(b.base(), chaines[2].num), qint64(chaines[2].programmes.size()));
        QVERIFY(b.boites.vues.empty());
    }
};

QTEST_MAIN(test_entrees)
#include "test_entrees.moc"
