// The terminal commands as a user runs them: the real program, a faked clock,
// no display and no session bus.
#include "outils/terminal_base.h"
#include "donnees/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zapo;

static const char* const libfaketime = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";

class test_terminal_processus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void commandes_data();
    void commandes();
    void heure_repetee_data();
    void heure_repetee();

private:
    essais::dossier_essai dossier_;
    essais::dossier_essai nuits_;
    QTemporaryDir vide_;
};

void test_terminal_processus::initTestCase() {
    QVERIFY(dossier_.valide());
    essais::remplir_base_terminal(dossier_.base());
    QVERIFY(QFileInfo::exists(QLatin1String(libfaketime)));
    QCOMPARE(::mkfifo(QFile::encodeName(vide_.filePath(QStringLiteral("tube"))).constData(), 0600), 0);

    // The two nights the clocks change in 2026, as a feed gives them (UTC) and the
    // reader stores them (wall-clock times, real lengths).
    QVERIFY(nuits_.valide());
    donnees::base_programmes b(nuits_.base());
    b.ajouter_chaine(
        {2, QStringLiteral("France 2"), QStringLiteral("http://127.0.0.1:1/tnt.xml#France2.fr"), 2});
    const auto z = [](int mois, int jour, int h, int m) {
        return QDateTime(QDate(2026, mois, jour), QTime(h, m), Qt::UTC);
    };
    const struct {
        const char* titre;
        QDateTime debut, fin;
    } nuit[] = {{"Soir", z(3, 28, 23, 0), z(3, 29, 0, 30)},    {"Saut", z(3, 29, 0, 30), z(3, 29, 1, 30)},
                {"Aube", z(3, 29, 1, 30), z(3, 29, 3, 0)},     {"Nuit", z(10, 24, 23, 0), z(10, 25, 0, 40)},
                {"Court", z(10, 25, 0, 40), z(10, 25, 0, 50)}, {"Pont", z(10, 25, 0, 50), z(10, 25, 1, 10)},
                {"Hiver", z(10, 25, 1, 10), z(10, 25, 1, 30)}, {"Matin", z(10, 25, 1, 30), z(10, 25, 3, 0)}};
    zapo::donnees::transaction ecriture_b(b);
    for (const auto& p : nuit)
        b.ajouter_programme({QString::fromLatin1(p.titre),
                             date_heure::depuis_qdatetime(p.debut),
                             date_heure::depuis_secondes(p.debut.secsTo(p.fin)),
                             date_heure::depuis_qdatetime(p.fin),
                             {}},
                            2);
    ecriture_b.valider();
}

