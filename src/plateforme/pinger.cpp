#include "plateforme/pinger.h"

#include "plateforme/journal_plateforme.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <algorithm>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zapo::plateforme {

namespace {

// Lets the window's events run while an answer is awaited, in short slices.
constexpr int tranche_ms = 20;

bool sur_fil_principal() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void laisser_passer_evenements() {
    if (sur_fil_principal())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Whole milliseconds, never 0 for an answer: on a fast network the reply comes
// well under a millisecond and must still read as on line.
int en_millisecondes(qint64 ns) {
    const qint64 ms = (ns + 500000) / 1000000;
    return int(std::clamp<qint64>(ms, 1, 1 << 30));
}

// Result for an ICMP "destination unreachable" code, as the echo results go:
// net or host unreachable (and administratively refused) are "unreachable";
// protocol, port, fragmentation and source-route failures are "anything else".
int resultat_injoignable(int code) {
    switch (code) {
    case ICMP_PROT_UNREACH:
    case ICMP_PORT_UNREACH:
    case ICMP_FRAG_NEEDED:
    case ICMP_SR_FAILED:
        return 0;
    default:
        return injoignable;
    }
}

int resultat_erreur_envoi(int err) {
    switch (err) {
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EADDRNOTAVAIL:
        return injoignable;
    default:
        return 0;
    }
}

class descripteur {
public:
    explicit descripteur(int fd) : fd_(fd) {}
    ~descripteur() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    descripteur(const descripteur&) = delete;
    descripteur& operator=(const descripteur&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

quint16 somme_controle(const unsigned char* p, std::size_t n) {
    quint32 s = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2)
        s += quint32(p[i]) << 8 | p[i + 1];
    if (n & 1)
        s += quint32(p[n - 1]) << 8;
    while (s >> 16)
        s = (s & 0xffff) + (s >> 16);
    return quint16(~s);
}

std::uint16_t numero_suivant() {
    static std::uint16_t n = 0;
    return ++n;
}

QByteArray requete_echo(std::uint16_t ident, std::uint16_t seq, const QByteArray& donnees) {
    QByteArray paquet(int(sizeof(icmphdr)), '\0');
    auto* h = reinterpret_cast<icmphdr*>(paquet.data());
    h->type = ICMP_ECHO;
    h->code = 0;
    h->un.echo.id = htons(ident);
    h->un.echo.sequence = htons(seq);
    paquet += donnees;
    const quint16 cs = somme_controle(reinterpret_cast<const unsigned char*>(paquet.constData()),
                                      std::size_t(paquet.size()));
    h = reinterpret_cast<icmphdr*>(paquet.data());
    h->checksum = htons(cs);
    return paquet;
}

// Waits until fd is readable or in error, or the deadline passes; events run
// between slices. Returns poll's revents, 0 on time-out.
short attendre(int fd, const QDeadlineTimer& fin) {
    for (;;) {
        const qint64 reste = fin.remainingTime();
        if (reste <= 0)
            return 0;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(std::min<qint64>(reste, tranche_ms)));
        if (r > 0)
            return p.revents ? p.revents : short(POLLIN);
        if (r < 0 && errno != EINTR)
            return POLLERR;
        laisser_passer_evenements();
    }
}

// Reads an ICMP error queued on a datagram socket (IP_RECVERR) that concerns
// our request. nullopt when it is not ours.
std::optional<int> lire_erreur_datagramme(int fd, std::uint16_t seq, const QElapsedTimer& chrono) {
    unsigned char donnees[576];
    unsigned char controle[512];
    sockaddr_in origine{};
    iovec iov{donnees, sizeof donnees};
    msghdr m{};
    m.msg_name = &origine;
    m.msg_namelen = sizeof origine;
    m.msg_iov = &iov;
    m.msg_iovlen = 1;
    m.msg_control = controle;
    m.msg_controllen = sizeof controle;
    const ssize_t n = ::recvmsg(fd, &m, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (n < 0) {
        // A pending error outside the queue: read it so that poll stops reporting it.
        int err = 0;
        socklen_t l = sizeof err;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &l);
        return err ? std::optional<int>(resultat_erreur_envoi(err)) : std::nullopt;
    }
    // The queued packet is our own request: check its sequence number.
    if (n >= ssize_t(sizeof(icmphdr))) {
        icmphdr h;
        std::memcpy(&h, donnees, sizeof h);
        if (h.type != ICMP_ECHO || ntohs(h.un.echo.sequence) != seq)
            return std::nullopt;
    }
    for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c)) {
        if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR)
            continue;
        sock_extended_err e;
        std::memcpy(&e, CMSG_DATA(c), sizeof e);
        if (e.ee_origin == SO_EE_ORIGIN_ICMP) {
            if (e.ee_type == ICMP_DEST_UNREACH)
                return resultat_injoignable(e.ee_code);
            if (e.ee_type == ICMP_TIME_EXCEEDED)
                return e.ee_code == ICMP_EXC_TTL ? en_millisecondes(chrono.nsecsElapsed()) : 0;
            return 0;
        }
        if (e.ee_origin == SO_EE_ORIGIN_LOCAL)
            return resultat_erreur_envoi(int(e.ee_errno));
    }
    return std::nullopt;
}

