#include "plateforme/registre.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zapo;

class test_registre : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }

    void chemin() {
        QCOMPARE(plateforme::chemin_entree(), config_.path() + QStringLiteral("/autostart/Zapo-TV.desktop"));
    }

    void citation_exec_data() {
        QTest::addColumn<QString>("programme");
        QTest::addColumn<QString>("exec");
        QTest::newRow("simple") << "/usr/bin/zapo-tv"
                                << "/usr/bin/zapo-tv";
        QTest::newRow("blanc") << "/opt/Zapo TV/zapo-tv"
                               << "\"/opt/Zapo TV/zapo-tv\"";
        QTest::newRow("guillemet") << "/opt/a\"b/zapo-tv"
                                   << "\"/opt/a\\\\\"b/zapo-tv\"";
        QTest::newRow("dollar") << "/opt/$HOME/zapo-tv"
                                << "\"/opt/\\\\$HOME/zapo-tv\"";
        QTest::newRow("pourcent") << "/opt/100%/zapo-tv"
                                  << "/opt/100%%/zapo-tv";
        QTest::newRow("accent") << "/home/élodie/zapo-tv"
                                << "/home/élodie/zapo-tv";
    }
    void citation_exec() {
        QFETCH(QString, programme);
        QFETCH(QString, exec);
        QCOMPARE(plateforme::citer_exec(programme), exec);
    }

    // Installed, the entry shows the launcher's icon; elsewhere the one the program lays down.
    void icone_data() {
        QTest::addColumn<QString>("dossier");
        QTest::addColumn<QString>("icone");
        QTest::newRow("/usr/bin") << "/usr/bin" << ZAPO_ID_APPLI;
        QTest::newRow("~/.local/bin") << "/home/anne/.local/bin" << ZAPO_ID_APPLI;
        QTest::newRow("construction") << "/home/anne/zapo-tv/build"
                                      << "zapo-tv";
        QTest::newRow("dossier à soi") << "/opt/Zapo-TV"
                                       << "zapo-tv";
    }
    void icone() {
        QFETCH(QString, dossier);
        QFETCH(QString, icone);
        QCOMPARE(plateforme::nom_icone(dossier), icone);
        QVERIFY(
            plateforme::contenu_entree(dossier + QStringLiteral("/zapo-tv"), plateforme::nom_icone(dossier))
                .contains(QStringLiteral("\nIcon=") + icone + QLatin1Char('\n')));
    }

    void inscrire_puis_retirer() {
        plateforme::inscrire_demarrage(QStringLiteral("zapo-tv"));
        QFile f(plateforme::chemin_entree());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString texte = QString::fromUtf8(f.readAll());
        f.close();
        const QString exe = QCoreApplication::applicationFilePath();
        QVERIFY(texte.startsWith(QStringLiteral("[Desktop Entry]\n")));
        for (const QString& ligne :
             {QStringLiteral("Type=Application"), QStringLiteral("Name=Zapo-TV"),
              QStringLiteral("Exec=") + plateforme::citer_exec(exe), QStringLiteral("TryExec=") + exe,
              QStringLiteral("Icon=zapo-tv"), QStringLiteral("Terminal=false")})
            QVERIFY2(texte.split(QLatin1Char('\n')).contains(ligne), qPrintable(ligne));

        const QString validateur = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (!validateur.isEmpty()) {
            QProcess p;
            p.start(validateur, {plateforme::chemin_entree()});
            QVERIFY(p.waitForFinished(10000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput().constData());
        }

        plateforme::retirer_demarrage();
        QVERIFY(!QFile::exists(plateforme::chemin_entree()));
        plateforme::retirer_demarrage(); // a missing entry is no error
    }

    void programme_renomme() {
        // The entry names the program file that runs, whatever its name.
        QTemporaryDir d;
        const QString copie = d.path() + QStringLiteral("/mon guide télé");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copie));
        QFile::setPermissions(copie, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcess p;
        p.start(copie, {QStringLiteral("inscrire_seulement")});
        QVERIFY(p.waitForFinished(20000));
        QFile f(plateforme::chemin_entree());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString texte = QString::fromUtf8(f.readAll());
        QVERIFY2(texte.contains(QStringLiteral("Exec=\"") + copie + QStringLiteral("\"\n")),
                 qPrintable(texte));
        QVERIFY(texte.contains(QStringLiteral("TryExec=") + copie + QLatin1Char('\n')));
        plateforme::retirer_demarrage();
    }

    void echec_silencieux() {
        // A config folder that is a file: nothing is written, nothing is thrown,
        // and standard error says why.
        QTemporaryDir d;
        QFile bloque(d.path() + QStringLiteral("/autostart"));
        QVERIFY(bloque.open(QIODevice::WriteOnly));
        bloque.close();
        qputenv("XDG_CONFIG_HOME", d.path().toUtf8());
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Démarrage à l'ouverture de session "
                                                               "non inscrit : « .*/autostart/")));
        QVERIFY(!plateforme::inscrire_demarrage());
        plateforme::retirer_demarrage();
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Used by programme_renomme: the renamed copy writes its own entry and stops.
    if (argc > 1 && QByteArray(argv[1]) == "inscrire_seulement") {
        plateforme::inscrire_demarrage();
        return 0;
    }
    test_registre t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_registre.moc"
