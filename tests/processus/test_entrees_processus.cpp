// Bad files and folders met by the real program at start-up: one clear French
// message, a clean exit, and nothing of the user's changed.

#include "outils/base_essai.h"
#include "outils/dossier_essai.h"
#include "outils/montage_essai.h"
#include "outils/programme_essai.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace zapo::essais;

namespace {

QByteArray lire(const QString& chemin) {
    struct stat s {};
    if (::stat(QFile::encodeName(chemin).constData(), &s) == 0 && !S_ISREG(s.st_mode))
        return "<pas un fichier>"; // never opened: a FIFO would wait
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

bool ecrire(const QString& chemin, const QByteArray& contenu) {
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contenu) == contenu.size();
}

// Straight through SQLite, so that nothing of the program's own opening applies.
bool executer(const QString& chemin, const QByteArray& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(chemin.toUtf8().constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    return sqlite3_close(db) == SQLITE_OK && ok;
}

// Every file under `dossier` with the hash of its bytes.
QMap<QString, QByteArray> empreintes(const QString& dossier) {
    QMap<QString, QByteArray> m;
    QDirIterator it(dossier, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        m.insert(f, QCryptographicHash::hash(lire(f), QCryptographicHash::Sha1));
    }
    return m;
}

QStringList trouver(const QString& dossier, const QString& nom) {
    QStringList res;
    QDirIterator it(dossier, {nom}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        res << it.next();
    return res;
}

// Waits for the end of a copy that must stop by itself; kills it otherwise.
bool fin_propre(QProcess* p, int ms = 15000) {
    if (!p->waitForFinished(ms)) {
        p->kill();
        p->waitForFinished(3000);
        return false;
    }
    return p->exitStatus() == QProcess::NormalExit;
}

} // namespace

class test_entrees_processus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bases_refusees_data() {
        // contenu replaces the file; otherwise the delivered copy, changed by sql
        // then cut to coupe bytes (-1: half of it, -2: 512 bytes off its end; -3:
        // not cut, the root page of its programmes broken).
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<int>("coupe");
        QTest::addColumn<QString>("attendu");
        const QByteArray rien;
        QTest::newRow("coupée de moitié") << rien << rien << -1 << "incomplet";
        QTest::newRow("coupée à 4096 octets") << rien << rien << 4096 << "incomplet";
        QTest::newRow("coupée à 100 octets") << rien << rien << 100 << "incomplet";
        QTest::newRow("dernière page entamée") << rien << rien << -2 << "incomplet";
        QTest::newRow("coupée dans l'en-tête") << rien << rien << 60 << "incomplet";
        // Found by the read of the programmes' pages, beside the window's construction.
        QTest::newRow("page des programmes abîmée") << rien << rien << -3 << "endommagée";
        QTest::newRow("texte") << QByteArray("Liste de mes chaînes préférées\r\n").repeated(300) << rien << 0
                               << "n'est pas une base de données";
        QByteArray hasard(16384, Qt::Uninitialized);
        QRandomGenerator aleas(20261207);
        aleas.fillRange(reinterpret_cast<quint32*>(hasard.data()), hasard.size() / 4);
        QTest::newRow("octets au hasard") << hasard << rien << 0 << "n'est pas une base de données";
        QTest::newRow("vide") << QByteArray("") << rien << 0 << "est vide";
        // Refused before it is opened: opening it would wait for a writer forever.
        QTest::newRow("tube nommé") << QByteArray("<tube>") << rien << 0
                                    << "ce n'est pas un fichier ordinaire";
        QTest::newRow("sans table liste")
            << rien << QByteArray("DROP TABLE liste") << 0 << "la table « liste » est absente";
        QTest::newRow("sans colonne adresse")
            << rien << QByteArray("ALTER TABLE chaines DROP COLUMN adresse") << 0
            << "la colonne « adresse » manque dans la table « chaines »";
        QTest::newRow("sans ligne maj")
            << rien << QByteArray("DELETE FROM maj") << 0 << "la table « maj » n'a pas de ligne";
        // A file kept with the classic journal: opening it must not rewrite its header.
        QTest::newRow("journal classique, sans table modele")
            << rien << QByteArray("PRAGMA journal_mode=DELETE; DROP TABLE modele") << 0
            << "la table « modele » est absente";
    }
    void bases_refusees() {
        QFETCH(QByteArray, contenu);
        QFETCH(QByteArray, sql);
        QFETCH(int, coupe);
        QFETCH(QString, attendu);
        programme_essai p;
        QVERIFY(p.valide());
        if (contenu.isNull()) {
            QVERIFY(QFile::copy(chemin_base_livree(), p.base()));
            QFile::setPermissions(p.base(), QFile::ReadOwner | QFile::WriteOwner);
            if (!sql.isEmpty())
                QVERIFY(executer(p.base(), sql));
            const qint64 taille = QFileInfo(p.base()).size();
            if (coupe == -3)
                QVERIFY(zapo::essais::abimer_racine(p.base(), "liste"));
            else if (coupe != 0)
                QVERIFY(QFile::resize(p.base(), coupe > 0 ? coupe : coupe == -1 ? taille / 2 : taille - 512));
        } else if (contenu == "<tube>") {
            QCOMPARE(::mkfifo(QFile::encodeName(p.base()).constData(), 0600), 0);
        } else {
            QVERIFY(ecrire(p.base(), contenu));
        }
        const QByteArray avant = lire(p.base());

        QProcess* a = p.lancer();
        QVERIFY2(fin_propre(a), "le programme ne s'est pas arrêté proprement");
        QCOMPARE(a->exitCode(), 1);
        const auto boites = p.boites();
        QCOMPARE(boites.size(), 1);
        const QString texte = boites[0][QStringLiteral("texte")].toString();
        QCOMPARE(boites[0][QStringLiteral("titre")].toString(), QStringLiteral("Zapo-TV"));
        QCOMPARE(boites[0][QStringLiteral("icone")].toInt(), 3);
        QVERIFY2(texte.contains(QDir::toNativeSeparators(p.base())), qPrintable(texte));
        QVERIFY2(texte.contains(attendu), qPrintable(texte));
        // Nothing rewritten, and no journal left beside it to change it later.
        QVERIFY(lire(p.base()) == avant);
        QVERIFY(!QFileInfo::exists(p.base() + QStringLiteral("-wal")));
        QVERIFY(!QFileInfo::exists(p.base() + QStringLiteral("-shm")));
        QVERIFY(!QFileInfo::exists(p.base() + QStringLiteral("-journal")));
    }

    // Starts refused: 1 when it could not start, 0 only when a copy already runs.
    void demarrages_refuses_data() {
        QTest::addColumn<QString>("cas");
        QTest::addColumn<int>("statut");
        QTest::addColumn<QString>("attendu"); // in the one box
        QTest::newRow("base occupée par un autre programme")
            << QStringLiteral("occupee") << 1 << QStringLiteral("la base est occupée par un autre programme");
        QTest::newRow("verrou illisible d'un autre utilisateur")
            << QStringLiteral("verrou") << 1
            << QStringLiteral("« .zapo-tv.lock » appartient à un autre utilisateur et ne peut pas être lu");
        QTest::newRow("une copie tourne")
            << QStringLiteral("copie") << 0 << QStringLiteral("L'application est déjà ouverte");
    }
    void demarrages_refuses() {
        QFETCH(QString, cas);
        QFETCH(int, statut);
        QFETCH(QString, attendu);
        // The user is nobody, as root sees past every file's mode.
        const bool comme_personne = cas == QLatin1String("verrou");
        if (comme_personne && ::geteuid() != 0)
            QSKIP("un verrou d'un autre utilisateur demande root");
        programme_essai p;
        QVERIFY(p.valide());
        QVERIFY(QFile::copy(chemin_base_livree(), p.base()));
        QFile::setPermissions(p.base(), QFile::ReadOwner | QFile::WriteOwner);
        const QString verrou = p.dossier() + QStringLiteral("/.zapo-tv.lock");
        sqlite3* db = nullptr;
        const auto liberer = qScopeGuard([&] { sqlite3_close(db); });
        if (cas == QLatin1String("occupee")) {
            // Another program holds the base and does not let go.
            QCOMPARE(sqlite3_open(p.base().toUtf8().constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "PRAGMA journal_mode=WAL; BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
                     SQLITE_OK);
        } else if (cas == QLatin1String("verrou")) {
            // Left by a copy run under sudo with a strict umask, then dead.
            QVERIFY(ecrire(verrou, "999999999\nzapo-tv\nune-machine\n"));
            QVERIFY(QFile::setPermissions(verrou, QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(QProcess::execute(QStringLiteral("chown"),
                                       {QStringLiteral("-R"), QStringLiteral("65534:65534"), p.dossier()}),
                     0);
            QCOMPARE(::chown(QFile::encodeName(verrou).constData(), 0, 0), 0);
        } else {
            p.lancer();
            QVERIFY(attendre_que([&] { return QFileInfo(verrou).size() > 0; }, 15000));
        }

        QProcess a;
        a.setProcessEnvironment(p.environnement());
        a.setWorkingDirectory(p.dossier());
        a.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (comme_personne)
            a.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(120);
            });
        a.start(p.exe());
        QVERIFY(a.waitForStarted(5000));
        QVERIFY2(fin_propre(&a, 60000), "le programme ne s'est pas arrêté proprement");
        QCOMPARE(a.exitCode(), statut);
        const auto boites = p.boites();
        QCOMPARE(boites.size(), 1);
        const QString texte = boites[0][QStringLiteral("texte")].toString();
        QVERIFY2(texte.contains(attendu), qPrintable(texte));
    }

    // Installed (in a "bin" folder), the program keeps its files in the user's data
    // folder; when that cannot be made, the box says so.
    void dossier_de_donnees_impossible_data() {
        QTest::addColumn<QString>("bouche"); // what stands in the way, as a file
        QTest::addColumn<QString>("attendu");
        QTest::newRow("un fichier à sa place")
            << QStringLiteral("donnees/Zapo-TV") << QStringLiteral("un fichier porte déjà ce nom");
        QTest::newRow("un fichier à la place de son parent")
            << QStringLiteral("donnees") << QStringLiteral("« %1/donnees » n'est pas un dossier");
    }
    void dossier_de_donnees_impossible() {
        QFETCH(QString, bouche);
        QFETCH(QString, attendu);
        programme_essai p;
        QVERIFY(p.valide());
        const QString bin = p.dossier() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::copy(p.exe(), bin + QStringLiteral("/zapo-tv")));
        QFile::setPermissions(bin + QStringLiteral("/zapo-tv"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString obstacle = p.dossier() + QLatin1Char('/') + bouche;
        QDir(obstacle).removeRecursively();
        QVERIFY(ecrire(obstacle, "à garder"));
        const auto avant = empreintes(p.dossier());

        QProcess a;
        a.setProcessEnvironment(p.environnement());
        a.setWorkingDirectory(p.dossier());
        a.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        a.start(bin + QStringLiteral("/zapo-tv"));
        QVERIFY(a.waitForStarted(5000));
        QVERIFY2(fin_propre(&a), "le programme ne s'est pas arrêté proprement");
        QCOMPARE(a.exitCode(), 1);
        const auto boites = p.boites();
        QCOMPARE(boites.size(), 1);
        QCOMPARE(boites[0][QStringLiteral("texte")].toString(),
                 QStringLiteral("Impossible de créer le dossier de données « %1/donnees/Zapo-TV » : %2.")
                     .arg(p.dossier(), QString(attendu).replace(QStringLiteral("%1"), p.dossier())));
        auto apres = empreintes(p.dossier());
        apres.remove(p.dossier() + QStringLiteral("/boites.jsonl"));
        QCOMPARE(apres, avant);
    }

    void dossier_en_lecture_seule() {
        if (!espace_montage_prive())
            QSKIP("montage privé impossible (root requis)");
        programme_essai p;
        QVERIFY(p.valide());
        // The program in a folder of its own, which then becomes read-only.
        const QString appli = p.dossier() + QStringLiteral("/appli");
        QVERIFY(QDir().mkpath(appli));
        QVERIFY(QFile::copy(p.exe(), appli + QStringLiteral("/zapo-tv")));
        QFile::setPermissions(appli + QStringLiteral("/zapo-tv"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(
            QFile::copy(p.dossier() + QStringLiteral("/config.ini"), appli + QStringLiteral("/config.ini")));
        QVERIFY(monter_lecture_seule(appli));
        const auto avant = empreintes(appli);

        QProcess a;
        a.setProcessEnvironment(p.environnement());
        a.setWorkingDirectory(p.dossier());
        a.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        a.start(appli + QStringLiteral("/zapo-tv"));
        QVERIFY(a.waitForStarted(5000));
        // The per-user data folder takes the database and the lock.
        const QString perso = p.environnement().value(QStringLiteral("XDG_DATA_HOME"));
        const bool depose = attendre_que(
            [&] {
                return !trouver(perso, QStringLiteral("programmes.mdb")).isEmpty() &&
                       !trouver(perso, QStringLiteral(".zapo-tv.lock")).isEmpty();
            },
            15000);
        // It must still be running a moment later: nothing to wait on but time.
        QTest::qWait(800);
        const QProcess::ProcessState etat = a.state();
        a.kill();
        a.waitForFinished(5000);
        demonter(appli);
        QVERIFY(depose);
        QCOMPARE(etat, QProcess::Running);
        QVERIFY(p.boites().isEmpty());
        QCOMPARE(empreintes(appli), avant);
    }

    void disque_plein_au_demarrage_data() {
        QTest::addColumn<qint64>("reste");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("rien de libre") << qint64(0) << "Impossible de démarrer Zapo-TV dans le dossier";
        QTest::newRow("place du verrou seulement")
            << qint64(8192) << "Impossible de créer la base des programmes";
    }
    void disque_plein_au_demarrage() {
        QFETCH(qint64, reste);
        QFETCH(QString, attendu);
        if (!espace_montage_prive())
            QSKIP("montage privé impossible (root requis)");
        programme_essai p;
        QVERIFY(p.valide());
        // A 256 KB disk for the program's folder; the program file itself is
        // only bound there, so that it takes no room.
        const QString plein = p.dossier() + QStringLiteral("/plein");
        QVERIFY(QDir().mkpath(plein));
        QVERIFY(monter_tmpfs(plein, 256 * 1024));
        const QString exe = plein + QStringLiteral("/zapo-tv");
        QVERIFY(ecrire(exe, {}));
        QVERIFY(
            ecrire(plein + QStringLiteral("/config.ini"), "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"));
        QVERIFY(lier(p.exe(), exe));
        QVERIFY(remplir(plein, QStringLiteral("bourrage"), reste) <= reste);
        const auto avant = empreintes(plein);

        QProcess a;
        a.setProcessEnvironment(p.environnement());
        a.setWorkingDirectory(p.dossier());
        a.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        a.start(exe);
        QVERIFY(a.waitForStarted(5000));
        const bool fini = fin_propre(&a);
        const auto apres = empreintes(plein);
        demonter(exe);
        demonter(plein);
        QVERIFY2(fini, "le programme ne s'est pas arrêté proprement");
        QCOMPARE(a.exitCode(), 1);
        const auto boites = p.boites();
        QCOMPARE(boites.size(), 1);
        const QString texte = boites[0][QStringLiteral("texte")].toString();
        QVERIFY2(texte.startsWith(attendu) && texte.contains(plein) &&
                     texte.endsWith(QStringLiteral("le disque est plein.")),
                 qPrintable(texte));
        // No half-written database, no lock or temporary file left behind.
        QCOMPARE(apres, avant);
    }
};

QTEST_GUILESS_MAIN(test_entrees_processus)
#include "test_entrees_processus.moc"
