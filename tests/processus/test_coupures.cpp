// Kills (SIGKILL) at moments drawn at random, from a fixed draw so that a
// failure comes back on every run: fifty in the middle of the real program's
// update, after each of which the database is sound, each channel holds all its
// old programmes or all its new ones, and the stamp is new only when every
// channel is; fifty in the middle of option changes, after
// each of which config.ini holds its four complete lines.

#include "outils/scene_maj.h"

#include "outils/programme_essai.h"
#include <QElapsedTimer>
#include <QRegularExpression>

#include <QTest>

#include <csignal>
#include <optional>
#include <random>

using namespace zapo;
using namespace zapo::essais;

namespace {

constexpr std::uint32_t tirage_fixe = 20261207;
constexpr int nb_coupures = 50;

// Each row: the kill's moment as a share of the reference duration.
void tirer_moments(double jusqua) {
    QTest::addColumn<double>("part");
    std::mt19937 g(tirage_fixe);
    std::uniform_real_distribution<double> loi(0.0, jusqua);
    for (int i = 1; i <= nb_coupures; ++i) {
        const double part = loi(g);
        QTest::addRow("n°%02d à %d %%", i, int(part * 100)) << part;
    }
}

void tuer(QProcess& p) {
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(10000);
}

etat_maj_chaines lire_etat(const QString& base) {
    std::vector<int> nums;
    for (const auto& c : trois_chaines())
        nums.push_back(c.num);
    return lire_etat_chaines(base, nums);
}

} // namespace

class test_coupures : public QObject {
    Q_OBJECT

    // One folder for every run; its database is put back before each.
    std::optional<scene_maj> scene_;
    QByteArray fichier_ancien_;
    etat_maj_chaines ancien_, nouveau_;
    qint64 duree_ms_ = 0; // start to commit, uninterrupted
    QMap<QString, int> issues_;

    QSet<QByteArray> contenus_options_;

    void remettre_base() {
        for (const char* suffixe : {"-wal", "-shm", "-journal"})
            QFile::remove(scene_->p.base() + QLatin1String(suffixe));
        QFile f(scene_->p.base());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(fichier_ancien_), fichier_ancien_.size());
    }

private Q_SLOTS:
    void initTestCase() {
        if (!QFileInfo::exists(bibliotheque_faketime()))
            QSKIP("libfaketime absente");
        // The faked clock runs ten times faster: the same steps, pauses a tenth as long.
        scene_.emplace(QStringLiteral("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"), trois_chaines(),
                       QStringLiteral("x10"));
        QVERIFY(scene_->valide());
        QVERIFY(!QFileInfo::exists(scene_->p.base() + QStringLiteral("-wal")));
        QFile f(scene_->p.base());
        QVERIFY(f.open(QIODevice::ReadOnly));
        fichier_ancien_ = f.readAll();
        ancien_ = lire_etat(scene_->p.base());

        // The reference: the same run left to finish.
        QElapsedTimer t;
        t.start();
        QProcess* p = scene_->p.lancer();
        QVERIFY(attendre_que([&] { return vider_table(scene_->p.base(), "maj") != ancien_.maj; }, 60000));
        duree_ms_ = t.elapsed();
        QTest::qWait(200); // the run's end goes on a moment after the stamp: not timed, let it be
        tuer(*p);
        nouveau_ = lire_etat(scene_->p.base());
        QCOMPARE(nouveau_.liste.count('\n'), 9);
        qInfo("mise à jour complète en %lld ms", duree_ms_);
    }

    // Up to a third past the commit, so that some kills find the run done.
    void coupure_maj_data() { tirer_moments(1.3); }
    void coupure_maj() {
        QFETCH(double, part);
        remettre_base();
        QProcess* p = scene_->p.lancer();
        // The moment of the kill is what is tested, not a wait for something.
        QTest::qWait(int(part * double(duree_ms_))); // serves the pages meanwhile
        tuer(*p);

        QCOMPARE(verifier_integrite(scene_->p.base()), QStringLiteral("ok"));
        const etat_maj_chaines vu = lire_etat(scene_->p.base());
        const QString ecart = ecart_par_chaine(ancien_, nouveau_, vu);
        QVERIFY2(ecart.isEmpty(), qPrintable(ecart));
        const bool date = vu.maj != ancien_.maj;
        if (date) {
            const auto stamp = donnees::base_programmes(scene_->p.base()).lire_maj();
            QVERIFY(stamp && stamp->date() == jour_essai && stamp->heure() == 14);
        }
        ++issues_[date                        ? QStringLiteral("nouveau")
                  : vu.liste == ancien_.liste ? QStringLiteral("ancien")
                                              : QStringLiteral("partiel")];
    }

    // The draw hit both sides of the commit.
    void bilan_maj() {
        qInfo(
            "%d fois les anciennes lignes, %d fois une partie des chaînes renouvelées, %d fois les nouvelles",
            issues_.value(QStringLiteral("ancien")), issues_.value(QStringLiteral("partiel")),
            issues_.value(QStringLiteral("nouveau")));
        QVERIFY(issues_.contains(QStringLiteral("ancien")));
        QVERIFY(issues_.contains(QStringLiteral("nouveau")));
    }

    // Shares of 200 ms after the commands start running.
    void coupure_options_data() { tirer_moments(1.0); }
    void coupure_options() {
        QFETCH(double, part);
        QProcess p;
        p.start(QStringLiteral(ZAPO_OPTIONS_EN_BOUCLE), {scene_->p.dossier()});
        QVERIFY(attendre_ligne(p, "PRET"));
        QThread::msleep(ulong(part * 200));
        tuer(p);
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        QFile f(scene_->p.dossier() + QStringLiteral("/config.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray contenu = f.readAll();
        static const QRegularExpression quatre_lignes(QStringLiteral("\\A(#(TRUE|FALSE)#\\r\\n){4}\\z"));
        QVERIFY2(quatre_lignes.match(QString::fromLatin1(contenu)).hasMatch(),
                 contenu.toHex(' ').constData());
        contenus_options_.insert(contenu);
    }

    // The commands did change the file between kills.
    void bilan_options() { QVERIFY(contenus_options_.size() > 1); }
};

QTEST_GUILESS_MAIN(test_coupures)
#include "test_coupures.moc"
