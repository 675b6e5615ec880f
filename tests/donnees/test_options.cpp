#include "donnees/fichier_options.h"
#include "noyau/options_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <future>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using zapo::valeurs_options;
Q_DECLARE_METATYPE(std::optional<valeurs_options>)

class test_options : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lecture_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<std::optional<valeurs_options>>("attendu");
        const std::optional<valeurs_options> premier_lancement;
        QTest::newRow("quatre lignes CR LF") << QByteArray("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n")
                                             << std::optional(valeurs_options{true, false, false, false});
        QTest::newRow("LF seuls") << QByteArray("#FALSE#\n#TRUE#\n#FALSE#\n#TRUE#\n")
                                  << std::optional(valeurs_options{false, true, false, true});
        QTest::newRow("sans fin de ligne finale") << QByteArray("#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#")
                                                  << std::optional(valeurs_options{true, true, true, true});
        QTest::newRow("lignes en trop")
            << QByteArray("#TRUE#\r\n#TRUE#\r\n#FALSE#\r\n#TRUE#\r\n#FALSE#\r\nbla\r\n")
            << std::optional(valeurs_options{true, true, false, true});
        QTest::newRow("0 et -1") << QByteArray("0\r\n-1\r\n0\r\n-1\r\n")
                                 << std::optional(valeurs_options{false, true, false, true});
        QTest::newRow("virgules") << QByteArray("#TRUE#,#FALSE#\r\n#TRUE#,#FALSE#\r\n")
                                  << std::optional(valeurs_options{true, false, true, false});
        QTest::newRow("blancs autour") << QByteArray("  #TRUE# \r\n#FALSE#\r\n 2 \r\n#FALSE#\r\n")
                                       << std::optional(valeurs_options{true, false, true, false});
        QTest::newRow("fichier vide") << QByteArray() << premier_lancement;
        QTest::newRow("trois lignes") << QByteArray("#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n") << premier_lancement;
        QTest::newRow("valeur inconnue")
            << QByteArray("#TRUE#\r\n#VRAI#\r\n#TRUE#\r\n#TRUE#\r\n") << premier_lancement;
        QTest::newRow("minuscules") << QByteArray("#true#\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n")
                                    << premier_lancement;
        QTest::newRow("ligne vide") << QByteArray("#TRUE#\r\n\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n")
                                    << premier_lancement;
        QTest::newRow("binaire") << QByteArray("\x00\xff\xfe#TRUE#\r\n", 11) << premier_lancement;
        QTest::newRow("texte libre") << QByteArray("[options]\r\nmajauto=1\r\n") << premier_lancement;
    }
    void lecture() {
        QFETCH(QByteArray, contenu);
        QFETCH(std::optional<valeurs_options>, attendu);
        QCOMPARE(zapo::lire_options(contenu), attendu);
        // The file reader agrees with the format.
        QTemporaryDir d;
        const QString chemin = d.path() + QStringLiteral("/config.ini");
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenu);
        f.close();
        QCOMPARE(zapo::donnees::lire_fichier_options(chemin), attendu);
    }

    void ecriture_aller_retour() {
        for (int bits = 0; bits < 16; ++bits) {
            const valeurs_options v{bool(bits & 1), bool(bits & 2), bool(bits & 4), bool(bits & 8)};
            const QByteArray s = zapo::ecrire_options(v);
            QVERIFY(s.size() >= 32 && s.size() <= 36);
            QCOMPARE(s.count("\r\n"), 4);
            QVERIFY(s.endsWith("\r\n"));
            QCOMPARE(zapo::lire_options(s), std::optional(v));
        }
        QCOMPARE(zapo::ecrire_options({true, false, false, false}),
                 QByteArray("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"));
    }

    void fichier_absent() {
        QTemporaryDir d;
        QVERIFY(!zapo::donnees::lire_fichier_options(d.path() + QStringLiteral("/config.ini")));
    }

    // Neither read nor replaced: opening a FIFO would wait for a writer forever.
    void pas_un_fichier_data() {
        QTest::addColumn<QString>("genre");
        QTest::newRow("tube nommé") << QStringLiteral("tube");
        QTest::newRow("lien vers un tube") << QStringLiteral("lien");
        QTest::newRow("dossier") << QStringLiteral("dossier");
    }
    void pas_un_fichier() {
        QFETCH(QString, genre);
        QTemporaryDir d;
        const QString chemin = d.path() + QStringLiteral("/config.ini");
        const QByteArray tube = QFile::encodeName(d.path() + QStringLiteral("/tube"));
        if (genre == QLatin1String("dossier")) {
            QVERIFY(QDir().mkdir(chemin));
        } else {
            QCOMPARE(::mkfifo(tube.constData(), 0600), 0);
            if (genre == QLatin1String("tube"))
                QCOMPARE(::rename(tube.constData(), QFile::encodeName(chemin).constData()), 0);
            else
                QCOMPARE(::symlink(tube.constData(), QFile::encodeName(chemin).constData()), 0);
        }
        auto lecture =
            std::async(std::launch::async, [&] { return zapo::donnees::lire_fichier_options(chemin); });
        if (lecture.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Let the reader go before failing, so that the test ends.
            for (const QString& c : {chemin, QString::fromLocal8Bit(tube)})
                if (const int w = ::open(QFile::encodeName(c).constData(), O_WRONLY | O_NONBLOCK); w >= 0)
                    ::close(w);
            QFAIL("lire_fichier_options attend un écrivain");
        }
        QVERIFY(!lecture.get());
        QString erreur;
        QVERIFY(!zapo::donnees::ecrire_fichier_options(chemin, {true, true, true, true}, &erreur));
        QCOMPARE(erreur, QStringLiteral("ce n'est pas un fichier ordinaire"));
        // Left in place, and nothing beside it.
        const QFileInfo apres(chemin);
        QVERIFY(apres.exists() && !apres.isFile());
        QCOMPARE(apres.isDir(), genre == QLatin1String("dossier"));
        QCOMPARE(QDir(d.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 genre == QLatin1String("lien") ? 2 : 1);
    }

    void echec_d_ecriture_garde_l_ancien() {
        QTemporaryDir d;
        const QString chemin = d.path() + QStringLiteral("/config.ini");
        QVERIFY(zapo::donnees::ecrire_fichier_options(chemin, {true, true, true, true}));
        const QByteArray avant = QByteArray("#TRUE#\r\n").repeated(4);
        // A disk that fills up after a few bytes.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit ancien{};
        getrlimit(RLIMIT_FSIZE, &ancien);
        rlimit petit = ancien;
        petit.rlim_cur = 10;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &petit), 0);
        QString erreur;
        const bool ok = zapo::donnees::ecrire_fichier_options(chemin, {false, false, false, false}, &erreur);
        setrlimit(RLIMIT_FSIZE, &ancien);
        QVERIFY(!ok);
        QVERIFY(!erreur.isEmpty());
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), avant);
    }
};

QTEST_APPLESS_MAIN(test_options)
#include "test_options.moc"
