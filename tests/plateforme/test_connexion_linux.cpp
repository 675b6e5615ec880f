// On-line test, dialling and hanging up. NetworkManager is played by
// python3-dbusmock's template on a private bus that the test starts.
#include "plateforme/connexion_linux.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using reglages_nm = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(reglages_nm)

using namespace zapo;

namespace {

const QString service_nm = QStringLiteral("org.freedesktop.NetworkManager");
const QString chemin_nm = QStringLiteral("/org/freedesktop/NetworkManager");
const QString chemin_mock = QStringLiteral("/org/freedesktop");
const QString iface_mock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString iface_actif = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString python_debian = QStringLiteral("/usr/bin/python3");

// A profile written "type[/bluetooth type]:priority:timestamp[:permission]".
struct profil_essai {
    QString type;
    QString type_bt;
    int priorite = 0;
    qulonglong horodatage = 0;
    QString permission;
    QString descripteur;
};

profil_essai lire_profil(const QString& d) {
    const QStringList p = d.split(QLatin1Char(':'));
    profil_essai r;
    r.descripteur = d;
    const QStringList t = p.value(0).split(QLatin1Char('/'));
    r.type = t.value(0);
    r.type_bt = t.value(1);
    r.priorite = p.value(1).toInt();
    r.horodatage = p.value(2).toULongLong();
    if (p.size() > 4)
        r.permission = p.value(3) + QLatin1Char(':') + p.value(4);
    return r;
}

} // namespace

class test_connexion_linux : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void est_connecte_data();
    void est_connecte();
    void connecter_data();
    void connecter();
    void deconnecter_data();
    void deconnecter();
    void aller_retour_data();
    void aller_retour();
    void attente_data();
    void attente();
    void sans_networkmanager_data();
    void sans_networkmanager();
    void networkmanager_muet_data();
    void networkmanager_muet();

private:
    QDBusMessage appeler(const QString& chemin, const QString& iface, const QString& methode,
                         const QList<QVariant>& args = {});
    QVariant propriete(const QString& chemin, const QString& iface, const QString& nom);
    QString ajouter_profil(const profil_essai& p);
    QString ajouter_peripherique();
    QString activer(const QString& profil, const QString& peripherique = QStringLiteral("/"));
    QStringList profils_actifs(); // profile paths of the active connections
    bool nm_present();
    void demarrer_mock();
    void arreter_mock();

    QTemporaryDir dossier_;
    QProcess bus_;
    QProcess mock_;
    QString adresse_;
    QByteArray adresse_origine_;
    bool pret_ = false;
};

void test_connexion_linux::initTestCase() {
    qDBusRegisterMetaType<reglages_nm>();
    adresse_origine_ = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty() || !QFileInfo(python_debian).isExecutable())
        QSKIP("dbus-daemon or Debian's python3 is missing");
    if (QProcess::execute(python_debian, {QStringLiteral("-c"), QStringLiteral("import dbusmock")}) != 0)
        QSKIP("python3-dbusmock is missing");
    QVERIFY(dossier_.isValid());
    bus_.start(daemon,
               {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                QStringLiteral("--address=unix:path=") + dossier_.path() + QStringLiteral("/bus"),
                QStringLiteral("--print-address=1")});
    QVERIFY(bus_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(bus_.canReadLine(), 10000);
    adresse_ = QString::fromUtf8(bus_.readLine()).trimmed();
    QVERIFY(!adresse_.isEmpty());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", adresse_.toUtf8());
    pret_ = true;
}

void test_connexion_linux::init() {
    if (!pret_)
        QSKIP("no private bus");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", adresse_.toUtf8());
    if (QByteArray(QTest::currentTestFunction()) != "sans_networkmanager" &&
        QByteArray(QTest::currentTestFunction()) != "est_connecte" &&
        QByteArray(QTest::currentTestFunction()) != "networkmanager_muet")
        demarrer_mock();
}

void test_connexion_linux::cleanup() {
    arreter_mock();
}

