#include "plateforme/instance_unique.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using zapo::plateforme::instance_unique;
using namespace std::chrono_literals;

class test_instance_unique : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // How the lock was left, and whether a new start may go on.
    void acquerir_data() {
        QTest::addColumn<QString>("verrou"); // the file's bytes, or "=..." for what stands there
        QTest::addColumn<bool>("tenu");      // a process holds the file's system lock
        QTest::addColumn<int>("attendu");
        const int acquis = int(instance_unique::etat::acquis);
        const int deja = int(instance_unique::etat::deja_ouverte);
        const int impossible = int(instance_unique::etat::impossible);
        QTest::newRow("aucun") << QString() << false << acquis;
        QTest::newRow("vide, personne ne le tient") << QStringLiteral("") << false << acquis;
        QTest::newRow("illisible, personne ne le tient")
            << QStringLiteral("\x01\x02 pas un pid") << false << acquis;
        QTest::newRow("vide mais tenu") << QStringLiteral("") << true << deja;
        QTest::newRow("copie vivante") << QStringLiteral("=vivante") << false << deja;
        // A live process's line, but nobody holds this file: copied with the folder.
        QTest::newRow("copié d'un dossier ouvert") << QStringLiteral("=copie") << false << acquis;
        QTest::newRow("copié d'une autre machine")
            << QStringLiteral("%1\nzapo-tv\nune-autre-machine\n").arg(QCoreApplication::applicationPid())
            << false << acquis;
        QTest::newRow("copié d'une autre machine, tenu")
            << QStringLiteral("1\nzapo-tv\nune-autre-machine\n") << true << deja;
        QTest::newRow("lien vers rien") << QStringLiteral("=lien casse") << false << acquis;
        QTest::newRow("lien vers un verrou abandonné") << QStringLiteral("=lien") << false << acquis;
        QTest::newRow("tube") << QStringLiteral("=tube") << false << impossible;
        QTest::newRow("dossier") << QStringLiteral("=dossier") << false << impossible;
    }
    void acquerir() {
        QFETCH(QString, verrou);
        QFETCH(bool, tenu);
        QFETCH(int, attendu);
        QTemporaryDir dossier;
        QTemporaryDir ailleurs;
        QVERIFY(dossier.isValid() && ailleurs.isValid());
        const QString chemin = dossier.path() + QStringLiteral("/.zapo-tv.lock");
        const QByteArray nom = QFile::encodeName(chemin);
        const QString autre = ailleurs.path() + QStringLiteral("/.zapo-tv.lock");
        QLockFile vivante(chemin);
        QLockFile autre_dossier(autre);
        int fd = -1;
        if (verrou == QLatin1String("=vivante")) {
            QVERIFY(vivante.tryLock(0));
        } else if (verrou == QLatin1String("=copie")) {
            QVERIFY(autre_dossier.tryLock(0));
            QVERIFY(QFile::copy(autre, chemin));
        } else if (verrou == QLatin1String("=lien casse")) {
            QCOMPARE(::symlink("/nulle/part/.zapo-tv.lock", nom.constData()), 0);
        } else if (verrou == QLatin1String("=lien")) {
            QFile f(autre);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("999999999\nzapo-tv\n\n");
            f.close();
            QCOMPARE(::symlink(QFile::encodeName(autre).constData(), nom.constData()), 0);
        } else if (verrou == QLatin1String("=tube")) {
            QCOMPARE(::mkfifo(nom.constData(), 0600), 0);
        } else if (verrou == QLatin1String("=dossier")) {
            QCOMPARE(::mkdir(nom.constData(), 0700), 0);
        } else if (!verrou.isNull()) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(verrou.toLatin1());
            f.close();
            if (tenu) {
                fd = ::open(nom.constData(), O_RDWR);
                QVERIFY(fd >= 0);
                QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
            }
        }
        QElapsedTimer montre;
        montre.start();
        instance_unique instance(dossier.path(), 100ms);
        QCOMPARE(int(instance.acquerir()), attendu);
        // Never the wait of a FIFO's open(): at most the moment an unreadable lock gets.
        QVERIFY(montre.elapsed() < 5000);
        if (attendu == int(instance_unique::etat::acquis)) {
            // Ours now: a second start is refused.
            instance_unique seconde(dossier.path(), 100ms);
            QCOMPARE(seconde.acquerir(), instance_unique::etat::deja_ouverte);
            QVERIFY(instance.raison().isEmpty());
        }
        if (attendu == int(instance_unique::etat::impossible)) {
            QCOMPARE(instance.raison(), QStringLiteral("« .zapo-tv.lock » n'est pas un fichier ordinaire"));
            // Left as it was.
            struct stat s {};
            QCOMPARE(::lstat(nom.constData(), &s), 0);
            QVERIFY(!S_ISREG(s.st_mode));
        }
        // A lock of another folder is never removed from there.
        if (verrou == QLatin1String("=copie") || verrou == QLatin1String("=lien"))
            QVERIFY(QFile::exists(autre));
        if (fd >= 0)
            ::close(fd);
    }
};

QTEST_GUILESS_MAIN(test_instance_unique)
#include "test_instance_unique.moc"
