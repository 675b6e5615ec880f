// The real program told to end by a signal, and asked for by a second start
// while its first update is still going.
#include "donnees/base_rappels.h"
#include "donnees/transaction.h"
#include "outils/scene_maj.h"

#include <sqlite3.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QString aucune_option = QStringLiteral("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
const QString majauto_seule = QStringLiteral("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");

std::vector<chaine_essai> une_chaine() {
    return {
        {2, QStringLiteral("Télé Une"), QStringLiteral("/une"), {{"06h00", "Réveil"}, {"12h30", "Midi"}}}};
}

// A session bus of the test's own, watched by dbus-monitor for Activate calls.
struct bus_prive {
    QTemporaryDir dossier;
    QProcess demon;
    QProcess moniteur;
    QString adresse;

    bool demarrer() {
        demon.setStandardErrorFile(QProcess::nullDevice());
        demon.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1"),
                     QStringLiteral("--address=unix:path=") + dossier.path() + QStringLiteral("/bus")});
        if (!demon.waitForStarted(5000) || !demon.waitForReadyRead(5000))
            return false;
        adresse = QString::fromUtf8(demon.readLine()).trimmed();
        moniteur.start(QStringLiteral("dbus-monitor"),
                       {QStringLiteral("--address"), adresse,
                        QStringLiteral("type='method_call',interface='org.freedesktop.Application'")});
        // Its first lines say it is watching.
        return !adresse.isEmpty() && moniteur.waitForStarted(5000) && moniteur.waitForReadyRead(5000);
    }
    ~bus_prive() {
        for (QProcess* p : {&moniteur, &demon}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }
};

} // namespace

class test_arret_activation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // SIGTERM (a logout, kill) or SIGINT (Ctrl+C): the program ends at once,
    // with status 0, having noted the reminder it told while the base was busy.
    void signal_de_fin_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signal_de_fin() {
        QFETCH(int, signal);
        scene_maj s(aucune_option, une_chaine());
        if (!s.valide())
            QSKIP("libfaketime absent ou banc impossible");
        {
            // The programme on at 14:00, with a reminder missed before the start.
            donnees::base_programmes b(s.p.base());
            rappel r;
            r.chaine = 2;
            r.debut = date_heure::depuis_date(jour_essai, 12, 0);
            r.fin = date_heure::depuis_date(jour_essai, 16, 0);
            r.titre = QStringLiteral("Rediffusion Télé Une");
            zapo::donnees::transaction ecriture_b(b);
            donnees::ajouter_rappels(b, std::vector<rappel>{r});
            ecriture_b.valider();
        }
        // Another program writing: the reminder is told, its mark waits.
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(s.p.base().toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA journal_mode=WAL; BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QProcess* a = s.p.lancer();
        const bool dit = attendre_que([&] { return !s.p.boites().isEmpty(); }, 20000);
        if (!dit)
            sqlite3_close(db);
        QVERIFY2(dit, "le rappel n'a pas été dit");
        QVERIFY2(s.p.boites()
                     .at(0)
                     .value(QStringLiteral("texte"))
                     .toString()
                     .contains(QStringLiteral("Rediffusion Télé Une")),
                 qPrintable(s.p.boites().at(0).value(QStringLiteral("texte")).toString()));
        QCOMPARE(a->state(), QProcess::Running);

        QElapsedTimer montre;
        montre.start();
        ::kill(pid_t(a->processId()), signal);
        // The other program lets go a moment later.
        QTest::qWait(500);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QVERIFY2(a->state() == QProcess::NotRunning || a->waitForFinished(15000),
                 "le programme ne s'est pas arrêté");
        QCOMPARE(a->exitStatus(), QProcess::NormalExit);
        QCOMPARE(a->exitCode(), 0);
        QVERIFY(montre.elapsed() < 10000);
        donnees::base_programmes b(s.p.base());
        const auto rappels = donnees::lire_rappels(b);
        QCOMPARE(rappels.size(), size_t(1));
        QVERIFY2(rappels[0].envoye, "le rappel dit n'a pas été noté");
    }

    // A second start while the first is in its start-up update (a slow server):
    // the first already answers on the bus, so the second says so and ends at once.
    void seconde_copie_pendant_la_premiere_maj() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("dbus-monitor")).isEmpty())
            QSKIP("dbus-daemon ou dbus-monitor absent");
        bus_prive bus;
        QVERIFY2(bus.demarrer(), "bus de session privé impossible");
        scene_maj s(majauto_seule, une_chaine());
        if (!s.valide())
            QSKIP("libfaketime absent ou banc impossible");
        serveur_http::reponse lente;
        lente.corps = page_programmes(une_chaine().front().programmes);
        lente.type_contenu = "text/html; charset=utf-8";
        lente.delai_ms = 20000;
        s.serveur.definir(QStringLiteral("/une"), lente);
        s.p.environnement().insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.adresse);

        QProcess* a = s.p.lancer();
        // The run has asked for the page: the first copy is inside its update.
        QVERIFY(attendre_que([&] { return s.serveur.nb_requetes(QStringLiteral("/une")) > 0; }, 20000));
        QDBusConnection c = QDBusConnection::connectToBus(bus.adresse, QStringLiteral("essai"));
        QVERIFY(c.isConnected());
        QVERIFY2(c.interface()->isServiceRegistered(QStringLiteral("fr.zapotv.ZapoTV")),
                 "la première copie n'a pas pris son nom sur le bus avant sa mise à jour");

        QElapsedTimer montre;
        montre.start();
        QProcess* b = s.p.lancer();
        QVERIFY(b->waitForFinished(15000));
        QCOMPARE(b->exitStatus(), QProcess::NormalExit);
        QCOMPARE(b->exitCode(), 0);
        // Well before the page comes: nothing waited for the first copy's update.
        QVERIFY(montre.elapsed() < 10000);
        const auto boites = s.p.boites();
        QCOMPARE(boites.size(), 1);
        QCOMPARE(boites[0][QStringLiteral("texte")].toString(),
                 QStringLiteral("L'application est déjà ouverte"));
        // The second copy's call reached the first, which is still in its update.
        QByteArray vu;
        QVERIFY(attendre_que(
            [&] {
                vu += bus.moniteur.readAllStandardOutput();
                return vu.contains("member=Activate");
            },
            5000));
        QCOMPARE(a->state(), QProcess::Running);
        QCOMPARE(s.serveur.nb_requetes(QStringLiteral("/une")), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("essai"));
    }
};

QTEST_GUILESS_MAIN(test_arret_activation)
#include "test_arret_activation.moc"
