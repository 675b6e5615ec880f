#include "plateforme/instance_unique.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using zapo::plateforme::instance_unique;
using namespace std::chrono_literals;

namespace {

// The user a start runs as: root sees past every file mode, so as root the
// start runs as nobody, in a child.
constexpr uid_t personne = 65534;
uid_t utilisateur() {
    return ::geteuid() == 0 ? personne : ::geteuid();
}

struct issue_enfant {
    int etat = -1;
    QString raison;
    bool refuse_ensuite = false; // a second start after it was refused
};

// acquerir() in a child process run as utilisateur(); the lock it takes dies with it.
issue_enfant acquerir_comme_utilisateur(const QString& dossier) {
    int tuyau[2];
    if (::pipe(tuyau) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(tuyau[0]);
        if (::geteuid() == 0 && (::setgid(personne) != 0 || ::setuid(personne) != 0))
            ::_exit(100);
        instance_unique instance(dossier, 100ms);
        const auto e = instance.acquerir();
        bool refuse = false;
        if (e == instance_unique::etat::acquis)
            refuse = instance_unique(dossier, 100ms).acquerir() == instance_unique::etat::deja_ouverte;
        const QByteArray r = instance.raison().toUtf8();
        const char c = refuse ? '1' : '0';
        if (::write(tuyau[1], &c, 1) != 1 || ::write(tuyau[1], r.constData(), size_t(r.size())) < 0)
            ::_exit(101);
        ::_exit(int(e));
    }
    ::close(tuyau[1]);
    QByteArray lu;
    char tampon[512];
    for (ssize_t n; (n = ::read(tuyau[0], tampon, sizeof tampon)) > 0;)
        lu.append(tampon, n);
    ::close(tuyau[0]);
    int statut = 0;
    issue_enfant res;
    if (pid < 0 || ::waitpid(pid, &statut, 0) != pid || !WIFEXITED(statut) || lu.isEmpty())
        return res;
    res.etat = WEXITSTATUS(statut);
    res.refuse_ensuite = lu.at(0) == '1';
    res.raison = QString::fromUtf8(lu.mid(1));
    return res;
}

} // namespace

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

    // A lock left behind that the user may not write: only a live holder refuses.
    void verrou_sans_droit_d_ecrire_data() {
        QTest::addColumn<bool>("a_root"); // the file is root's (a run under sudo), else the user's
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("tenu");                 // a live copy holds it
        QTest::addColumn<bool>("dossier_inscriptible"); // the folder, for the user
        QTest::addColumn<int>("attendu");
        QTest::addColumn<QString>("raison");
        const int acquis = int(instance_unique::etat::acquis);
        const int deja = int(instance_unique::etat::deja_ouverte);
        const int impossible = int(instance_unique::etat::impossible);
        QTest::newRow("à soi, 0444") << false << 0444 << false << true << acquis << QString();
        QTest::newRow("à soi, 0000") << false << 0000 << false << true << acquis << QString();
        QTest::newRow("à soi, 0444, tenu") << false << 0444 << true << true << deja << QString();
        QTest::newRow("à soi, 0444, dossier en lecture seule")
            << false << 0444 << false << false << impossible << QString();
        QTest::newRow("à root, 0644") << true << 0644 << false << true << acquis << QString();
        QTest::newRow("à root, 0644, tenu") << true << 0644 << true << true << deja << QString();
        QTest::newRow("à root, 0600")
            << true << 0600 << false << true << impossible
            << QStringLiteral("« .zapo-tv.lock » appartient à un autre utilisateur et ne peut pas être lu");
    }
    void verrou_sans_droit_d_ecrire() {
        QFETCH(bool, a_root);
        QFETCH(int, mode);
        QFETCH(bool, tenu);
        QFETCH(bool, dossier_inscriptible);
        QFETCH(int, attendu);
        QFETCH(QString, raison);
        if (a_root && ::geteuid() != 0)
            QSKIP("un verrou d'un autre utilisateur demande root");
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        const QByteArray d = QFile::encodeName(dossier.path());
        const QByteArray nom = d + "/.zapo-tv.lock";
        // What a copy wrote before it died: its line, then no holder.
        {
            QFile f(QFile::decodeName(nom));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("999999999\nzapo-tv\nune-machine\n");
        }
        const uid_t u = utilisateur();
        QCOMPARE(::chown(d.constData(), u, u), 0);
        QCOMPARE(::chown(nom.constData(), a_root ? 0 : u, a_root ? 0 : u), 0);
        QCOMPARE(::chmod(nom.constData(), mode_t(mode)), 0);
        int fd = -1;
        if (tenu) {
            fd = ::open(nom.constData(), O_RDONLY);
            QVERIFY(fd >= 0);
            QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        }
        QCOMPARE(::chmod(d.constData(), dossier_inscriptible ? 0700 : 0500), 0);
        const issue_enfant e = acquerir_comme_utilisateur(dossier.path());
        ::chmod(d.constData(), 0700);
        if (fd >= 0)
            ::close(fd);
        QCOMPARE(e.etat, attendu);
        QCOMPARE(e.raison, raison);
        struct stat s {};
        QCOMPARE(::lstat(nom.constData(), &s), 0);
        if (attendu == int(instance_unique::etat::acquis)) {
            // The user's own lock now, which the next start can test and take.
            QVERIFY(e.refuse_ensuite);
            QCOMPARE(s.st_uid, u);
            QVERIFY(s.st_mode & S_IWUSR);
        } else {
            // Left as it was.
            QCOMPARE(s.st_uid, a_root ? uid_t(0) : u);
        }
    }
};

QTEST_GUILESS_MAIN(test_instance_unique)
#include "test_instance_unique.moc"
