// 3,000 reminders missed while the program was closed, told at start on a
// private session bus: with python3-dbusmock's notification daemon one
// notification lists them, and its "Voir" selects the first one's programme;
// without a server, one box (not one each).
#include "outils/banc_agent.h"

#include "donnees/base_rappels.h"
#include "donnees/transaction.h"
#include "outils/bus_notifications.h"
#include "outils/controles.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QTreeWidget>

using namespace zapo;
using namespace zapo::essais;

namespace {

constexpr int nb_rappels = 3000;

// Columbo at 22:00 first; the others start a second apart after it, all due by 22:55.
void nombreux(const QString& chemin, int nombre) {
    donnees::base_programmes b(chemin);
    b.ajouter_chaine({1, QStringLiteral("Canal Un"), QStringLiteral("http://127.0.0.1/1"), 1});
    b.ajouter_chaine({2, QStringLiteral("Canal Deux"), QStringLiteral("http://127.0.0.1/2"), 2});
    const date_heure d = date_heure::depuis_qdatetime(le(7, 21, 0));
    b.ajouter_programme({QStringLiteral("Journal"), d, une_heure, d + une_heure}, 2);
    b.ajouter_programme({QStringLiteral("Columbo"), d + une_heure, une_heure, d + une_heure + une_heure}, 2);
    std::vector<rappel> rappels;
    for (int i = 0; i < nombre; ++i) {
        rappel r;
        r.chaine = i == 0 ? 2 : 1 + i % 2;
        r.debut = d + date_heure::duree_hm(1, 0, i);
        r.fin = r.debut + une_heure + une_heure;
        r.titre = i == 0 ? QStringLiteral("Columbo") : QStringLiteral("Film %1").arg(i);
        rappels.push_back(r);
    }
    donnees::transaction ecriture(b);
    donnees::ajouter_rappels(b, rappels);
    ecriture.valider();
}

int nb_notify(const QByteArray& journal) {
    return int(journal.count(" Notify "));
}

} // namespace

class test_rappels_nombreux : public QObject {
    Q_OBJECT

    bus_notifications bus_;

private Q_SLOTS:
    void initTestCase() {
        if (const QString manque = bus_notifications::manque(); !manque.isEmpty())
            QSKIP(qPrintable(manque));
        QVERIFY(bus_.demarrer_bus());
    }

    void sans_serveur_data() {
        QTest::addColumn<int>("nombre");
        QTest::addColumn<QString>("fin");
        QTest::newRow("trois notifications refusées")
            << 3 << QStringLiteral("Film 2, Canal Un, commencé à 22:00");
        QTest::newRow("trois mille") << nb_rappels << QStringLiteral("et 2997 autres rappels");
    }
    // Nobody owns the notifications' name and there is no tray: one box.
    void sans_serveur() {
        QFETCH(int, nombre);
        QFETCH(QString, fin);
        banc_agent b;
        b.zone = false;
        nombreux(b.ctx.chemin_base(), nombre);
        b.horloge.regler(le(7, 22, 55));
        b.agent->Form_Load();
        QTRY_COMPARE_WITH_TIMEOUT(int(b.boites.vues.size()), 1, 10000);
        QTest::qWait(300); // and no second one: nothing to wait on but a little time
        QCOMPARE(int(b.boites.vues.size()), 1);
        const QString texte = b.boites.vues[0].texte;
        QVERIFY2(texte.startsWith(
                     QStringLiteral("%1 rappels :\rColumbo, Canal Deux, commencé à 22:00\r").arg(nombre)),
                 qPrintable(texte));
        QVERIFY2(texte.endsWith(QLatin1Char('\r') + fin), qPrintable(texte));
        QCOMPARE(texte.count(QLatin1Char('\r')), std::min(nombre, 4));
        // Never again, in this run.
        b.agent->rearmer_rappels();
        QTest::qWait(300); // nothing may come
        QCOMPARE(int(b.boites.vues.size()), 1);
    }

    // One notification; its "Voir" selects Columbo in the main window and gives it the keyboard.
    void avec_serveur() {
        QVERIFY(bus_.demarrer_serveur());
        banc_agent b("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n");
        nombreux(b.ctx.chemin_base(), nb_rappels);
        b.horloge.regler(le(7, 22, 55));
        b.agent->Form_Load();
        QTRY_VERIFY_WITH_TIMEOUT(nb_notify(bus_.journal()) > 0, 10000);
        QTest::qWait(500); // and no second one: nothing to wait on but a little time
        const QByteArray j = bus_.journal();
        QCOMPARE(nb_notify(j), 1);
        QVERIFY2(j.contains("3000 rappels") && j.contains("et 2997 autres rappels"), j.constData());
        QVERIFY(b.boites.vues.empty());
        QVERIFY(!b.agent->fenetre());

        auto m = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
        m << QStringLiteral("org.freedesktop.Notifications") << QStringLiteral("ActionInvoked")
          << QStringLiteral("us")
          << QVariantList{QVariant::fromValue(QDBusVariant(uint(1))),
                          QVariant::fromValue(QDBusVariant(QStringLiteral("voir")))};
        const QDBusMessage r = QDBusConnection::sessionBus().call(m, QDBus::Block, 5000);
        QVERIFY2(r.type() == QDBusMessage::ReplyMessage, qPrintable(r.errorMessage()));
        QTRY_VERIFY_WITH_TIMEOUT(b.agent->fenetre(), 5000);
        QCOMPARE(b.agent->fenetre()->chaine_courante(), 2);
        auto* lst = controle<QTreeWidget>(*b.agent->fenetre(), "lst_prog");
        QVERIFY(lst->currentItem());
        QCOMPARE(lst->currentItem()->text(3), QStringLiteral("Columbo"));
        QTRY_VERIFY(lst->hasFocus());
    }
};

QTEST_MAIN(test_rappels_nombreux)
#include "test_rappels_nombreux.moc"
