#include "outils/programme_essai.h"

#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

using namespace zapo::essais;

namespace {

// Every file of the folder with its size and time, the journal aside.
QMap<QString, QPair<qint64, QDateTime>> instantane(const QString& dossier) {
    QMap<QString, QPair<qint64, QDateTime>> m;
    QDirIterator it(dossier, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        if (f.fileName() != QLatin1String("boites.jsonl"))
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
        QProcess* a = p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p) && QFileInfo::exists(p.base()); }, 15000));
        QTest::qWait(500);
        QCOMPARE(a->state(), QProcess::Running);
        QVERIFY(p.boites().isEmpty());
        QVERIFY(QFileInfo(p.base()).size() > 0);
    }

    void seconde_copie_refusee() {
        programme_essai p;
        QVERIFY(p.valide());
        QProcess* a = p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p); }, 15000));
        QTest::qWait(500);
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
        QProcess* a = p.lancer();
        QVERIFY(attendre_que([&] { return verrou_pris(p); }, 15000));
        ::kill(pid_t(a->processId()), SIGKILL);
        QVERIFY(a->waitForFinished(5000));
        QVERIFY(verrou_pris(p)); // left behind

        QProcess* c = p.lancer();
        QTest::qWait(2500);
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

    void fenetre_sous_xvfb() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xvfb.isEmpty() || xdotool.isEmpty())
            QSKIP("Xvfb ou xdotool absent");
        // Xvfb picks a free display and names it once it accepts clients: a fixed
        // wait is too short on a loaded machine, and a guessed number may be taken.
        QProcess serveur;
        serveur.setStandardErrorFile(QProcess::nullDevice());
        // -noreset: otherwise the server resets whenever xdotool, its only client, leaves,
        // and a program connecting at that moment is refused.
        serveur.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                             QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1024x768x24"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray sortie;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 15000 && !sortie.contains('\n') && serveur.state() != QProcess::NotRunning) {
            serveur.waitForReadyRead(50);
            sortie += serveur.readAllStandardOutput();
        }
        bool numero_lu = false;
        const QString ecran = QStringLiteral(":%1").arg(sortie.trimmed().toInt(&numero_lu));
        QVERIFY2(numero_lu, "Xvfb n'a pas démarré");

        programme_essai p;
        QVERIFY(p.valide());
        p.environnement().insert(QStringLiteral("DISPLAY"), ecran);
        p.environnement().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        p.lancer();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), ecran);
        const bool vue = attendre_que(
            [&] {
                QProcess x;
                x.setProcessEnvironment(env);
                x.start(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                  QStringLiteral("--name"), QStringLiteral("^Zapo-TV  2\\.1\\.8$")});
                x.waitForFinished(5000);
                return x.exitCode() == 0 && !x.readAllStandardOutput().trimmed().isEmpty();
            },
            60000); // a sanitizer build under load starts slowly
        serveur.kill();
        serveur.waitForFinished(3000);
        QVERIFY2(vue, "aucune fenêtre « Zapo-TV  2.1.8 » visible");
    }
};

QTEST_GUILESS_MAIN(test_demarrage)
#include "test_demarrage.moc"