// Sends one echo request, timed from just before it goes: `fin` is when the
// wait for its answer ends. The result of a refused send, or nullopt.
std::optional<int> envoyer_echo(int fd, std::uint32_t adresse, const QByteArray& paquet, int delai_ms,
                                QElapsedTimer& chrono, QDeadlineTimer& fin) {
    sockaddr_in dest{};
    dest.sin_family = AF_INET;
    dest.sin_addr.s_addr = adresse;
    chrono.start();
    fin = QDeadlineTimer(delai_ms);
    if (::sendto(fd, paquet.constData(), std::size_t(paquet.size()), 0, reinterpret_cast<sockaddr*>(&dest),
                 sizeof dest) < 0)
        return resultat_erreur_envoi(errno);
    return std::nullopt;
}

int echo_datagramme(int fd, std::uint32_t adresse, int delai_ms, int ttl, const QByteArray& donnees) {
    const int oui = 1;
    ::setsockopt(fd, SOL_IP, IP_RECVERR, &oui, sizeof oui);
    if (::setsockopt(fd, SOL_IP, IP_TTL, &ttl, sizeof ttl) != 0)
        return 0;
    const std::uint16_t seq = numero_suivant();
    // The kernel sets the identifier and the checksum.
    const QByteArray paquet = requete_echo(0, seq, donnees);
    QElapsedTimer chrono;
    QDeadlineTimer fin;
    if (const auto r = envoyer_echo(fd, adresse, paquet, delai_ms, chrono, fin))
        return *r;

    unsigned char tampon[2048];
    for (;;) {
        const short ev = attendre(fd, fin);
        if (ev == 0)
            return delai_depasse;
        if (ev & POLLERR) {
            if (auto r = lire_erreur_datagramme(fd, seq, chrono))
                return *r;
            continue;
        }
        const ssize_t n = ::recv(fd, tampon, sizeof tampon, MSG_DONTWAIT);
        if (n < ssize_t(sizeof(icmphdr)))
            continue;
        icmphdr h;
        std::memcpy(&h, tampon, sizeof h);
        if (h.type != ICMP_ECHOREPLY || ntohs(h.un.echo.sequence) != seq)
            continue;
        if (QByteArray::fromRawData(reinterpret_cast<const char*>(tampon) + sizeof h,
                                    int(n - ssize_t(sizeof h))) != donnees)
            continue;
        return en_millisecondes(chrono.nsecsElapsed());
    }
}

// Whether the ICMP message quoted inside an error (IP header then the first
// bytes of our request) is our request.
bool cite_notre_requete(const unsigned char* p, ssize_t n, std::uint16_t ident, std::uint16_t seq) {
    if (n < ssize_t(sizeof(iphdr)))
        return false;
    const int ihl = (p[0] & 0x0f) * 4;
    if (ihl < 20 || n < ihl + 8 || p[9] != IPPROTO_ICMP)
        return false;
    icmphdr h;
    std::memcpy(&h, p + ihl, sizeof h);
    return h.type == ICMP_ECHO && ntohs(h.un.echo.id) == ident && ntohs(h.un.echo.sequence) == seq;
}

