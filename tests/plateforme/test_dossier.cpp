#include "plateforme/dossier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zapo;

class test_dossier : public QObject {
    Q_OBJECT
    QTemporaryDir perso_;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(perso_.isValid());
        qputenv("XDG_DATA_HOME", perso_.path().toUtf8());
    }

    // Where an executable lives decides whether its folder may hold the user's files.
    void programme_installe_data() {
        QTest::addColumn<QString>("dossier");
        QTest::addColumn<bool>("installe");
        QTest::newRow("/usr/bin") << "/usr/bin" << true;
        QTest::newRow("/usr/local/bin") << "/usr/local/bin" << true;
        QTest::newRow("~/.local/bin") << "/home/anne/.local/bin" << true;
        QTest::newRow("DESTDIR") << "/tmp/paquet/usr/bin" << true;
        QTest::newRow("barre finale") << "/opt/zapo/bin/" << true;
        QTest::newRow("construction") << "/home/anne/zapo-tv/build" << false;
        QTest::newRow("dossier à soi") << "/opt/Zapo-TV" << false;
        QTest::newRow("bin dans le nom") << "/home/anne/sbin-zapo" << false;
        QTest::newRow("bin plus haut") << "/usr/bin/zapo" << false;
        QTest::newRow("racine") << "/" << false;
        QTest::newRow("vide") << "" << false;
    }
    void programme_installe() {
        QFETCH(QString, dossier);
        QFETCH(bool, installe);
        QCOMPARE(plateforme::programme_installe(dossier), installe);
    }

    void donnees_perso_dans_xdg() {
        const QString attendu = perso_.path() + QStringLiteral("/Zapo-TV");
        QCOMPARE(plateforme::dossier_donnees_perso(), attendu);
        QVERIFY(QFileInfo(attendu).isDir());
    }

    // The test program runs from the build tree, a writable folder not named bin.
    void construction_garde_son_dossier() {
        QCOMPARE(plateforme::trouver_dossier_appli(),
                 QDir::cleanPath(QCoreApplication::applicationDirPath()));
    }

    // A second start never replaces what the user has.
    void deposer_sans_ecraser() {
        QTemporaryDir d;
        QVERIFY(d.isValid());
        QFile source(d.filePath(QStringLiteral("livree")));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("livrée");
        source.close();
        QVERIFY(plateforme::deposer_base(d.path(), source.fileName()));
        QFile base(d.filePath(QStringLiteral("programmes.mdb")));
        QVERIFY(base.open(QIODevice::ReadWrite));
        QCOMPARE(base.readAll(), QByteArray("livrée"));
        base.seek(0);
        base.write("à moi!!");
        base.close();
        QVERIFY(plateforme::deposer_base(d.path(), source.fileName()));
        QVERIFY(base.open(QIODevice::ReadOnly));
        QCOMPARE(base.readAll(), QByteArray("à moi!!"));
    }
};

QTEST_GUILESS_MAIN(test_dossier)
#include "test_dossier.moc"
