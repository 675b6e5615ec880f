// The real program with a real notification-area icon: an X server of its own
// (Xvfb), a private session bus and a stand-in for the desktop's notification
// area, to which Qt exports the icon; the test then clicks the icon over D-Bus
// as a desktop would and looks at the windows on the X server.
#include "outils/ecran_virtuel.h"
#include "outils/programme_essai.h"
#include "outils/scene_maj.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include <csignal>
#include <sys/prctl.h>

using namespace zapo::essais;

namespace {

const QString python = QStringLiteral("/usr/bin/python3");
const QString titre = QStringLiteral("^Zapo-TV  2\\.1\\.8$");

QString outil(const char* nom) {
    return QStringLiteral(ZAPO_SOURCE_TESTS "/outils/") + QLatin1String(nom);
}

// Whatever happens to the test, even a crash, the daemons it started die with it.
void lier_au_test(QProcess& p) {
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void arreter(QProcess& p) {
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(2000)) {
        p.kill();
        p.waitForFinished(2000);
    }
}

// A daemon of the test, stopped when it goes out of scope.
struct demon {
    std::unique_ptr<QProcess> p = std::make_unique<QProcess>();
    QByteArray sortie;
    demon() { lier_au_test(*p); }
    ~demon() { arreter(*p); }

    // Waits for a line of its output starting with `debut`.
    QString ligne(const QString& debut, int ms) {
        QElapsedTimer t;
        t.start();
        for (;;) {
            sortie += p->readAllStandardOutput();
            for (const QByteArray& l : sortie.split('\n'))
                if (l.startsWith(debut.toUtf8()))
                    return QString::fromUtf8(l).trimmed();
            if (t.elapsed() >= ms || p->state() == QProcess::NotRunning)
                return {};
            p->waitForReadyRead(50);
        }
    }
};

// A session bus of our own, with nothing it could start on demand.
struct bus_prive {
    QTemporaryDir dir;
    demon d;
    QString adresse;
    QString nom_connexion;

    bool demarrer() {
        QFile conf(dir.path() + QStringLiteral("/bus.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write(QStringLiteral(
                       "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                       "<auth>EXTERNAL</auth><policy context=\"default\">"
                       "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                       "<allow own=\"*\"/></policy></busconfig>\n")
                       .arg(dir.path())
                       .toUtf8());
        conf.close();
        d.p->setStandardErrorFile(QProcess::nullDevice());
        d.p->start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + conf.fileName(), QStringLiteral("--print-address=1"),
                    QStringLiteral("--nofork")});
        adresse = d.ligne(QStringLiteral("unix:"), 5000);
        return !adresse.isEmpty();
    }

    QDBusConnection connexion() {
        if (nom_connexion.isEmpty()) {
            nom_connexion = QStringLiteral("essai-%1").arg(quintptr(this));
            QDBusConnection::connectToBus(adresse, nom_connexion);
        }
        return QDBusConnection(nom_connexion);
    }

    ~bus_prive() {
        if (!nom_connexion.isEmpty())
            QDBusConnection::disconnectFromBus(nom_connexion);
    }
};

// The stand-in for the notification area on `bus`.
bool demarrer_observateur(demon& o, const bus_prive& bus, bool hote) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.adresse);
    o.p->setProcessEnvironment(env);
    QStringList args{outil("observateur_sni.py")};
    if (!hote)
        args << QStringLiteral("--sans-hote");
    o.p->start(python, args);
    return !o.ligne(QStringLiteral("pret"), 10000).isEmpty();
}

} // namespace

class test_icone_e2e : public QObject {
    Q_OBJECT

    std::unique_ptr<ecran_virtuel> ecran_;
    bool capture_faite_ = false;

