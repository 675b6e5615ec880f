// The echo probe. The whole test runs in a network namespace of its own that
// holds only the loopback, so that no request, and no name query, can leave
// the machine; the cases that need that namespace are skipped without it.
#include "plateforme/pinger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <arpa/inet.h>
#include <cstring>
#include <net/if.h>
#include <netdb.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zapo;
using plateforme::methode_ping;

Q_DECLARE_METATYPE(plateforme::methode_ping)

namespace {

bool espace_prive = false;

// A minimal root has no /etc/hosts and so no name for 127.0.0.1: the rows that
// look "localhost" up mean nothing there.
bool localhost_nomme() {
    addrinfo indices{};
    indices.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (::getaddrinfo("localhost", nullptr, &indices, &res) != 0 || !res)
        return false;
    const bool boucle =
        reinterpret_cast<const sockaddr_in*>(res->ai_addr)->sin_addr.s_addr == htonl(INADDR_LOOPBACK);
    ::freeaddrinfo(res);
    return boucle;
}

bool activer_boucle_locale() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
    ifr.ifr_flags |= IFF_UP;
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
    ::close(fd);
    return ok;
}

bool entrer_espace_reseau() {
    return ::unshare(CLONE_NEWNET) == 0 && activer_boucle_locale();
}

// A namespace-wide setting, put back when the case ends.
class reglage_reseau {
public:
    reglage_reseau(const QString& nom, const QByteArray& valeur)
        : chemin_(QStringLiteral("/proc/sys/net/ipv4/") + nom) {
        QFile f(chemin_);
        if (f.open(QIODevice::ReadOnly))
            ancien_ = f.readAll().trimmed();
        ok_ = ecrire(valeur);
    }
    ~reglage_reseau() {
        if (!ancien_.isEmpty())
            ecrire(ancien_);
    }
    bool ok() const { return ok_; }

private:
    bool ecrire(const QByteArray& v) {
        QFile f(chemin_);
        return f.open(QIODevice::WriteOnly) && f.write(v + '\n') > 0;
    }
    QString chemin_;
    QByteArray ancien_;
    bool ok_ = false;
};

std::uint32_t ip(const char* texte) {
    return ::inet_addr(texte);
}

QString nom_methode(methode_ping m) {
    switch (m) {
    case methode_ping::automatique:
        return QStringLiteral("automatique");
    case methode_ping::datagramme:
        return QStringLiteral("datagramme");
    case methode_ping::brut:
        return QStringLiteral("brut");
    case methode_ping::commande:
        return QStringLiteral("commande");
    }
    return {};
}

methode_ping methode_nommee(const QString& n) {
    for (methode_ping m : {methode_ping::datagramme, methode_ping::brut, methode_ping::commande})
        if (nom_methode(m) == n)
            return m;
    return methode_ping::automatique;
}

// Opens what a case needs to force one method, or skips it.
#define PREPARER_METHODE(m, plage)                                                                           \
    do {                                                                                                     \
        if ((m) == methode_ping::datagramme && !espace_prive)                                                \
            QSKIP("no private network namespace to widen ping_group_range in");                              \
        if ((m) == methode_ping::datagramme)                                                                 \
            QVERIFY((plage).ok());                                                                           \
        if (!plateforme::methode_disponible(m))                                                              \
            QSKIP("this way of sending an echo is not available here");                                      \
    } while (0)

} // namespace

class test_pinger : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reponse_data();
    void reponse();
    void sans_reponse_data();
    void sans_reponse();
    void resolution_data();
    void resolution();
    void utilisateur_ordinaire_data();
    void utilisateur_ordinaire();
    void via_routeur_data();
    void via_routeur();
    void cleanupTestCase();

private:
    bool preparer_routeur();
    QProcess routeur_;
    bool routeur_pret_ = false;
    bool routeur_essaye_ = false;
};

// Every reply counts, even one far under a millisecond.
void test_pinger::reponse_data() {
    QTest::addColumn<QString>("hote");
    QTest::addColumn<methode_ping>("m");
    for (methode_ping m :
         {methode_ping::automatique, methode_ping::datagramme, methode_ping::brut, methode_ping::commande}) {
        const QByteArray n = nom_methode(m).toLatin1();
        QTest::newRow(n + " 127.0.0.1") << QStringLiteral("127.0.0.1") << m;
        QTest::newRow(n + " 127.0.0.200") << QStringLiteral("127.0.0.200") << m;
    }
    QTest::newRow("localhost") << QStringLiteral("localhost") << methode_ping::automatique;
}

