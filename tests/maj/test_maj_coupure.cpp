// A program killed (SIGKILL) in the middle of an update loses nothing: the
// database passes its integrity check and holds either all the old rows and
// stamp or all the new ones.

#include "outils/banc_maj.h"

#include "outils/programme_essai.h"
#include <QElapsedTimer>
#include <QProcess>

#include <QTest>
#include <QThread>

using namespace zapo::essais;

namespace {

struct etat {
    QByteArray liste;
    QByteArray maj;
    bool operator==(const etat&) const = default;
};

etat lire_etat(const QString& base) {
    return {vider_table(base, "liste"), vider_table(base, "maj")};
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
    etat nouveau_;
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
    const etat ancien = lire_etat(prep.base());

    QProcess p;
    p.start(QStringLiteral(ZAPO_MAJ_COUPEE), {prep.ctx.dossier_appli, mode});
    QVERIFY(p.waitForStarted());
    QVERIFY(attendre_ligne(p, attente));
    QThread::msleep(ulong(delai_ms));
    p.kill();
    QVERIFY(p.waitForFinished(10000));
    const QByteArray reste = p.readAll();

    QCOMPARE(verifier_integrite(prep.base()), QStringLiteral("ok"));
    const etat apres = lire_etat(prep.base());
    const bool est_ancien = apres == ancien;
    const bool est_nouveau = apres == nouveau_;
    QVERIFY2(est_ancien || est_nouveau, "ni les anciennes lignes ni les nouvelles");
    issues_.insert(est_ancien ? QStringLiteral("ancien") : QStringLiteral("nouveau"));
    qInfo("%s", est_ancien ? "anciennes lignes" : "nouvelles lignes");
    if (mode == "bloque") {
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QVERIFY(est_ancien);
    }
    if (est_nouveau)
        QVERIFY2(reste.contains("CHAINE 3"), reste.constData());
}

// At least one kill landed before the commit.
void test_maj_coupure::bilan() {
    QVERIFY(issues_.contains(QStringLiteral("ancien")));
}

QTEST_MAIN(test_maj_coupure)
#include "test_maj_coupure.moc"
