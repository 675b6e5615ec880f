// Runs through the update window in which feeds fail: what was stored stays, the
// main window is told, automatic runs warn once, and "Annuler" stops a transfer at
// once. The runs' rules alone are in test_echecs_chaines, without a window.
#include "outils/banc_maj.h"

#include "donnees/base_rappels.h"
#include "noyau/sante.h"
#include "outils/controles.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace zapo;
using namespace zapo::essais;

Q_DECLARE_METATYPE(zapo::maj::fin_maj)

namespace {

class faux_notificateur final : public notificateur {
public:
    void envoyer(const QString& titre, const QString& corps, const QString&, const QStringList&) override {
        envois << titre + QStringLiteral(" | ") + corps;
    }
    QStringList envois;
};

// Answers at once, then sends its body one byte at a time, never finishing.
class serveur_goutte : public QObject {
public:
    serveur_goutte() {
        serveur_.listen(QHostAddress::LocalHost);
        connect(&serveur_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = serveur_.nextPendingConnection()) {
                s->setParent(this);
                s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n<");
            }
        });
        connect(&goutte_, &QTimer::timeout, this, [this] {
            for (QTcpSocket* s : findChildren<QTcpSocket*>())
                s->write("x");
        });
        goutte_.start(200);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/lent").arg(serveur_.serverPort()); }

private:
    QTcpServer serveur_;
    QTimer goutte_;
};

} // namespace