void test_connexion_linux::cleanupTestCase() {
    arreter_mock();
    QDBusConnection::disconnectFromBus(QStringLiteral("essai"));
    if (bus_.state() != QProcess::NotRunning) {
        bus_.terminate();
        if (!bus_.waitForFinished(3000))
            bus_.kill();
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", adresse_origine_);
}

void test_connexion_linux::demarrer_mock() {
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start(python_debian, {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                                QStringLiteral("--template"), QStringLiteral("networkmanager")});
    QVERIFY(mock_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(nm_present(), 15000);
}

void test_connexion_linux::arreter_mock() {
    if (mock_.state() == QProcess::NotRunning)
        return;
    mock_.terminate();
    if (!mock_.waitForFinished(5000))
        mock_.kill();
    mock_.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(!nm_present(), 5000);
}

bool test_connexion_linux::nm_present() {
    auto c = QDBusConnection::connectToBus(adresse_, QStringLiteral("essai"));
    return c.isConnected() && c.interface()->isServiceRegistered(service_nm).value();
}

QDBusMessage test_connexion_linux::appeler(const QString& chemin, const QString& iface,
                                           const QString& methode, const QList<QVariant>& args) {
    auto m = QDBusMessage::createMethodCall(service_nm, chemin, iface, methode);
    m.setArguments(args);
    return QDBusConnection::connectToBus(adresse_, QStringLiteral("essai")).call(m, QDBus::Block, 10000);
}

QVariant test_connexion_linux::propriete(const QString& chemin, const QString& iface, const QString& nom) {
    const auto r = appeler(chemin, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                           {iface, nom});
    return r.arguments().isEmpty() ? QVariant() : r.arguments().first().value<QDBusVariant>().variant();
}

QString test_connexion_linux::ajouter_profil(const profil_essai& p) {
    reglages_nm r;
    QVariantMap c;
    c[QStringLiteral("id")] = p.descripteur;
    c[QStringLiteral("type")] = p.type;
    c[QStringLiteral("autoconnect-priority")] = p.priorite;
    c[QStringLiteral("timestamp")] = p.horodatage;
    if (!p.permission.isEmpty())
        c[QStringLiteral("permissions")] = QStringList{p.permission};
    r[QStringLiteral("connection")] = c;
    if (!p.type_bt.isEmpty())
        r[QStringLiteral("bluetooth")] = QVariantMap{{QStringLiteral("type"), p.type_bt}};
    const auto m = appeler(QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
                           QStringLiteral("org.freedesktop.NetworkManager.Settings"),
                           QStringLiteral("AddConnection"), {QVariant::fromValue(r)});
    if (m.type() != QDBusMessage::ReplyMessage)
        return {};
    return m.arguments().first().value<QDBusObjectPath>().path();
}

QString test_connexion_linux::ajouter_peripherique() {
    const auto m = appeler(chemin_mock, iface_mock, QStringLiteral("AddEthernetDevice"),
                           {QStringLiteral("eth0"), QStringLiteral("eth0"), 100});
    return m.arguments().value(0).toString();
}

QString test_connexion_linux::activer(const QString& profil, const QString& peripherique) {
    const QDBusObjectPath racine(QStringLiteral("/"));
    const auto m = appeler(chemin_nm, service_nm, QStringLiteral("ActivateConnection"),
                           {QVariant::fromValue(QDBusObjectPath(profil)),
                            QVariant::fromValue(QDBusObjectPath(peripherique)), QVariant::fromValue(racine)});
    return m.arguments().value(0).value<QDBusObjectPath>().path();
}

QStringList test_connexion_linux::profils_actifs() {
    const QVariant v = propriete(chemin_nm, service_nm, QStringLiteral("ActiveConnections"));
    QStringList r;
    for (const QDBusObjectPath& a : qdbus_cast<QList<QDBusObjectPath>>(v.value<QDBusArgument>()))
        r << propriete(a.path(), iface_actif, QStringLiteral("Connection")).value<QDBusObjectPath>().path();
    r.sort();
    return r;
}

// The override of the test address: nothing here ever reaches the real one.
void test_connexion_linux::est_connecte_data() {
    QTest::addColumn<QString>("adresse");
    QTest::addColumn<bool>("en_ligne");
    QTest::newRow("boucle locale") << QStringLiteral("127.0.0.1") << true;
    // A failed look-up gives 0.0.0.0, which Linux would take for this machine.
    QTest::newRow("adresse nulle") << QStringLiteral("0.0.0.0") << false;
    QTest::newRow("vide") << QString() << false;
}

void test_connexion_linux::est_connecte() {
    QFETCH(QString, adresse);
    QFETCH(bool, en_ligne);
    const QByteArray avant = qgetenv("ZAPO_TV_ADRESSE_TEST");
    qputenv("ZAPO_TV_ADRESSE_TEST", adresse.toUtf8());
    plateforme::connexion_linux c;
    const bool r = c.est_connecte();
    qputenv("ZAPO_TV_ADRESSE_TEST", avant);
    QCOMPARE(r, en_ligne);
}

// Which profile is dialled: dial-up kinds only, highest priority, then the
// most recently used; none when there is none.
void test_connexion_linux::connecter_data() {
    QTest::addColumn<QStringList>("profils");
    QTest::addColumn<int>("choisi");
    QTest::newRow("pppoe") << QStringList{"pppoe:0:100"} << 0;
    QTest::newRow("gsm") << QStringList{"gsm:0:100"} << 0;
    QTest::newRow("la priorité d'abord") << QStringList{"pppoe:0:900", "gsm:5:100"} << 1;
    QTest::newRow("puis le plus récent") << QStringList{"gsm:0:100", "cdma:0:300", "adsl:0:200"} << 1;
    QTest::newRow("priorité négative") << QStringList{"pppoe:-1:900", "adsl:0:0"} << 1;
    QTest::newRow("réseaux locaux ignorés")
        << QStringList{"802-3-ethernet:10:900", "802-11-wireless:10:900", "vpn:10:900", "pppoe:0:1"} << 3;
    QTest::newRow("bluetooth dun seulement") << QStringList{"bluetooth/panu:9:900", "bluetooth/dun:1:1"} << 1;
    QTest::newRow("profil d'un autre utilisateur")
        << QStringList{"pppoe:9:900:user:personne-d-autre", "gsm:0:1"} << 1;
    QTest::newRow("aucun profil de numérotation") << QStringList{"802-3-ethernet:0:1", "vpn:0:1"} << -1;
    QTest::newRow("aucun profil") << QStringList{} << -1;
}

void test_connexion_linux::connecter() {
    QFETCH(QStringList, profils);
    QFETCH(int, choisi);
    QStringList chemins;
    for (const QString& d : profils) {
        chemins << ajouter_profil(lire_profil(d));
        QVERIFY(!chemins.last().isEmpty());
    }
    plateforme::connexion_linux c(5000);
    c.connecter();
    QCOMPARE(profils_actifs(), choisi < 0 ? QStringList{} : QStringList{chemins.at(choisi)});
}

// Only dial-up connections are dropped.
void test_connexion_linux::deconnecter_data() {
    QTest::addColumn<QStringList>("actifs");
    QTest::addColumn<QStringList>("restants");
    QTest::newRow("pppoe et gsm tombent, ethernet reste")
        << QStringList{"pppoe:0:1", "802-3-ethernet:0:1", "gsm:0:1"} << QStringList{"802-3-ethernet:0:1"};
    QTest::newRow("cdma et adsl tombent") << QStringList{"cdma:0:1", "adsl:0:1"} << QStringList{};
    QTest::newRow("wifi et vpn restent") << QStringList{"802-11-wireless:0:1", "vpn:0:1", "cdma:0:1"}
                                         << QStringList{"802-11-wireless:0:1", "vpn:0:1"};
    QTest::newRow("bluetooth: dun tombe, panu reste")
        << QStringList{"bluetooth/dun:0:1", "bluetooth/panu:0:1"} << QStringList{"bluetooth/panu:0:1"};
    QTest::newRow("rien à raccrocher")
        << QStringList{"802-3-ethernet:0:1"} << QStringList{"802-3-ethernet:0:1"};
    QTest::newRow("rien d'actif") << QStringList{} << QStringList{};
}

void test_connexion_linux::deconnecter() {
    QFETCH(QStringList, actifs);
    QFETCH(QStringList, restants);
    // The mock drops nothing until a device exists.
    const QString eth = ajouter_peripherique();
    QVERIFY(!eth.isEmpty());
    QMap<QString, QString> descripteur_de;
    for (const QString& d : actifs) {
        const profil_essai p = lire_profil(d);
        const QString chemin = ajouter_profil(p);
        descripteur_de[chemin] = d;
        QVERIFY(!activer(chemin, p.type == QLatin1String("802-3-ethernet") ? eth : QStringLiteral("/"))
                     .isEmpty());
    }
    QCOMPARE(profils_actifs().size(), actifs.size());

    plateforme::connexion_linux c;
    c.deconnecter();
    QStringList reste;
    for (const QString& chemin : profils_actifs())
        reste << descripteur_de.value(chemin);
    reste.sort();
    restants.sort();
    QCOMPARE(reste, restants);
}

// Brought up, then dropped, beside an Ethernet connection that stays.
void test_connexion_linux::aller_retour_data() {
    QTest::addColumn<QString>("numerotation");
    QTest::newRow("pppoe") << QStringLiteral("pppoe:0:1");
    QTest::newRow("gsm") << QStringLiteral("gsm:0:1");
}

void test_connexion_linux::aller_retour() {
    QFETCH(QString, numerotation);
    const QString eth = ajouter_peripherique();
    const QString filaire = ajouter_profil(lire_profil(QStringLiteral("802-3-ethernet:50:999")));
    QVERIFY(!activer(filaire, eth).isEmpty());
    const QString ligne = ajouter_profil(lire_profil(numerotation));

    plateforme::connexion_linux c(5000);
    c.connecter();
    QStringList attendus{filaire, ligne};
    attendus.sort();
    QCOMPARE(profils_actifs(), attendus);
    c.deconnecter();
    QCOMPARE(profils_actifs(), QStringList{filaire});
}

// An activation already under way is followed, not restarted, while the
// window's events keep running; the wait ends when it comes up, when it
// fails, or at the time limit.
void test_connexion_linux::attente_data() {
    QTest::addColumn<int>("etat_final"); // 0: stays "activating"
    QTest::addColumn<int>("duree_min");
    QTest::addColumn<int>("duree_max");
    QTest::newRow("reste en cours") << 0 << 1400 << 4000;
    QTest::newRow("aboutit") << 2 << 0 << 1200;
    QTest::newRow("échoue") << 4 << 0 << 1200;
}

void test_connexion_linux::attente() {
    QFETCH(int, etat_final);
    QFETCH(int, duree_min);
    QFETCH(int, duree_max);
    const QString p = ajouter_profil(lire_profil(QStringLiteral("pppoe:0:1")));
    const auto m = appeler(chemin_mock, iface_mock, QStringLiteral("AddActiveConnection"),
                           {QStringList{}, p, QStringLiteral("/"), QStringLiteral("attente"), 1u});
    QCOMPARE(m.type(), QDBusMessage::ReplyMessage);
    const QString actif = m.arguments().value(0).toString();

    bool evenement = false;
    QTimer::singleShot(300, this, [&] {
        evenement = true;
        if (etat_final)
            appeler(chemin_mock, iface_mock, QStringLiteral("SetProperty"),
                    {actif, iface_actif, QStringLiteral("State"),
                     QVariant::fromValue(QDBusVariant(QVariant::fromValue(uint(etat_final))))});
    });
    plateforme::connexion_linux c(1500);
    QElapsedTimer t;
    t.start();
    c.connecter();
    QVERIFY2(t.elapsed() >= duree_min && t.elapsed() <= duree_max, qPrintable(QString::number(t.elapsed())));
    QVERIFY(evenement);
    QCOMPARE(profils_actifs(), QStringList{p});
}

// Without NetworkManager, or without a system bus at all, both return at
// once and nothing breaks.
void test_connexion_linux::sans_networkmanager_data() {
    QTest::addColumn<QString>("adresse_bus");
    QTest::newRow("bus sans NetworkManager") << QString();
    QTest::newRow("aucun bus") << QStringLiteral("unix:path=/nonexistent/zapo-tv/bus");
}

void test_connexion_linux::sans_networkmanager() {
    QFETCH(QString, adresse_bus);
    if (!adresse_bus.isEmpty())
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", adresse_bus.toUtf8());
    plateforme::connexion_linux c;
    QElapsedTimer t;
    t.start();
    c.connecter();
    c.deconnecter();
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
}

// NetworkManager owns its name but answers nothing: the step ends after one
// call's wait (not one per profile), events run meanwhile, and "Annuler" ends it at once.
void test_connexion_linux::networkmanager_muet_data() {
    QTest::addColumn<int>("annuler_apres_ms"); // -1: never
    QTest::addColumn<int>("duree_max");
    QTest::newRow("sans réponse") << -1 << 7000;
    QTest::newRow("Annuler pendant l'attente") << 300 << 1500;
}

void test_connexion_linux::networkmanager_muet() {
    QFETCH(int, annuler_apres_ms);
    QFETCH(int, duree_max);
    QProcess muet;
    muet.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Takes the name, then never reads the bus again.
    muet.start(python_debian,
               {QStringLiteral("-c"), QStringLiteral("import dbus, sys, time\n"
                                                     "b = dbus.SystemBus()\n"
                                                     "b.request_name('org.freedesktop.NetworkManager')\n"
                                                     "print('pret', flush=True)\n"
                                                     "time.sleep(120)\n")});
    QVERIFY(muet.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(muet.canReadLine(), 10000);
    QVERIFY(nm_present());

    bool arret = false;
    int tics = 0;
    QTimer battement;
    connect(&battement, &QTimer::timeout, this, [&] { ++tics; });
    battement.start(50);
    if (annuler_apres_ms >= 0)
        QTimer::singleShot(annuler_apres_ms, this, [&] { arret = true; });
    plateforme::connexion_linux c(60000);
    c.definir_arret(&arret);
    QElapsedTimer t;
    t.start();
    c.connecter();
    const qint64 duree = t.elapsed();
    QVERIFY2(duree <= duree_max, qPrintable(QString::number(duree)));
    // The window's events kept running: about one beat every 50 ms.
    QVERIFY2(tics >= int(duree / 50) / 2, qPrintable(QStringLiteral("%1 en %2 ms").arg(tics).arg(duree)));
    muet.kill();
    muet.waitForFinished(3000);
    QTRY_VERIFY_WITH_TIMEOUT(!nm_present(), 5000);
}

QTEST_GUILESS_MAIN(test_connexion_linux)
#include "test_connexion_linux.moc"
