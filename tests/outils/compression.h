#pragma once

#include <QByteArray>

#include <zlib.h>

namespace zapo::essais {

// Bytes as a gzip file holds them.
inline QByteArray compresser_gzip(const QByteArray& brut) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray sortie(qsizetype(deflateBound(&z, uLong(brut.size()))), 0);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(brut.data()));
    z.avail_in = uInt(brut.size());
    z.next_out = reinterpret_cast<Bytef*>(sortie.data());
    z.avail_out = uInt(sortie.size());
    deflate(&z, Z_FINISH);
    sortie.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return sortie;
}

} // namespace zapo::essais
