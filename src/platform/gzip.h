#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace zapo::plateforme {

// True when the bytes start with the gzip magic number.
bool est_gzip(QByteArrayView octets);

// Inflates a gzip stream (several members allowed). False when it is damaged
// or would exceed `limite` bytes once inflated.
bool decompresser_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite = 512LL * 1024 * 1024);

} // namespace zapo::plateforme
