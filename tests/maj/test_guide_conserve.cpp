// Runs in which feeds fail: what was stored stays, each channel's health is kept,
// automatic runs warn once, and "Annuler" stops a transfer at once.
#include "outils/banc_maj.h"

#include "core/sante.h"
#include "data/base_rappels.h"
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

// A one-channel XMLTV feed whose programmes fall on 12 June 2026 (or on `jour`).
QByteArray flux_xmltv(const QString& id, int nb, const QByteArray& jour = "20260612") {
    QByteArray f = "<?xml version=\"1.0\"?><tv><channel id=\"" + id.toUtf8() + "\"/>";
    for (int i = 0; i < nb; ++i)
        f += "<programme start=\"" + jour + "15" + QByteArray::number(10 + i) + "00 +0200\" channel=\"" +
             id.toUtf8() + "\"><title>Émission " + QByteArray::number(i) + "</title></programme>";
    return f + "</tv>";
}

void repondre(serveur_http& s, const QString& chemin, int statut) {
    serveur_http::reponse r;
    r.statut = statut;
    r.corps = "indisponible";
    s.definir(chemin, r);
}

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

QStringList titres(const QString& base, int chaine) {
    QStringList res;
    donnees::base_programmes(base).parcourir_chaine(
        chaine, [&](const donnees::ligne_liste& l) { res << l.programme; });
    return res;
}

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
        QCOMPARE(b.etat.texte_etat, QStringLiteral("La mise à jour a échoué."));
        QCOMPARE(b.etats_principal, QStringList{QStringLiteral("La mise à jour a échoué.")});
        QCOMPARE(b.cours.filter(QStringLiteral("ECHEC ")).size(), 3);
        QVERIFY(b.etat.maj_echouee);
        QVERIFY(b.boites.vues.empty());
        for (const auto& [num, s] : donnees::base_programmes(b.base()).lire_sante()) {
            QVERIFY(!s.succes);
            QCOMPARE(s.raison, raison);
        }
    }

    // The feed's ids drift: the channel is still found, by case, by an older id of its own or by its display
    // name.
    void correspondance_data() {
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<bool>("trouvee");
        QTest::newRow("identifiant") << "LEquipe21.fr"
                                     << "Autre" << true;
        QTest::newRow("casse") << "lequipe21.FR"
                               << "Autre" << true;
        QTest::newRow("nom affiché") << "LEquipe.fr"
                                     << "L'Équipe" << true;
        QTest::newRow("ancien identifiant") << "LEquipe.fr"
                                            << "Équipe 21" << true;
        QTest::newRow("aucune") << "Equipe.fr"
                                << "Équipe 21" << false;
    }
    void correspondance() {
        QFETCH(QString, fragment);
        QFETCH(QString, nom);
        QFETCH(bool, trouvee);
        banc_maj b;
        QByteArray f = flux_xmltv(QStringLiteral("LEquipe21.fr"), 2);
        f.replace("<channel id=\"LEquipe21.fr\"/>",
                  "<channel id=\"LEquipe21.fr\"><display-name>L'EQUIPE</display-name></channel>");
        b.serveur.definir_page(QStringLiteral("/tnt.xml"), f, "application/xml");
        donnees::base_programmes(b.base()).ajouter_chaine(
            {2, nom, b.serveur.url(QStringLiteral("/tnt.xml#")) + fragment, 1});
        b.lancer();
        QCOMPARE(titres(b.base(), 2).size(), trouvee ? 2 : 0);
        QCOMPARE(b.cours.contains(QStringLiteral("ECHEC ") + nom), !trouvee);
    }

    // Some came: those are renewed, the others keep their rows, maj is stamped.
    void echec_partiel() {
        banc_maj b;
        const auto chaines = trois_chaines();
        b.ajouter(chaines[0]);
        b.ajouter(chaines[1], false);
        repondre(b.serveur, chaines[1].chemin, 500);
        b.anciennes_donnees(); // rows on channels 2 and 3
        const QStringList anciens_3 = titres(b.base(), 3);
        QCOMPARE(anciens_3.size(), 2);

        QCOMPARE(b.lancer(), maj::fin_maj::complete);
        QCOMPARE(titres(b.base(), 2),
                 (QStringList{QStringLiteral("Réveil"), QStringLiteral("Journal de midi"),
                              QStringLiteral("Film du soir")}));
        QCOMPARE(titres(b.base(), 3), anciens_3);
        QCOMPARE(b.etat.texte_etat, QStringLiteral("Programmes à jour."));
        const auto maj = donnees::base_programmes(b.base()).lire_maj();
        QVERIFY(maj.has_value());
        QCOMPARE(maj->date(), QDate(2026, 6, 12));
        QVERIFY(!b.etat.maj_echouee);
    }

    void sante_data() {
        QTest::addColumn<int>("statut");
        QTest::addColumn<QByteArray>("corps");
        QTest::addColumn<bool>("succes");
        QTest::addColumn<int>("nb");
        QTest::addColumn<QString>("raison");
        QTest::addColumn<QString>("bulle");
        QTest::newRow("réussite") << 200 << flux_xmltv(QStringLiteral("Une.fr"), 3) << true << 3 << QString()
                                  << QString();
        QTest::newRow("échec")
            << 503 << QByteArray() << false << 0 << QStringLiteral("Le serveur a répondu 503.")
            << QStringLiteral(
                   "Dernière mise à jour : échec (le serveur a répondu 503), vendredi 12 juin à 14:00");
        // A feed without the channel: plain words first, the feed's id after them.
        QTest::newRow("chaîne absente du flux")
            << 200 << flux_xmltv(QStringLiteral("Autre.fr"), 3) << false << 0
            << QStringLiteral(
                   "Cette chaîne manque dans le programme reçu. Identifiant dans le flux : « Une.fr ».")
            << QStringLiteral(
                   "Cette chaîne manque dans le programme reçu.\nDernière mise à jour : vendredi 12 "
                   "juin à 14:00\nIdentifiant dans le flux : « Une.fr »");
        QTest::newRow("flux vide")
            << 200 << flux_xmltv(QStringLiteral("Une.fr"), 0) << false << 0
            << QStringLiteral("Le flux ne contient aucun programme pour aujourd'hui.")
            << QStringLiteral("Dernière mise à jour : échec (le flux ne contient aucun programme pour "
                              "aujourd'hui), vendredi 12 juin à 14:00");
    }
    void sante() {
        QFETCH(int, statut);
        QFETCH(QByteArray, corps);
        QFETCH(bool, succes);
        QFETCH(int, nb);
        QFETCH(QString, raison);
        QFETCH(QString, bulle);
        banc_maj b;
        serveur_http::reponse r;
        r.statut = statut;
        r.corps = corps;
        r.type_contenu = "application/xml";
        b.serveur.definir(QStringLiteral("/f.xml"), r);
        {
            donnees::base_programmes base(b.base());
            QVERIFY(base.lire_sante().empty()); // a file of before: no table, no harm
            base.ajouter_chaine(
                {2, QStringLiteral("Télé Une"), b.serveur.url(QStringLiteral("/f.xml#Une.fr")), 1});
        }
        b.lancer();
        const auto s = donnees::base_programmes(b.base()).lire_sante();
        QCOMPARE(s.size(), size_t(1));
        const auto& l = s.at(2);
        QCOMPARE(l.succes, succes);
        QCOMPARE(l.nb_programmes, nb);
        QCOMPARE(l.raison, raison);
        QCOMPARE(l.quand, date_heure::depuis_date(QDate(2026, 6, 12), 14, 0));
        QCOMPARE(zapo::infobulle_sante(l.succes, l.nb_programmes, l.raison, l.quand), bulle);
        // The start-up check still passes with the new table in the file.
        donnees::base_programmes(b.base(), donnees::base_programmes::ouverture::verification)
            .verifier_structure();
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
            return maj::executer_maj(b.ctx, std::move(br));
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

    // A value SQLite refuses stops the write; it never becomes a NULL row.
    void liaison_refusee() {
        banc_maj b;
        // Every connection opened from here on gets the small limit, the program's included.
        const auto limiter = +[](sqlite3* db, char**, const sqlite3_api_routines*) {
            sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1000); // the schema's texts still fit
            return SQLITE_OK;
        };
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(limiter));
        const std::unique_ptr<void, void (*)(void*)> retirer(reinterpret_cast<void*>(1),
                                                             [](void*) { sqlite3_reset_auto_extension(); });
        donnees::base_programmes base(b.base());
        const qint64 avant = base.nb_lignes(QStringLiteral("liste"));
        const date_heure d = date_heure::depuis_date(QDate(2026, 6, 12), 20, 0);
        QVERIFY_THROWS_EXCEPTION(
            donnees::erreur_base,
            base.ajouter_programme({QString(2000, u'x'), d, une_heure, d + une_heure}, 2));
        QCOMPARE(base.nb_lignes(QStringLiteral("liste")), avant);
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
        b.sur_cours = [&](maj::fl_maj& f, const QString& t) {
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
        b.sur_cours = [&](maj::fl_maj& f, const QString& t) {
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