int echo_brut(int fd, std::uint32_t adresse, int delai_ms, int ttl, const QByteArray& donnees) {
    if (::setsockopt(fd, SOL_IP, IP_TTL, &ttl, sizeof ttl) != 0)
        return 0;
    // Only replies and the two errors that concern an echo.
    // (linux/icmp.h's ICMP_FILTER, whose header clashes with netinet's.)
    constexpr int filtre_icmp = 1;
    const std::uint32_t filtre =
        ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_TIME_EXCEEDED));
    ::setsockopt(fd, SOL_RAW, filtre_icmp, &filtre, sizeof filtre);

    const std::uint16_t ident = std::uint16_t(::getpid() & 0xffff);
    const std::uint16_t seq = numero_suivant();
    const QByteArray paquet = requete_echo(ident, seq, donnees);
    QElapsedTimer chrono;
    QDeadlineTimer fin;
    if (const auto r = envoyer_echo(fd, adresse, paquet, delai_ms, chrono, fin))
        return *r;

    unsigned char tampon[4096];
    for (;;) {
        if (attendre(fd, fin) == 0)
            return delai_depasse;
        const ssize_t n = ::recv(fd, tampon, sizeof tampon, MSG_DONTWAIT);
        if (n < ssize_t(sizeof(iphdr)))
            continue;
        // A raw socket sees every ICMP packet with its IP header.
        const int ihl = (tampon[0] & 0x0f) * 4;
        if (ihl < 20 || n < ihl + ssize_t(sizeof(icmphdr)))
            continue;
        const unsigned char* icmp = tampon + ihl;
        const ssize_t reste = n - ihl;
        icmphdr h;
        std::memcpy(&h, icmp, sizeof h);
        if (h.type == ICMP_ECHOREPLY) {
            if (ntohs(h.un.echo.id) != ident || ntohs(h.un.echo.sequence) != seq)
                continue;
            const auto recu = QByteArray::fromRawData(reinterpret_cast<const char*>(icmp) + sizeof h,
                                                      int(reste - ssize_t(sizeof h)));
            if (recu != donnees)
                continue;
            return en_millisecondes(chrono.nsecsElapsed());
        }
        if (h.type != ICMP_DEST_UNREACH && h.type != ICMP_TIME_EXCEEDED)
            continue;
        if (!cite_notre_requete(icmp + sizeof h, reste - ssize_t(sizeof h), ident, seq))
            continue;
        if (h.type == ICMP_DEST_UNREACH)
            return resultat_injoignable(h.code);
        return h.code == ICMP_EXC_TTL ? en_millisecondes(chrono.nsecsElapsed()) : 0;
    }
}

QString programme_ping() {
    QString p = QStandardPaths::findExecutable(QStringLiteral("ping"));
    if (!p.isEmpty())
        return p;
    // PATH may be bare (started from a desktop launcher).
    for (const char* chemin : {"/usr/bin/ping", "/bin/ping", "/usr/sbin/ping", "/sbin/ping"}) {
        const QFileInfo f(QString::fromLatin1(chemin));
        if (f.isFile() && f.isExecutable())
            return f.filePath();
    }
    return {};
}

// Reads the output of the system's ping (C locale) for one request.
int lire_sortie_ping(const QString& sortie, int code_sortie, qint64 ns) {
    static const QRegularExpression temps(QStringLiteral(R"(\btime[=<]([0-9]+(?:\.[0-9]+)?) ?ms\b)"));
    const auto m = temps.match(sortie);
    if (m.hasMatch()) {
        const double ms = m.captured(1).toDouble();
        return std::max(1, int(ms + 0.5));
    }
    if (sortie.contains(QLatin1String("Time to live exceeded")))
        return en_millisecondes(ns);
    if (sortie.contains(QLatin1String("Destination Net Unreachable")) ||
        sortie.contains(QLatin1String("Destination Host Unreachable")) ||
        sortie.contains(QLatin1String("Network is unreachable")) ||
        sortie.contains(QLatin1String("No route to host")) || sortie.contains(QLatin1String("Prohibited")) ||
        sortie.contains(QLatin1String("Packet filtered")))
        return injoignable;
    // Exit status 1: the request went out and nothing came back.
    if (code_sortie == 1 && sortie.contains(QLatin1String(" 0 received")))
        return delai_depasse;
    return 0;
}

std::optional<int> echo_commande(std::uint32_t adresse, int delai_ms, int ttl, const QByteArray& donnees) {
    const QString programme = programme_ping();
    if (programme.isEmpty())
        return std::nullopt;
    in_addr a{};
    a.s_addr = adresse;
    char texte[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, texte, sizeof texte);

    QStringList args{QStringLiteral("-n"),
                     QStringLiteral("-c"),
                     QStringLiteral("1"),
                     QStringLiteral("-W"),
                     QString::number(std::max(1, delai_ms) / 1000.0, 'f', 3),
                     QStringLiteral("-t"),
                     QString::number(ttl),
                     QStringLiteral("-s"),
                     QString::number(donnees.size())};
    if (!donnees.isEmpty())
        args << QStringLiteral("-p") << QString::fromLatin1(donnees.left(16).toHex());
    args << QString::fromLatin1(texte);

    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.remove(QStringLiteral("LANGUAGE"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());

    QElapsedTimer chrono;
    chrono.start();
    p.start(programme, args);
    if (!p.waitForStarted(1000))
        return std::nullopt;
    // The command's own start-up gets a little room past the time-out.
    const QDeadlineTimer fin(delai_ms + 500);
    while (p.state() != QProcess::NotRunning) {
        if (fin.hasExpired()) {
            p.kill();
            p.waitForFinished(1000);
            return delai_depasse;
        }
        p.waitForFinished(int(std::min<qint64>(tranche_ms, std::max<qint64>(1, fin.remainingTime()))));
        laisser_passer_evenements();
    }
    if (p.exitStatus() != QProcess::NormalExit)
        return 0;
    return lire_sortie_ping(QString::fromLocal8Bit(p.readAll()), p.exitCode(), chrono.nsecsElapsed());
}

int ouvrir_socket(methode_ping m) {
    const int type = m == methode_ping::datagramme ? SOCK_DGRAM : SOCK_RAW;
    return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
}

} // namespace