    QProcessEnvironment env_x() const {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), ecran_->affichage());
        return env;
    }

    // Ids of the visible main windows (or of those titled `motif`).
    QStringList fenetres(const QString& motif = titre) const {
        QProcess x;
        x.setProcessEnvironment(env_x());
        x.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), motif});
        x.waitForFinished(5000);
        return QString::fromLatin1(x.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool fenetre_visible(int ms) const {
        return attendre_que([&] { return !fenetres().isEmpty(); }, ms);
    }
    bool fenetre_absente(int ms) const {
        return attendre_que([&] { return fenetres().isEmpty(); }, ms);
    }

    // The close button of a window manager.
    bool fermer_par_le_bureau() const {
        const QStringList ids = fenetres();
        if (ids.size() != 1)
            return false;
        QProcess f;
        f.setProcessEnvironment(env_x());
        f.start(python, {outil("fermer_fenetre_x.py"), ids.first()});
        return f.waitForFinished(5000) && f.exitCode() == 0;
    }

    void garder_capture(const QString& nom) {
        if (capture_faite_)
            return;
        capture_faite_ = true;
        QTest::qWait(300); // painted: the screen tells no one when it is
        if (!ecran_->capturer(QStringLiteral(ZAPO_CAPTURE_ECRAN), QStringLiteral(ZAPO_ARTEFACTS "/") + nom))
            qWarning("capture d'écran non enregistrée");
    }

    // The program on our X server and our bus, whatever desktop the test runs in.
    void preparer(programme_essai& p, const bus_prive& bus) const {
        auto& env = p.environnement();
        ecran_->preparer(env);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.adresse);
    }

    // config.ini with only the agent option on.
    static QString options_agent() { return QStringLiteral("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"); }

    // A desktop's call on the icon the program registered ("service path").
    static bool appeler(bus_prive& bus, const QString& item, const QString& methode) {
        const QStringList parts = item.split(QLatin1Char(' '));
        auto m = QDBusMessage::createMethodCall(parts.value(0), parts.value(1),
                                                QStringLiteral("org.kde.StatusNotifierItem"), methode);
        m << 0 << 0;
        const QDBusMessage r = bus.connexion().call(m, QDBus::Block, 10000);
        if (r.type() == QDBusMessage::ErrorMessage)
            qWarning("%s : %s", qPrintable(methode), qPrintable(r.errorMessage()));
        return r.type() == QDBusMessage::ReplyMessage;
    }

    // The same without waiting for the answer, as panels do: the program answers
    // a click only once its handler is over, and that handler may run an update.
    static bool envoyer(bus_prive& bus, const QString& item, const QString& methode) {
        const QStringList parts = item.split(QLatin1Char(' '));
        auto m = QDBusMessage::createMethodCall(parts.value(0), parts.value(1),
                                                QStringLiteral("org.kde.StatusNotifierItem"), methode);
        m << 0 << 0;
        return bus.connexion().send(m);
    }

    // Starts the program beside a notification area and waits for its icon.
    QString demarrer_avec_icone(programme_essai& p, bus_prive& bus, demon& observateur, QProcess*& prog) {
        preparer(p, bus);
        prog = p.lancer();
        const QString l = observateur.ligne(QStringLiteral("item "), 20000);
        return l.mid(5);
    }

