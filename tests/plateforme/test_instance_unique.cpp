#include "platform/instance_unique.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using zapo::plateforme::instance_unique;
using namespace std::chrono_literals;

class test_instance_unique : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // How the lock was left, and whether a new start may go on.
    void acquerir_data() {
        QTest::addColumn<QString>("verrou");
        QTest::addColumn<bool>("tenu"); // a process holds the file's system lock
        QTest::addColumn<int>("attendu");
        const int acquis = int(instance_unique::etat::acquis);
        const int deja = int(instance_unique::etat::deja_ouverte);
        QTest::newRow("aucun") << QString() << false << acquis;
        QTest::newRow("vide, personne ne le tient") << QStringLiteral("") << false << acquis;
        QTest::newRow("illisible, personne ne le tient")
            << QStringLiteral("\x01\x02 pas un pid") << false << acquis;
        QTest::newRow("vide mais tenu") << QStringLiteral("") << true << deja;
        QTest::newRow("copie vivante") << QStringLiteral("vivante") << false << deja;
    }
    void acquerir() {
        QFETCH(QString, verrou);
        QFETCH(bool, tenu);
        QFETCH(int, attendu);
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        const QString chemin = dossier.path() + QStringLiteral("/.zapo-tv.lock");
        QLockFile vivante(chemin);
        int fd = -1;
        if (verrou == QLatin1String("vivante")) {
            QVERIFY(vivante.tryLock(0));
        } else if (!verrou.isNull()) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(verrou.toLatin1());
            f.close();
            if (tenu) {
                fd = ::open(QFile::encodeName(chemin).constData(), O_RDWR);
                QVERIFY(fd >= 0);
                QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
            }
        }
        instance_unique instance(dossier.path(), 100ms);
        QCOMPARE(int(instance.acquerir()), attendu);
        if (attendu == int(instance_unique::etat::acquis)) {
            // Ours now: a second start is refused.
            instance_unique seconde(dossier.path(), 100ms);
            QCOMPARE(seconde.acquerir(), instance_unique::etat::deja_ouverte);
        }
        if (fd >= 0)
            ::close(fd);
    }
};

QTEST_GUILESS_MAIN(test_instance_unique)
#include "test_instance_unique.moc"