void test_pinger::reponse() {
    QFETCH(QString, hote);
    QFETCH(methode_ping, m);
    reglage_reseau plage(QStringLiteral("ping_group_range"), "0 2147483647");
    PREPARER_METHODE(m, plage);
    if (hote == QLatin1String("localhost") && !espace_prive)
        QSKIP("a name look-up outside a private namespace could reach a name server");
    if (hote == QLatin1String("localhost") && !localhost_nomme())
        QSKIP("this machine gives no address to the name localhost");

    const int r =
        plateforme::envoyer_echo(plateforme::resoudre_hote(hote), 2000, 128, plateforme::donnees_ping, m);
    QVERIFY2(r >= 1, qPrintable(QString::number(r)));
    bool nombre = false;
    const int t = plateforme::ping(hote, m).toInt(&nombre);
    QVERIFY(nombre);
    QVERIFY(t >= 1);
    QVERIFY(t < 2000);
}

// Whatever the reason, no usable answer is "0", and never later than the
// time-out (with a little room for starting the command).
void test_pinger::sans_reponse_data() {
    QTest::addColumn<QString>("hote");
    QTest::addColumn<methode_ping>("m");
    QTest::addColumn<bool>("muet");
    QTest::addColumn<int>("attendu");
    QTest::addColumn<int>("duree_min");
    for (methode_ping m : {methode_ping::datagramme, methode_ping::brut, methode_ping::commande}) {
        const QByteArray n = nom_methode(m).toLatin1();
        QTest::newRow(n + " aucune route")
            << QStringLiteral("10.20.30.40") << m << false << plateforme::injoignable << 0;
        QTest::newRow(n + " hôte muet")
            << QStringLiteral("127.0.0.1") << m << true << plateforme::delai_depasse << 1900;
        QTest::newRow(n + " nom inconnu")
            << QStringLiteral("nom-inconnu.invalid") << m << false << plateforme::injoignable << 0;
        QTest::newRow(n + " adresse invalide")
            << QStringLiteral("256.1.1.1") << m << false << plateforme::injoignable << 0;
    }
}

void test_pinger::sans_reponse() {
    QFETCH(QString, hote);
    QFETCH(methode_ping, m);
    QFETCH(bool, muet);
    QFETCH(int, attendu);
    QFETCH(int, duree_min);
    if (!espace_prive)
        QSKIP("needs a private network namespace with only the loopback");
    reglage_reseau plage(QStringLiteral("ping_group_range"), "0 2147483647");
    PREPARER_METHODE(m, plage);
    std::optional<reglage_reseau> silence;
    if (muet) {
        silence.emplace(QStringLiteral("icmp_echo_ignore_all"), "1");
        QVERIFY(silence->ok());
    }

    QElapsedTimer t;
    t.start();
    QCOMPARE(
        plateforme::envoyer_echo(plateforme::resoudre_hote(hote), 2000, 128, plateforme::donnees_ping, m),
        attendu);
    QVERIFY2(t.elapsed() >= duree_min, qPrintable(QString::number(t.elapsed())));
    QVERIFY2(t.elapsed() < 2700, qPrintable(QString::number(t.elapsed())));

    if (!muet) { // the silent case already took its two seconds
        t.restart();
        QCOMPARE(plateforme::ping(hote, m), QStringLiteral("0"));
        QVERIFY(t.elapsed() < 2700);
    }
}

void test_pinger::resolution_data() {
    QTest::addColumn<QString>("hote");
    QTest::addColumn<quint32>("numerique");
    QTest::addColumn<quint32>("resolue");
    QTest::addColumn<bool>("par_nom"); // goes through a name look-up
    const quint32 aucune = INADDR_NONE;
    QTest::newRow("pointée basse") << QStringLiteral("192.168.1.1") << ip("192.168.1.1") << ip("192.168.1.1")
                                   << false;
    QTest::newRow("dernier nombre 128")
        << QStringLiteral("192.168.1.128") << ip("192.168.1.128") << ip("192.168.1.128") << true;
    QTest::newRow("dernier nombre 254")
        << QStringLiteral("10.0.0.254") << ip("10.0.0.254") << ip("10.0.0.254") << true;
    QTest::newRow("dernier nombre 255")
        << QStringLiteral("172.16.5.255") << ip("172.16.5.255") << ip("172.16.5.255") << true;
    QTest::newRow("premier nombre haut")
        << QStringLiteral("200.1.2.3") << ip("200.1.2.3") << ip("200.1.2.3") << false;
    QTest::newRow("localhost") << QStringLiteral("localhost") << aucune << ip("127.0.0.1") << true;
    QTest::newRow("nom .invalid") << QStringLiteral("nom-inconnu.invalid") << aucune << quint32(0) << true;
    QTest::newRow("nombre trop grand") << QStringLiteral("256.1.1.1") << aucune << quint32(0) << true;
    QTest::newRow("vide") << QString() << aucune << quint32(0) << true;
    QTest::newRow("blancs") << QStringLiteral("   ") << aucune << quint32(0) << true;
    QTest::newRow("caractère nul") << QString::fromUtf8("127.0.0.1\0x", 11) << aucune << quint32(0) << true;
}

