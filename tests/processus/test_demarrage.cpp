#include "outils/ecran_virtuel.h"
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
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
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
                                  QStringLiteral("--name"), QStringLiteral("^Zapo-TV  2\\.1\\.8$")});
                x.waitForFinished(5000);
                return x.exitCode() == 0 && !x.readAllStandardOutput().trimmed().isEmpty();
            },
            60000); // a sanitizer build under load starts slowly
        QVERIFY2(vue, "aucune fenêtre « Zapo-TV  2.1.8 » visible");
    }
};

QTEST_GUILESS_MAIN(test_demarrage)
#include "test_demarrage.moc"
