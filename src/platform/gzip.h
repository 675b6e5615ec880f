#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace zapo::plateforme {

// True when the bytes start with the gzip magic number.
bool est_gzip(QByteArrayView octets);

enum class issue_gzip { ok, endommage, trop_gros };

// Inflates a gzip stream (several members allowed), piece by piece, stopping as
// soon as the output would pass `limite` bytes.
issue_gzip inflater_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite);

// The same, false on any failure.
bool decompresser_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite = 64LL * 1024 * 1024);

} // namespace zapo::plateforme
