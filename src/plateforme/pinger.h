#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace zapo::plateforme {

// How the echo request leaves the machine. `automatique` takes the first that
// this process may use: ICMP datagram socket (allowed by
// net.ipv4.ping_group_range), raw socket (root or CAP_NET_RAW), then the
// system's ping command.
enum class methode_ping { automatique, datagramme, brut, commande };

// Results of envoyer_echo besides a time.
inline constexpr int delai_depasse = -1;
inline constexpr int injoignable = -2;

inline constexpr int delai_ping_ms = 2000;
inline constexpr int ttl_ping = 128;
inline const QByteArray donnees_ping = QByteArrayLiteral("PINGECHOICMPTEST");

// One echo to `hote` (dotted IPv4 address or name): the round-trip time in
// milliseconds as decimal text, at least "1" for any answer, or "0" when no
// usable answer came.
QString ping(const QString& hote, methode_ping m = methode_ping::automatique);

// IPv4 address in network byte order; 0 when the name cannot be resolved.
// A dotted address whose last number is 128 or more goes through the name
// look-up, which hands it back unchanged.
std::uint32_t resoudre_hote(const QString& hote);

// What inet_addr answers for the text (INADDR_NONE when it is no address).
std::uint32_t adresse_numerique(const QString& hote);

// First IPv4 address of the host, 0 when it cannot be resolved.
std::uint32_t resoudre_nom(const QString& hote);

// One echo request: the round-trip time in ms (at least 1 for a reply or a
// time-to-live exceeded in transit), delai_depasse, injoignable, or 0 for
// anything else (including a method this process cannot use). Never keeps the
// caller's events waiting: they are dispatched while the answer is awaited.
int envoyer_echo(std::uint32_t adresse, int delai_ms, int ttl, const QByteArray& donnees,
                 methode_ping m = methode_ping::automatique);

// Whether this process can send an echo that way right now.
bool methode_disponible(methode_ping m);

} // namespace zapo::plateforme