std::uint32_t adresse_numerique(const QString& hote) {
    const QByteArray t = hote.toLocal8Bit();
    if (t.contains('\0'))
        return INADDR_NONE;
    return ::inet_addr(t.constData());
}

std::uint32_t resoudre_nom(const QString& hote) {
    if (hote.trimmed().isEmpty())
        return 0;
    // International names go out in their ASCII form.
    QByteArray nom = QUrl::toAce(hote.trimmed());
    if (nom.isEmpty())
        nom = hote.trimmed().toLocal8Bit();
    if (nom.contains('\0'))
        return 0;
    addrinfo indices{};
    indices.ai_family = AF_INET;
    indices.ai_socktype = SOCK_RAW;
    addrinfo* res = nullptr;
    if (::getaddrinfo(nom.constData(), nullptr, &indices, &res) != 0 || !res)
        return 0;
    std::uint32_t a = 0;
    for (addrinfo* i = res; i; i = i->ai_next) {
        if (i->ai_family == AF_INET && i->ai_addr) {
            sockaddr_in s;
            std::memcpy(&s, i->ai_addr, sizeof s);
            a = s.sin_addr.s_addr;
            break;
        }
    }
    ::freeaddrinfo(res);
    return a;
}

std::uint32_t resoudre_hote(const QString& hote) {
    std::uint32_t a = adresse_numerique(hote);
    // Not an address (all bits set), or last number 128 or more: the name
    // look-up answers for both.
    if ((ntohl(a) & 0xff) >= 128)
        a = resoudre_nom(hote);
    return a;
}

bool methode_disponible(methode_ping m) {
    switch (m) {
    case methode_ping::automatique:
        return methode_disponible(methode_ping::datagramme) || methode_disponible(methode_ping::brut) ||
               methode_disponible(methode_ping::commande);
    case methode_ping::datagramme:
    case methode_ping::brut: {
        descripteur fd(ouvrir_socket(m));
        return fd.get() >= 0;
    }
    case methode_ping::commande:
        return !programme_ping().isEmpty();
    }
    return false;
}

int envoyer_echo(std::uint32_t adresse, int delai_ms, int ttl, const QByteArray& donnees, methode_ping m) {
    // Address 0 is what a failed look-up gives; Linux would take it for this
    // very machine and answer.
    if (adresse == 0)
        return injoignable;
    if (ttl < 1 || ttl > 255 || delai_ms < 0)
        return 0;

    if (m == methode_ping::automatique || m == methode_ping::datagramme) {
        descripteur fd(ouvrir_socket(methode_ping::datagramme));
        if (fd.get() >= 0)
            return echo_datagramme(fd.get(), adresse, delai_ms, ttl, donnees);
        if (m == methode_ping::datagramme)
            return 0;
    }
    if (m == methode_ping::automatique || m == methode_ping::brut) {
        descripteur fd(ouvrir_socket(methode_ping::brut));
        if (fd.get() >= 0)
            return echo_brut(fd.get(), adresse, delai_ms, ttl, donnees);
        if (m == methode_ping::brut)
            return 0;
    }
    if (programme_ping().isEmpty()) {
        qCWarning(zapo_reseau,
                  "Impossible de tester la connexion : ni socket ICMP permise "
                  "(net.ipv4.ping_group_range, CAP_NET_RAW) ni commande ping (paquet iputils-ping).");
        return 0;
    }
    return echo_commande(adresse, delai_ms, ttl, donnees).value_or(0);
}

QString ping(const QString& hote, methode_ping m) {
    const std::uint32_t a = resoudre_hote(hote);
    const int r = envoyer_echo(a, delai_ping_ms, ttl_ping, donnees_ping, m);
    if (r == delai_depasse || r == injoignable)
        return QStringLiteral("0");
    return QString::number(r);
}

} // namespace zapo::plateforme
