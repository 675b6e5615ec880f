#include "outils/ecran_virtuel.h"
#include "outils/programme_essai.h"
#include "outils/version_projet.h"

#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

using namespace zapo::essais;

namespace {

// Every file of the folder with its size and time, the journal aside.
QMap<QString, QPair<qint64, QDateTime>> instantane(const QString& dossier) {
    QMap<QString, QPair<qint64, QDateTime>> m;
    QDirIterator it(dossier, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        if (f.fileName() != QLatin1String("boites.jsonl") && f.fileName() != QLatin1String("vues.jsonl"))
            m.insert(f.filePath(), {f.size(), f.lastModified()});
    }
    return m;
}

bool verrou_pris(const programme_essai& p) {
    return QFileInfo::exists(p.dossier() + QStringLiteral("/.zapo-tv.lock"));
}

} // namespace

class test_demarrage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void premiere_copie_depose_la_base() {
        programme_essai p;
        QVERIFY(p.valide());
        p.suivre_fenetre();
        QProcess* a = p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p) && QFileInfo::exists(p.base()); }, 15000));
        QVERIFY(attendre_que([&] { return p.fenetre_affichee(); }, 15000));
        QCOMPARE(a->state(), QProcess::Running);
        QVERIFY(p.boites().isEmpty());
        QVERIFY(QFileInfo(p.base()).size() > 0);
    }

    void seconde_copie_refusee() {
        programme_essai p;
        QVERIFY(p.valide());
        p.suivre_fenetre();
        QProcess* a = p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p) && p.fenetre_affichee(); }, 15000));
        const auto avant = instantane(p.dossier());

        QProcess* b = p.lancer();
        QVERIFY(b->waitForFinished(15000));
        QCOMPARE(b->exitStatus(), QProcess::NormalExit);
        const auto boites = p.boites();
        QCOMPARE(boites.size(), 1);
        QCOMPARE(boites[0][QStringLiteral("titre")].toString(), QStringLiteral("Erreur"));
        QCOMPARE(boites[0][QStringLiteral("texte")].toString(),
                 QStringLiteral("L'application est déjà ouverte"));
        QCOMPARE(boites[0][QStringLiteral("icone")].toInt(), 3); // critical
        // The first copy goes on, and the second touched no file.
        QCOMPARE(a->state(), QProcess::Running);
        QCOMPARE(instantane(p.dossier()), avant);
    }

    void verrou_d_une_copie_tuee() {
        programme_essai p;
        QVERIFY(p.valide());
        p.suivre_fenetre();
        QProcess* a = p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p); }, 15000));
        ::kill(pid_t(a->processId()), SIGKILL);
        QVERIFY(a->waitForFinished(5000));
        QVERIFY(verrou_pris(p)); // left behind

        QProcess* c = p.lancer();
        // Up with its window: the stale lock did not stop it.
        QVERIFY(
            attendre_que([&] { return p.fenetre_affichee() || c->state() == QProcess::NotRunning; }, 15000));
        QCOMPARE(c->state(), QProcess::Running);
        QVERIFY(p.boites().isEmpty());
    }

    void copie_ancienne_reste_seule() {
        // A first copy running for a long time still refuses the second.
        programme_essai p;
        QVERIFY(p.valide());
        p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p); }, 15000));
        QFile verrou(p.dossier() + QStringLiteral("/.zapo-tv.lock"));
        QVERIFY(verrou.open(QIODevice::ReadOnly));
        QVERIFY(
            verrou.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        QProcess* b = p.lancer();
        QVERIFY(b->waitForFinished(15000));
        QCOMPARE(p.boites().size(), 1);
    }

    // Only a live holder of this folder's lock refuses a start.
    void verrous_sans_copie_vivante_data() {
        QTest::addColumn<QString>("verrou");
        QTest::addColumn<bool>("demarre");
        QTest::newRow("lien vers rien") << QStringLiteral("lien") << true;
        QTest::newRow("copié d'un dossier où une copie tourne") << QStringLiteral("copie") << true;
        QTest::newRow("tube nommé") << QStringLiteral("tube") << false;
    }
    void verrous_sans_copie_vivante() {
        QFETCH(QString, verrou);
        QFETCH(bool, demarre);
        programme_essai p;
        programme_essai ailleurs;
        QVERIFY(p.valide() && ailleurs.valide());
        const QString chemin = p.dossier() + QStringLiteral("/.zapo-tv.lock");
        const QByteArray nom = QFile::encodeName(chemin);
        if (verrou == QLatin1String("lien")) {
            QCOMPARE(::symlink("/nulle/part/.zapo-tv.lock", nom.constData()), 0);
        } else if (verrou == QLatin1String("copie")) {
            ailleurs.lancer();
            QVERIFY(attendre_que([&] { return verrou_pris(ailleurs); }, 15000));
            QVERIFY(attendre_que(
                [&] { return QFileInfo(ailleurs.dossier() + QStringLiteral("/.zapo-tv.lock")).size() > 0; },
                5000));
            QVERIFY(QFile::copy(ailleurs.dossier() + QStringLiteral("/.zapo-tv.lock"), chemin));
        } else {
            QCOMPARE(::mkfifo(nom.constData(), 0600), 0);
        }
        QFile options(p.dossier() + QStringLiteral("/config.ini"));
        QVERIFY(options.open(QIODevice::ReadOnly));
        const QByteArray options_avant = options.readAll();
        options.close();

        QProcess* c = p.lancer();
        if (demarre) {
            // The lock becomes this copy's own file, with its process id.
            const QByteArray pid = QByteArray::number(c->processId()) + '\n';
            QVERIFY(attendre_que(
                [&] {
                    QFile f(chemin);
                    return QFileInfo(chemin).isFile() && !QFileInfo(chemin).isSymLink() &&
                           f.open(QIODevice::ReadOnly) && f.readAll().startsWith(pid);
                },
                15000));
            QCOMPARE(c->state(), QProcess::Running);
            QVERIFY(p.boites().isEmpty());
        } else {
            QVERIFY2(c->waitForFinished(15000), "un verrou en tube nommé bloque le démarrage");
            QCOMPARE(c->exitCode(), 1);
            const auto boites = p.boites();
            QCOMPARE(boites.size(), 1);
            QCOMPARE(
                boites[0][QStringLiteral("texte")].toString(),
                QStringLiteral("Impossible de démarrer Zapo-TV dans le dossier « %1 » : « .zapo-tv.lock » "
                               "n'est pas un fichier ordinaire.")
                    .arg(p.dossier()));
            struct stat s {};
            QVERIFY(::lstat(nom.constData(), &s) == 0 && S_ISFIFO(s.st_mode));
        }
        QVERIFY(options.open(QIODevice::ReadOnly));
        QCOMPARE(options.readAll(), options_avant);
        // The other folder's copy and its lock are left alone.
        if (verrou == QLatin1String("copie"))
            QVERIFY(verrou_pris(ailleurs));
    }

    void fenetre_sous_xvfb() {
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        // The title's version, its dots taken literally by xdotool's pattern.
        const QString version = QString(version_projet()).replace(QLatin1Char('.'), QStringLiteral("\\."));
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() || xdotool.isEmpty())
            QSKIP("Xvfb ou xdotool absent");
        ecran_virtuel ecran;
        QVERIFY2(ecran.valide(), "Xvfb n'a pas démarré");

        programme_essai p;
        QVERIFY(p.valide());
        ecran.preparer(p.environnement());
        p.lancer();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), ecran.affichage());
        const bool vue = attendre_que(
            [&] {
                QProcess x;
                x.setProcessEnvironment(env);
                x.start(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                  QStringLiteral("--name"), QStringLiteral("^Zapo-TV  %1$").arg(version)});
                x.waitForFinished(5000);
                return x.exitCode() == 0 && !x.readAllStandardOutput().trimmed().isEmpty();
            },
            60000); // a sanitizer build under load starts slowly
        QVERIFY2(vue,
                 qPrintable(QStringLiteral("aucune fenêtre « Zapo-TV  %1 » visible").arg(version_projet())));
    }
};

QTEST_GUILESS_MAIN(test_demarrage)
#include "test_demarrage.moc"
