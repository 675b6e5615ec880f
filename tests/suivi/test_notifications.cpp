// Desktop notifications over D-Bus, against python3-dbusmock's notification
// daemon on a private session bus that the test starts.
#include "outils/banc_maj.h"

#include "outils/programme_essai.h"
#include "plateforme/notifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "outils/bus_notifications.h"

using namespace zapo;
using namespace zapo::essais;

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");

} // namespace

class test_notifications : public QObject {
    Q_OBJECT

    essais::bus_notifications bus_;

    int nb_notify() const { return int(bus_.journal().count(" Notify ")); }
    QByteArray journal() const { return bus_.journal(); }

private Q_SLOTS:
    void initTestCase() {
        if (const QString manque = essais::bus_notifications::manque(); !manque.isEmpty())
            QSKIP(qPrintable(manque));
        QVERIFY(bus_.demarrer_bus());
    }

    // No server on the bus yet: nothing shows, and nothing waits.
    void sans_serveur() {
        plateforme::notifications_dbus n;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 20; ++i)
            n.envoyer(QStringLiteral("Zapo-TV"), QStringLiteral("essai"));
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
    }

    // Automatic runs with a channel that keeps failing: one notification, not two.
    void une_seule_fois() {
        QVERIFY(bus_.demarrer_serveur());

        banc_maj b;
        plateforme::notifications_dbus n;
        b.ctx.notifications = &n;
        auto chaines = trois_chaines();
        chaines[2].nom = QStringLiteral("Canal <b>Trois</b> & Cie");
        b.ajouter(chaines[0]);
        b.ajouter(chaines[2], false);
        serveur_http::reponse r;
        r.statut = 503;
        b.serveur.definir(chaines[2].chemin, r);
        const auto lancer_auto = [&] {
            maj::branchements br;
            br.automatique = true;
            br.fabrique_recup = [&] { return std::make_unique<maj::recuperateur>(b.horloge); };
            return suivi::executer_maj(b.ctx, std::move(br));
        };
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        QTRY_COMPARE_WITH_TIMEOUT(nb_notify(), 1, 10000);
        // The body is escaped as markup: the name shows as it is written.
        QVERIFY2(journal().contains("Canal &lt;b&gt;Trois&lt;/b&gt; &amp; Cie"), journal().constData());
        QCOMPARE(lancer_auto(), maj::fin_maj::complete);
        // No second notice may come: nothing to wait on but a little time.
        QTest::qWait(500);
        QCOMPARE(nb_notify(), 1);
    }
};

QTEST_MAIN(test_notifications)
#include "test_notifications.moc"
