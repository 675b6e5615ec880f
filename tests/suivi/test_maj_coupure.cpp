// A program killed (SIGKILL) in the middle of an update loses nothing: the
// database passes its integrity check, each channel holds all its old rows or
// all its new ones, and the stamp is new only when every channel is.

#include "outils/banc_maj.h"

#include "outils/programme_essai.h"
#include <QElapsedTimer>
#include <QProcess>

#include <QTest>
#include <QThread>

using namespace zapo::essais;

namespace {

etat_maj_chaines lire_etat(const QString& base) {
    std::vector<int> nums;
    for (const auto& c : trois_chaines())
        nums.push_back(c.num);
    return lire_etat_chaines(base, nums);
}

} // namespace

class test_maj_coupure : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void coupure_data();
    void coupure();
    void bilan();

private:
    etat_maj_chaines nouveau_;
    QSet<QString> issues_;
};

// The reference: the same run on the same old data, left to finish.
void test_maj_coupure::initTestCase() {
    banc_maj prep;
    prep.anciennes_donnees();
    QProcess p;
    p.start(QStringLiteral(ZAPO_MAJ_COUPEE), {prep.ctx.dossier_appli, QStringLiteral("rythme")});
    QVERIFY(p.waitForStarted());
    QVERIFY(attendre_ligne(p, "FINI 0"));
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitCode(), 0);
    nouveau_ = lire_etat(prep.base());
    QVERIFY(nouveau_.liste.count('\n') == 9);
}

// attente: "CHAINE 2" waits until the second channel is being fetched (its page
// never answers); otherwise the kill comes that many ms after the run began.
void test_maj_coupure::coupure_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("attente");
    QTest::addColumn<int>("delai_ms");

    QTest::newRow("page qui ne répond pas") << "bloque" << QByteArray("CHAINE 2") << 150;
    for (int ms : {0, 25, 60, 100, 150, 220, 300, 400, 600})
        QTest::addRow("à %d ms", ms) << "rythme" << QByteArray("DEBUT") << ms;
}

void test_maj_coupure::coupure() {
    QFETCH(QString, mode);
    QFETCH(QByteArray, attente);
    QFETCH(int, delai_ms);

    banc_maj prep;
    prep.anciennes_donnees();
    const etat_maj_chaines ancien = lire_etat(prep.base());

    QProcess p;
    p.start(QStringLiteral(ZAPO_MAJ_COUPEE), {prep.ctx.dossier_appli, mode});
    QVERIFY(p.waitForStarted());
    QVERIFY(attendre_ligne(p, attente));
    QThread::msleep(ulong(delai_ms));
    p.kill();
    QVERIFY(p.waitForFinished(10000));
    const QByteArray reste = p.readAll();

    QCOMPARE(verifier_integrite(prep.base()), QStringLiteral("ok"));
    const etat_maj_chaines apres = lire_etat(prep.base());
    const QString ecart = ecart_par_chaine(ancien, nouveau_, apres);
    QVERIFY2(ecart.isEmpty(), qPrintable(ecart));
    const bool est_ancien = apres == ancien;
    const bool est_nouveau = apres == nouveau_;
    const QString issue = est_ancien    ? QStringLiteral("ancien")
                          : est_nouveau ? QStringLiteral("nouveau")
                                        : QStringLiteral("partiel");
    issues_.insert(issue);
    qInfo("%s", qPrintable(issue));
    if (mode == "bloque") {
        // Killed while the second channel waited: the first one was already written.
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(apres.chaines.at(2), nouveau_.chaines.at(2));
        QCOMPARE(apres.chaines.at(3), ancien.chaines.at(3));
        QCOMPARE(apres.maj, ancien.maj);
    }
    if (est_nouveau)
        QVERIFY2(reste.contains("CHAINE 3"), reste.constData());
}

// Kills landed before the first channel was written and between two channels.
void test_maj_coupure::bilan() {
    QVERIFY(issues_.contains(QStringLiteral("ancien")));
    QVERIFY(issues_.contains(QStringLiteral("partiel")));
}

QTEST_MAIN(test_maj_coupure)
#include "test_maj_coupure.moc"