void test_pinger::resolution() {
    QFETCH(QString, hote);
    QFETCH(quint32, numerique);
    QFETCH(quint32, resolue);
    QFETCH(bool, par_nom);
    QCOMPARE(plateforme::adresse_numerique(hote), numerique);
    if (par_nom && !espace_prive && numerique == INADDR_NONE)
        QSKIP("a name look-up outside a private namespace could reach a name server");
    if (hote == QLatin1String("localhost") && !localhost_nomme())
        QSKIP("this machine gives no address to the name localhost");
    QCOMPARE(plateforme::resoudre_hote(hote), resolue);
    if (numerique != INADDR_NONE)
        QCOMPARE(plateforme::resoudre_nom(hote), resolue);
}

// As a user without rights: the datagram socket when the group range admits
// it, else the system's ping; forcing a raw socket gives "0" and no harm.
void test_pinger::utilisateur_ordinaire_data() {
    QTest::addColumn<QByteArray>("plage");
    QTest::addColumn<QString>("m");
    QTest::addColumn<bool>("repond");
    QTest::addColumn<QString>("par");
    QTest::newRow("plage fermée") << QByteArray("1 0") << QStringLiteral("automatique") << true
                                  << QStringLiteral("commande");
    QTest::newRow("plage ouverte") << QByteArray("0 2147483647") << QStringLiteral("automatique") << true
                                   << QStringLiteral("datagramme");
    QTest::newRow("socket brute refusée")
        << QByteArray("1 0") << QStringLiteral("brut") << false << QString();
}

void test_pinger::utilisateur_ordinaire() {
    QFETCH(QByteArray, plage);
    QFETCH(QString, m);
    QFETCH(bool, repond);
    QFETCH(QString, par);
    if (!espace_prive || ::geteuid() != 0)
        QSKIP("needs root in a private network namespace");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("setpriv is missing");
    reglage_reseau r(QStringLiteral("ping_group_range"), plage);
    QVERIFY(r.ok());

    QProcess p;
    p.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                      QStringLiteral("--clear-groups"), QStringLiteral("--inh-caps=-all"),
                      QCoreApplication::applicationFilePath(), QStringLiteral("--sonde"),
                      QStringLiteral("127.0.0.1"), m});
    QVERIFY(p.waitForFinished(10000));
    const QStringList sortie = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char(' '));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(sortie.size(), 2);
    const int t = sortie.at(0).toInt();
    QCOMPARE(t >= 1, repond);
    if (repond)
        QCOMPARE(sortie.at(1).trimmed(), par);
    else
        QCOMPARE(sortie.at(0), QStringLiteral("0"));
}