private Q_SLOTS:
    void initTestCase() {
        for (const char* outil : {"Xvfb", "dbus-daemon", "xdotool"})
            if (QStandardPaths::findExecutable(QLatin1String(outil)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 absent").arg(QLatin1String(outil))));
        QProcess py;
        py.start(python, {QStringLiteral("-c"),
                          QStringLiteral("import dbus, dbus.mainloop.glib, gi.repository.GLib")});
        if (!py.waitForFinished(10000) || py.exitStatus() != QProcess::NormalExit || py.exitCode() != 0)
            QSKIP("/usr/bin/python3 sans les modules dbus et gi");

        ecran_ = std::make_unique<ecran_virtuel>();
        QVERIFY2(ecran_->valide(), "Xvfb n'a pas démarré");
    }

    void cleanupTestCase() { ecran_.reset(); }

    void cleanup() { QVERIFY2(fenetre_absente(5000), "fenêtre restée après l'essai"); }

    // Left click toggles: opens the window, a second click or the close button
    // unloads it and the agent stays; the next click builds it again.
    void clic_bascule_la_fenetre_data() {
        QTest::addColumn<bool>("par_le_bureau");
        QTest::newRow("second clic") << false;
        QTest::newRow("bouton fermer du bureau") << true;
    }
    void clic_bascule_la_fenetre() {
        QFETCH(bool, par_le_bureau);
        bus_prive bus;
        QVERIFY(bus.demarrer());
        demon observateur;
        QVERIFY(demarrer_observateur(observateur, bus, true));
        programme_essai p(options_agent());
        QVERIFY(p.valide());
        QProcess* prog = nullptr;
        const QString item = demarrer_avec_icone(p, bus, observateur, prog);
        QVERIFY2(!item.isEmpty(), "aucune icône inscrite auprès de la zone de notification");

        // The agent alone at start: no window comes (nothing to wait on but time).
        QTest::qWait(1000);
        QVERIFY(fenetres().isEmpty());

        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY2(fenetre_visible(10000), "le clic n'a pas ouvert la fenêtre");
        QCOMPARE(fenetres().size(), 1);
        garder_capture(QStringLiteral("fenetre_ouverte_par_l_icone.png"));

        if (par_le_bureau)
            QVERIFY(fermer_par_le_bureau());
        else
            QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY2(fenetre_absente(10000), "la fenêtre ne s'est pas fermée");
        QTest::qWait(500); // and the program does not end with it
        QCOMPARE(prog->state(), QProcess::Running);

        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY2(fenetre_visible(10000), "la fenêtre ne revient pas");
        QCOMPARE(fenetres().size(), 1);
        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY(fenetre_absente(10000));
        QCOMPARE(prog->state(), QProcess::Running);
        QVERIFY(p.boites().isEmpty());
    }

    // Only the left click toggles; the menu belongs to the desktop.
    void autres_actions_n_ouvrent_rien_data() {
        QTest::addColumn<QString>("methode");
        QTest::newRow("clic droit") << QStringLiteral("ContextMenu");
        QTest::newRow("clic du milieu") << QStringLiteral("SecondaryActivate");
    }
    void autres_actions_n_ouvrent_rien() {
        QFETCH(QString, methode);
        bus_prive bus;
        QVERIFY(bus.demarrer());
        demon observateur;
        QVERIFY(demarrer_observateur(observateur, bus, true));
        programme_essai p(options_agent());
        QVERIFY(p.valide());
        QProcess* prog = nullptr;
        const QString item = demarrer_avec_icone(p, bus, observateur, prog);
        QVERIFY(!item.isEmpty());

        QVERIFY(appeler(bus, item, methode));
        QTest::qWait(1000); // no window may come
        QVERIFY(fenetres().isEmpty());
        QCOMPARE(prog->state(), QProcess::Running);
        // The icon answers all the same.
        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY(fenetre_visible(10000));
        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY(fenetre_absente(10000));
        QVERIFY(p.boites().isEmpty());
    }

    // No notification area: the agent option cannot hold, so the window opens
    // at start and closing it ends the program.
    void sans_zone_de_notification_data() {
        QTest::addColumn<bool>("observateur_present");
        QTest::newRow("aucun observateur") << false;
        QTest::newRow("observateur sans hôte") << true;
    }
    void sans_zone_de_notification() {
        QFETCH(bool, observateur_present);
        bus_prive bus;
        QVERIFY(bus.demarrer());
        demon observateur;
        if (observateur_present)
            QVERIFY(demarrer_observateur(observateur, bus, false));
        programme_essai p(options_agent());
        QVERIFY(p.valide());
        preparer(p, bus);
        QProcess* prog = p.lancer();

        // Not at once: a notification area may still come, for up to 10 s.
        QVERIFY2(fenetre_visible(25000), "aucune fenêtre au démarrage");
        QCOMPARE(fenetres().size(), 1);
        QTest::qWait(300); // mapped and painted before the desktop closes it: no signal says so
        QVERIFY(fermer_par_le_bureau());
        QVERIFY2(prog->waitForFinished(10000), "le programme continue sans fenêtre ni icône");
        QCOMPARE(prog->exitStatus(), QProcess::NormalExit);
        QCOMPARE(prog->exitCode(), 0);
        QVERIFY(p.boites().isEmpty());
        if (observateur_present)
            QVERIFY(observateur.ligne(QStringLiteral("item "), 0).isEmpty());
    }

    // Agent on, programmes stale, automatic update on: the click that opens the
    // window starts an update through its refresh; a second click during that
    // update closes the window. The program goes on, the run ends, the window
    // stays closed until the next click.
    void icone_pendant_la_maj_de_l_ouverture() {
        bus_prive bus;
        QVERIFY(bus.demarrer());
        demon observateur;
        QVERIFY(demarrer_observateur(observateur, bus, true));
        scene_maj s(QStringLiteral("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"), chaines_de(cinq_chaines()));
        if (!s.valide())
            QSKIP("libfaketime absent ou scène incomplète");
        // Slow pages: the run lasts long enough to be clicked through.
        for (const auto& c : s.chaines()) {
            serveur_http::reponse r;
            r.type_contenu = "text/html; charset=utf-8";
            r.corps = page_programmes(c.programmes);
            r.delai_ms = 700;
            s.serveur.definir(c.chemin, r);
        }
        const QByteArray avant = s.etat();
        QProcess* prog = nullptr;
        const QString item = demarrer_avec_icone(s.p, bus, observateur, prog);
        QVERIFY2(!item.isEmpty(), "aucune icône inscrite auprès de la zone de notification");
        QTest::qWait(500); // no window may come
        QVERIFY(fenetres().isEmpty());

        const QString titre_maj = QStringLiteral("^Zapo-TV - Mise à jour des programmes$");
        QVERIFY(envoyer(bus, item, QStringLiteral("Activate")));
        QVERIFY2(attendre_que([&] { return !fenetres(titre_maj).isEmpty(); }, 15000),
                 "l'ouverture n'a pas lancé de mise à jour");
        QVERIFY(envoyer(bus, item, QStringLiteral("Activate")));
        QVERIFY2(
            attendre_que([&] { return fenetres(titre_maj).isEmpty() || prog->state() != QProcess::Running; },
                         60000),
            "la mise à jour ne finit pas");
        QTest::qWait(1000); // the closed window may not come back, nor the program end
        QCOMPARE(prog->state(), QProcess::Running);
        QVERIFY2(fenetres().isEmpty(), "la fenêtre fermée est revenue");
        QVERIFY(s.etat() != avant); // the run went on without its window
        QVERIFY(s.p.boites().isEmpty());

        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY2(fenetre_visible(10000), "la fenêtre ne revient pas");
        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY(fenetre_absente(10000));
        QCOMPARE(prog->state(), QProcess::Running);
    }

    // At login the panel comes after the program: its icon registers once the
    // notification area appears (3 s later), no window is shown meanwhile, and
    // it registers again when the panel is restarted.
    void zone_tardive_puis_relancee() {
        bus_prive bus;
        QVERIFY(bus.demarrer());
        programme_essai p(options_agent());
        QVERIFY(p.valide());
        preparer(p, bus);
        QProcess* prog = p.lancer();
        QElapsedTimer t;
        t.start();
        bool fenetre_vue = false;
        // No window may open the whole time: looked for every 200 ms.
        while (t.elapsed() < 3000) {
            fenetre_vue = fenetre_vue || !fenetres().isEmpty();
            QTest::qWait(200);
        }
        {
            demon observateur;
            QVERIFY(demarrer_observateur(observateur, bus, true));
            QVERIFY2(!observateur.ligne(QStringLiteral("item "), 10000).isEmpty(),
                     "l'icône ne s'inscrit pas auprès de la zone venue après coup");
            // Past the 10 s the program would have waited: still no window.
            while (t.elapsed() < 13000) {
                fenetre_vue = fenetre_vue || !fenetres().isEmpty();
                QTest::qWait(200);
            }
            QVERIFY2(!fenetre_vue, "une fenêtre s'est ouverte alors que la zone est venue à temps");
        }
        // The panel restarted: a new notification area, the same icon.
        demon relance;
        QVERIFY(demarrer_observateur(relance, bus, true));
        const QString item = relance.ligne(QStringLiteral("item "), 10000).mid(5);
        QVERIFY2(!item.isEmpty(), "l'icône ne s'inscrit pas auprès de la zone relancée");
        QCOMPARE(prog->state(), QProcess::Running);
        QVERIFY(fenetres().isEmpty());
        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY2(fenetre_visible(10000), "l'icône de la zone relancée ne répond pas");
        QVERIFY(appeler(bus, item, QStringLiteral("Activate")));
        QVERIFY(fenetre_absente(10000));
        QVERIFY(p.boites().isEmpty());
    }
};

QTEST_GUILESS_MAIN(test_icone_e2e)
#include "test_icone_e2e.moc"