class test_guide_conserve : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Nothing came: liste and maj byte for byte, and the main window told at once.
    // Each channel's address names "Une.fr" in its feed.
    void tout_echoue_data() {
        QTest::addColumn<int>("statut");
        QTest::addColumn<QByteArray>("corps");
        QTest::addColumn<QString>("raison");
        QTest::newRow("503") << 503 << QByteArray() << QStringLiteral("Le serveur a répondu 503.");
        QTest::newRow("page vide") << 200 << QByteArray() << QStringLiteral("La page est vide.");
        QTest::newRow("xmltv sans la chaîne")
            << 200 << flux_xmltv(QStringLiteral("Autre.fr"), 2)
            << QStringLiteral(
                   "Cette chaîne manque dans le programme reçu. Identifiant dans le flux : « Une.fr ».");
        QTest::newRow("gzip abîmé") << 200
                                    << compresser_gzip(flux_xmltv(QStringLiteral("Une.fr"), 3)).left(40)
                                    << QStringLiteral("Le document compressé est endommagé.");
        // A Wi-Fi portal answers every address with its login page, status 200.
        QTest::newRow("page de connexion")
            << 200
            << QByteArray("<html><head><title>Connexion au Wi-Fi</title></head><body><form action=\"/login\">"
                          "<p>Identifiant</p><input name=\"u\"><p>Mot de passe</p><input type=\"password\">"
                          "</form></body></html>")
            << QStringLiteral("La réponse n'est pas un programme XMLTV.");
        QTest::newRow("xmltv d'il y a une semaine")
            << 200 << flux_xmltv(QStringLiteral("Une.fr"), 3, "20260605")
            << QStringLiteral("Le flux ne contient aucun programme pour aujourd'hui.");
    }
    void tout_echoue() {
        QFETCH(int, statut);
        QFETCH(QByteArray, corps);
        QFETCH(QString, raison);
        banc_maj b;
        for (const auto& c : trois_chaines())
            b.ajouter(c, false);
        executer_sql(b.base(), "UPDATE chaines SET adresse = adresse || '#Une.fr'");
        serveur_http::reponse r;
        r.statut = statut;
        r.corps = corps;
        r.type_contenu = "application/xml";
        for (const auto& c : trois_chaines())
            b.serveur.definir(c.chemin, r);
        b.anciennes_donnees();
        const QByteArray liste = vider_table(b.base(), "liste");
        const QByteArray maj = vider_table(b.base(), "maj");

        QCOMPARE(b.lancer(), maj::fin_maj::echec_chaines);
        QCOMPARE(vider_table(b.base(), "liste"), liste);
        QCOMPARE(vider_table(b.base(), "maj"), maj);
        QCOMPARE(b.guide.texte_etat(), QStringLiteral("La mise à jour a échoué."));
        QCOMPARE(b.etats_principal.constLast(), QStringLiteral("La mise à jour a échoué."));
        QCOMPARE(b.cours.filter(QStringLiteral("ECHEC ")).size(), 3);
        QVERIFY(b.etat.maj_echouee);
        QVERIFY(b.boites.vues.empty());
        for (const auto& [num, s] : donnees::base_programmes(b.base()).lire_sante()) {
            QVERIFY(!s.succes);
            QCOMPARE(s.raison, raison);
        }
    }

    // Automatic runs: one notification for a set of channels gone wrong, not
    // repeated until one of them has come back.
    void notification_unique() {
        banc_maj b;
        faux_notificateur n;
        b.ctx.notifications = &n;
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        b.ajouter(chaines[1], false);
        repondre(b.serveur, chaines[1].chemin, 503);
        const auto lancer_auto = [&] {
            maj::branchements br;
            br.automatique = true;
            br.fabrique_recup = [&] { return std::make_unique<maj::recuperateur>(b.horloge); };
            return suivi::executer_maj(b.ctx, std::move(br));
        };
        QCOMPARE(b.lancer(), maj::fin_maj::complete); // by hand: never a notification
        QCOMPARE(n.envois.size(), 0);
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QCOMPARE(n.envois, QStringList{QStringLiteral(
                               "Zapo-TV | Les programmes de Deuxième Chaîne n'ont pas pu être mis à jour.")});
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QCOMPARE(n.envois.size(), 1); // the same channel: not again

        // It comes back, then fails again: named again, with the one that dropped by half.
        b.serveur.definir_page(chaines[1].chemin, page_programmes(chaines[1].programmes));
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QCOMPARE(n.envois.size(), 1);
        repondre(b.serveur, chaines[1].chemin, 503);
        b.serveur.definir_page(chaines[0].chemin, page_programmes({{"06h00", "Seul"}}));
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QCOMPARE(n.envois.size(), 2);
        QCOMPARE(n.envois.last(),
                 QStringLiteral("Zapo-TV | Les programmes de ces chaînes n'ont pas pu être mis à "
                                "jour : Télé Une, Deuxième Chaîne."));
    }

    // Every way of stopping ends a transfer that is under way at once.
    // A write from another connection (a reminder's setting or "told" mark) while a
    // channel's fetch hangs: no transaction is open, so it never waits for the busy time-out.
    void ecriture_pendant_transfert() {
        banc_maj b;
        b.delai_ms = 60000;
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        b.ajouter(chaines[1], false);
        serveur_http::reponse muette;
        muette.muet = true;
        b.serveur.definir(chaines[1].chemin, muette);
        qint64 duree = -1;
        QString erreur;
        b.sur_cours = [&](suivi::fl_maj& f, const QString& t) {
            if (t != QStringLiteral("Récupération ") + chaines[1].nom)
                return;
            QTimer::singleShot(200, &f, [&f, &b, &duree, &erreur] {
                QElapsedTimer e;
                e.start();
                try {
                    donnees::base_programmes autre(b.base());
                    donnees::ecrire_minutes_avant(autre, 15);
                } catch (const std::exception& ex) {
                    erreur = QString::fromUtf8(ex.what());
                }
                duree = e.elapsed();
                essais::controle<QPushButton>(f, "bt_annuler")->click();
            });
        };
        QCOMPARE(b.lancer(), maj::fin_maj::annulee);
        QCOMPARE(erreur, QString());
        QVERIFY(duree >= 0);
        QVERIFY2(duree < 1000, qPrintable(QString::number(duree)));
        donnees::base_programmes base(b.base());
        QCOMPARE(donnees::lire_minutes_avant(base), 15);
    }

    void annuler_pendant_transfert_data() {
        QTest::addColumn<int>("facon");
        QTest::addColumn<bool>("goutte"); // the server trickles instead of keeping silent
        QTest::newRow("Annuler") << 0 << false;
        QTest::newRow("Échap") << 1 << false;
        QTest::newRow("case de fermeture") << 2 << false;
        QTest::newRow("Annuler, goutte à goutte") << 0 << true;
    }
    void annuler_pendant_transfert() {
        QFETCH(int, facon);
        QFETCH(bool, goutte);
        banc_maj b;
        b.delai_ms = 60000;
        serveur_goutte lent;
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        if (goutte) {
            donnees::base_programmes(b.base()).ajouter_chaine(
                {chaines[1].num, chaines[1].nom, lent.url(), 1});
        } else {
            b.ajouter(chaines[1], false);
            serveur_http::reponse muette;
            muette.muet = true;
            b.serveur.definir(chaines[1].chemin, muette);
        }
        b.anciennes_donnees();
        const QStringList anciens_3 = titres(b.base(), 3);
        const QByteArray maj = vider_table(b.base(), "maj");
        QElapsedTimer depuis_clic;
        b.sur_cours = [&](suivi::fl_maj& f, const QString& t) {
            if (t != QStringLiteral("Récupération ") + chaines[1].nom)
                return;
            QTimer::singleShot(300, &f, [&f, facon, &depuis_clic] {
                depuis_clic.start();
                if (facon == 0)
                    essais::controle<QPushButton>(f, "bt_annuler")->click();
                else if (facon == 1)
                    QTest::keyClick(&f, Qt::Key_Escape);
                else
                    f.close();
            });
        };
        QCOMPARE(b.lancer(), maj::fin_maj::annulee);
        QVERIFY(depuis_clic.isValid());
        QVERIFY2(depuis_clic.elapsed() < 1000, qPrintable(QString::number(depuis_clic.elapsed())));
        // The first channel was written once fetched; the one cut short keeps its rows.
        QCOMPARE(titres(b.base(), 2),
                 (QStringList{QStringLiteral("Réveil"), QStringLiteral("Journal de midi"),
                              QStringLiteral("Film du soir")}));
        QCOMPARE(titres(b.base(), 3), anciens_3);
        QCOMPARE(vider_table(b.base(), "maj"), maj);
    }
};

QTEST_MAIN(test_guide_conserve)
#include "test_guide_conserve.moc"