void test_terminal_processus::commandes_data() {
    // "=base" is the test base, "=vide" a missing one, "=tube" a FIFO nobody writes
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("redirection"); // standard output: "/dev/…", "fermée" (nobody reads)
    QTest::addColumn<int>("statut");
    QTest::addColumn<QString>("sortie");  // expected start of standard output
    QTest::addColumn<QString>("erreurs"); // expected part of standard error
    const QString rien;
    const QStringList base{QStringLiteral("--base"), QStringLiteral("=base")};
    QTest::newRow("maintenant")
        << QStringList{QStringLiteral("--maintenant"), QStringLiteral("--base"), QStringLiteral("=base")}
        << rien << 0
        << QStringLiteral("France 2\t20:40\t22:30\tLe film\t18\nArte\t\t\t\t\n"
                          "Télé « Été »\t20:50\t22:00\tLe \"grand\" soir à l'Élysée & <co>\t14\n")
        << QString();
    QTest::newRow("json ce soir") << QStringList{QStringLiteral("--ce-soir"), QStringLiteral("--json"),
                                                 QStringLiteral("--base=") + QStringLiteral("=base")}
                                  << rien << 0 << QStringLiteral("[\n") << QString();
    QTest::newRow("export") << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("-"),
                                           QStringLiteral("--base"), QStringLiteral("=base")}
                            << rien << 0 << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
                            << QString();
    QTest::newRow("missing base") << QStringList{QStringLiteral("--maintenant"), QStringLiteral("--base"),
                                                 QStringLiteral("=vide")}
                                  << rien << 1 << QString()
                                  << QStringLiteral("Impossible d'utiliser la base des programmes");
    // Refused before it is opened: opening it would wait for a writer forever.
    QTest::newRow("FIFO as base") << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("-"),
                                                 QStringLiteral("--base"), QStringLiteral("=tube")}
                                  << rien << 1 << QString()
                                  << QStringLiteral("ce n'est pas un fichier ordinaire.");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--maintenant"), QStringLiteral("--demain")}
                                    << rien << 2 << QString()
                                    << QStringLiteral("Option inconnue : --demain.");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << rien << 0 << QString() << QString();
    // The device is written to, never replaced by a file.
    QTest::newRow("export to /dev/null")
        << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("/dev/null")} + base << rien << 0
        << QString() << QString();
    QTest::newRow("export to /dev/full")
        << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("/dev/full")} + base << rien << 3
        << QString()
        << QStringLiteral("Impossible d'écrire le fichier « /dev/full » : il ne reste plus de place.");
    const QString pleine =
        QStringLiteral("Impossible d'écrire sur la sortie standard : il ne reste plus de place.");
    const QString fermee = QStringLiteral(
        "Impossible d'écrire sur la sortie standard : le programme qui lisait la sortie l'a fermée.");
    QTest::newRow("maintenant > /dev/full")
        << QStringList{QStringLiteral("--maintenant")} + base << "/dev/full" << 4 << QString() << pleine;
    QTest::newRow("export - > /dev/full")
        << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("-")} + base << "/dev/full" << 3
        << QString() << pleine;
    QTest::newRow("export /dev/stdout > /dev/full")
        << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("/dev/stdout")} + base
        << "/dev/full" << 3 << QString() << QStringLiteral("« /dev/stdout » : il ne reste plus de place.");
    QTest::newRow("ce soir | reader gone")
        << QStringList{QStringLiteral("--ce-soir")} + base << "fermée" << 4 << QString() << fermee;
    QTest::newRow("export - | reader gone")
        << QStringList{QStringLiteral("--exporter-xmltv"), QStringLiteral("-")} + base << "fermée" << 3
        << QString() << fermee;
    // No command and no display: the window cannot open, and the program says so in French.
    QTest::newRow("no display") << QStringList{} << rien << 1 << QString()
                                << QStringLiteral("Zapo-TV a besoin d'une session graphique");
}

