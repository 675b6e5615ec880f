#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

class QIODevice;

namespace zapo::plateforme {

// True when the bytes start with the gzip magic number.
bool est_gzip(QByteArrayView octets);

// `ecriture`: the output device refused bytes (a full disk).
enum class issue_gzip { ok, endommage, trop_gros, ecriture };

// Inflates a gzip stream (several members allowed), piece by piece, stopping as
// soon as the output would pass `limite` bytes.
issue_gzip inflater_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite);

// The same, false on any failure.
bool decompresser_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite = 64LL * 1024 * 1024);

// The same for a stream that comes in pieces: each piece's output goes to a
// device as it is inflated, so that neither copy is held whole.
class inflateur_gzip {
public:
    explicit inflateur_gzip(qsizetype limite);
    ~inflateur_gzip();
    inflateur_gzip(const inflateur_gzip&) = delete;
    inflateur_gzip& operator=(const inflateur_gzip&) = delete;

    // False once the stream is damaged, passes the limit or cannot be written.
    bool ajouter(QByteArrayView morceau, QIODevice& sortie);
    // ok only when the input ended exactly at the end of a member.
    issue_gzip terminer();

private:
    struct etat;
    std::unique_ptr<etat> e_;
};

// Inflates a whole device into another, within `limite` bytes of output.
issue_gzip inflater_gzip(QIODevice& entree, QIODevice& sortie, qsizetype limite);

} // namespace zapo::plateforme