// A router of our own (another namespace behind a veth pair) answers with the
// two errors that the echo reads: time-to-live exceeded and unreachable.
bool test_pinger::preparer_routeur() {
    if (routeur_essaye_)
        return routeur_pret_;
    routeur_essaye_ = true;
    const QString ip_ =
        QStandardPaths::findExecutable(QStringLiteral("ip"), {"/usr/sbin", "/sbin", "/usr/bin"});
    const QString nsenter = QStandardPaths::findExecutable(QStringLiteral("nsenter"));
    const QString unshare_ = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (ip_.isEmpty() || nsenter.isEmpty() || unshare_.isEmpty())
        return false;
    routeur_.start(unshare_, {QStringLiteral("--net"), QStringLiteral("sleep"), QStringLiteral("600")});
    if (!routeur_.waitForStarted())
        return false;
    const QString pid = QString::number(routeur_.processId());
    // unshare has made its namespace once the process's differs from ours.
    const auto espace = [](const QString& qui) {
        return QFileInfo(QStringLiteral("/proc/%1/ns/net").arg(qui)).symLinkTarget();
    };
    if (!QTest::qWaitFor([&] {
            const QString la_bas = espace(pid);
            return !la_bas.isEmpty() && la_bas != espace(QStringLiteral("self"));
        }))
        return false;
    const QString ns = QStringLiteral("--net=/proc/%1/ns/net").arg(pid);
    auto ici = [&](const QString& args) { return QProcess::execute(ip_, args.split(QLatin1Char(' '))) == 0; };
    auto la = [&](const QString& args) {
        return QProcess::execute(nsenter, QStringList{ns, ip_} + args.split(QLatin1Char(' '))) == 0;
    };
    auto sysctl_la = [&](const QString& nom, const QString& v) {
        return QProcess::execute(nsenter, {ns, QStringLiteral("sh"), QStringLiteral("-c"),
                                           QStringLiteral("echo %1 > /proc/sys/net/ipv4/%2").arg(v, nom)}) ==
               0;
    };
    routeur_pret_ =
        ici(QStringLiteral("link add zr0 type veth peer name zr1")) &&
        ici(QStringLiteral("link set zr1 netns ") + pid) &&
        ici(QStringLiteral("addr add 10.77.0.1/24 dev zr0")) && ici(QStringLiteral("link set zr0 up")) &&
        ici(QStringLiteral("route add 10.78.0.0/16 via 10.77.0.2")) &&
        la(QStringLiteral("addr add 10.77.0.2/24 dev zr1")) && la(QStringLiteral("link set zr1 up")) &&
        la(QStringLiteral(
            "link set lo up")) && // Sent back towards us: with a time-to-live of 1 the router answers first.
        la(QStringLiteral("route add 10.78.1.0/24 via 10.77.0.1")) &&
        la(QStringLiteral("route add unreachable 10.78.2.0/24")) &&
        sysctl_la(QStringLiteral("ip_forward"), QStringLiteral("1")) &&
        sysctl_la(QStringLiteral("icmp_ratemask"), QStringLiteral("0"));
    return routeur_pret_;
}

void test_pinger::via_routeur_data() {
    QTest::addColumn<methode_ping>("m");
    QTest::addColumn<QString>("hote");
    QTest::addColumn<int>("ttl");
    QTest::addColumn<int>("attendu"); // 1 stands for "a time"
    for (methode_ping m : {methode_ping::datagramme, methode_ping::brut, methode_ping::commande}) {
        const QByteArray n = nom_methode(m).toLatin1();
        QTest::newRow(n + " routeur répond") << m << QStringLiteral("10.77.0.2") << 128 << 1;
        QTest::newRow(n + " durée de vie dépassée") << m << QStringLiteral("10.78.1.1") << 1 << 1;
        QTest::newRow(n + " hôte injoignable")
            << m << QStringLiteral("10.78.2.1") << 128 << plateforme::injoignable;
    }
}

void test_pinger::via_routeur() {
    QFETCH(methode_ping, m);
    QFETCH(QString, hote);
    QFETCH(int, ttl);
    QFETCH(int, attendu);
    if (!espace_prive || ::geteuid() != 0)
        QSKIP("needs root in a private network namespace");
    reglage_reseau plage(QStringLiteral("ping_group_range"), "0 2147483647");
    PREPARER_METHODE(m, plage);
    if (!preparer_routeur())
        QSKIP("could not set up a router namespace");
    QElapsedTimer t;
    t.start();
    const int r =
        plateforme::envoyer_echo(plateforme::resoudre_hote(hote), 2000, ttl, plateforme::donnees_ping, m);
    if (attendu == 1)
        QVERIFY2(r >= 1, qPrintable(QString::number(r)));
    else
        QCOMPARE(r, attendu);
    QVERIFY(t.elapsed() < 2700);
}

void test_pinger::cleanupTestCase() {
    if (routeur_.state() != QProcess::NotRunning) {
        routeur_.kill();
        routeur_.waitForFinished();
    }
}

int main(int argc, char** argv) {
    // "--sonde HOST METHOD": one echo, for the cases run as another user.
    // Prints the ping text and the method that was used.
    if (argc == 4 && std::strcmp(argv[1], "--sonde") == 0) {
        QCoreApplication app(argc, argv);
        const methode_ping m = methode_nommee(QString::fromLatin1(argv[3]));
        QString par = nom_methode(m);
        if (m == methode_ping::automatique)
            for (methode_ping essai : {methode_ping::datagramme, methode_ping::brut, methode_ping::commande})
                if (plateforme::methode_disponible(essai)) {
                    par = nom_methode(essai);
                    break;
                }
        std::printf("%s %s\n", qPrintable(plateforme::ping(QString::fromLatin1(argv[2]), m)),
                    qPrintable(par));
        return 0;
    }
    // Before any thread exists, so that the whole process moves.
    espace_prive = entrer_espace_reseau();
    QCoreApplication app(argc, argv);
    test_pinger t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_pinger.moc"