void test_terminal_processus::commandes() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, redirection);
    QFETCH(int, statut);
    QFETCH(QString, sortie);
    QFETCH(QString, erreurs);
    for (QString& a : arguments) {
        a.replace(QStringLiteral("=base"), dossier_.base());
        a.replace(QStringLiteral("=vide"), vide_.filePath(QStringLiteral("programmes.mdb")));
        a.replace(QStringLiteral("=tube"), vide_.filePath(QStringLiteral("tube")));
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(v));
    env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Paris"));
    // The library preloaded directly: the faketime wrapper keeps a shared-memory file per
    // process id, and one left by a killed run makes a later run with that id fail.
    env.insert(QStringLiteral("LD_PRELOAD"), QLatin1String(libfaketime));
    env.insert(QStringLiteral("FAKETIME"), QStringLiteral("@2026-12-07 21:00:00"));
    // A program built with AddressSanitizer refuses a library loaded before its runtime.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                                                   QStringLiteral("verify_asan_link_order=0"));
    // The program's own folder must not be the default base's home: HOME goes elsewhere.
    env.insert(QStringLiteral("HOME"), vide_.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), vide_.path());
    QProcess p;
    p.setProcessEnvironment(env);
    int tuyau[2] = {-1, -1};
    if (redirection == QStringLiteral("fermée")) {
        // A pipe whose reading end is closed before the program writes anything.
        QCOMPARE(::pipe2(tuyau, O_CLOEXEC), 0);
        ::close(tuyau[0]);
        p.setChildProcessModifier([e = tuyau[1]] { ::dup2(e, STDOUT_FILENO); });
    } else if (!redirection.isEmpty()) {
        p.setStandardOutputFile(redirection);
    }
    p.start(qEnvironmentVariable("ZAPO_EXE"), arguments);
    if (tuyau[1] >= 0)
        ::close(tuyau[1]);
    // Never a hang: a FIFO opened by mistake would wait here.
    QVERIFY(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QVERIFY2(p.exitCode() == statut, qPrintable(QStringLiteral("%1 %2").arg(p.exitCode()).arg(err)));
    QVERIFY2(out.startsWith(sortie), qPrintable(out));
    if (erreurs.isEmpty())
        QCOMPARE(err, QString());
    else
        QVERIFY2(err.contains(erreurs), qPrintable(err));
    if (arguments.contains(QStringLiteral("--help"))) {
        for (const char* mot : {"--maintenant", "--ce-soir", "--json", "--exporter-xmltv", "--base",
                                "Codes de retour", "  3  ", "  4  "})
            QVERIFY2(out.contains(QLatin1String(mot)), mot);
    }
    struct stat nul {};
    QVERIFY(::stat("/dev/null", &nul) == 0 && S_ISCHR(nul.st_mode));
    QVERIFY(::stat(QFile::encodeName(vide_.filePath(QStringLiteral("tube"))).constData(), &nul) == 0 &&
            S_ISFIFO(nul.st_mode));
    // Nothing beside the base: no journal, no lock.
    QCOMPARE(QDir(dossier_.chemin()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("programmes.mdb")});
}

void test_terminal_processus::heure_repetee_data() {
    QTest::addColumn<QDateTime>("horloge");
    QTest::addColumn<QString>("sortie");
    const auto z = [](int mois, int jour, int h, int m) {
        return QDateTime(QDate(2026, mois, jour), QTime(h, m), Qt::UTC);
    };
    // 02:20 summer time: "Hiver", at 02:10 winter time, is 50 minutes away.
    QTest::newRow("02:20 CEST") << z(10, 25, 0, 20) << QStringLiteral("France 2\t01:00\t02:40\tNuit\t80\n");
    QTest::newRow("02:00 CET") << z(10, 25, 1, 0) << QStringLiteral("France 2\t02:50\t02:10\tPont\t50\n");
    QTest::newRow("02:20 CET") << z(10, 25, 1, 20) << QStringLiteral("France 2\t02:10\t02:30\tHiver\t50\n");
    QTest::newRow("01:45 CET in spring")
        << z(3, 29, 0, 45) << QStringLiteral("France 2\t01:30\t03:30\tSaut\t25\n");
    QTest::newRow("03:15 CEST in spring")
        << z(3, 29, 1, 15) << QStringLiteral("France 2\t01:30\t03:30\tSaut\t75\n");
}

void test_terminal_processus::heure_repetee() {
    // The clock's own reading, under faketime, says which pass of the hour it is.
    QFETCH(QDateTime, horloge);
    QFETCH(QString, sortie);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(v));
    env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Paris"));
    env.insert(QStringLiteral("LD_PRELOAD"), QLatin1String(libfaketime));
    // Seconds since 1970: a local date would itself fall in the repeated hour.
    env.insert(QStringLiteral("FAKETIME_FMT"), QStringLiteral("%s"));
    env.insert(QStringLiteral("FAKETIME"), QStringLiteral("@%1").arg(horloge.toSecsSinceEpoch()));
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                                                   QStringLiteral("verify_asan_link_order=0"));
    env.insert(QStringLiteral("HOME"), vide_.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), vide_.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("ZAPO_EXE"),
            {QStringLiteral("--maintenant"), QStringLiteral("--base"), nuits_.base()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString());
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), sortie);
}

QTEST_GUILESS_MAIN(test_terminal_processus)
#include "test_terminal_processus.moc"
