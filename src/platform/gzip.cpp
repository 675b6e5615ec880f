#include "platform/gzip.h"

#include <zlib.h>

namespace zapo::plateforme {

bool est_gzip(QByteArrayView octets) {
    return octets.size() >= 2 && quint8(octets[0]) == 0x1f && quint8(octets[1]) == 0x8b;
}

bool decompresser_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite) {
    return inflater_gzip(octets, sortie, limite) == issue_gzip::ok;
}

issue_gzip inflater_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite) {
    sortie.clear();
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return issue_gzip::endommage;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(octets.data()));
    z.avail_in = uInt(octets.size());
    char tampon[64 * 1024];
    // Room for the whole cap at once: pages never touched cost nothing, and no
    // reallocation ever holds two copies.
    sortie.reserve(limite);
    issue_gzip issue = issue_gzip::ok;
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(tampon);
        z.avail_out = sizeof tampon;
        const int rc = inflate(&z, Z_NO_FLUSH);
        const qsizetype n = qsizetype(sizeof tampon - z.avail_out);
        if (sortie.size() + n > limite) {
            issue = issue_gzip::trop_gros;
            break;
        }
        sortie.append(tampon, n);
        if (rc == Z_STREAM_END) {
            // Another member may follow.
            if (z.avail_in == 0)
                break;
            if (inflateReset(&z) != Z_OK) {
                issue = issue_gzip::endommage;
                break;
            }
            continue;
        }
        if (rc != Z_OK) {
            issue = issue_gzip::endommage; // damaged or cut short
            break;
        }
        if (z.avail_in == 0 && z.avail_out != 0) {
            issue = issue_gzip::endommage; // input ended before the stream did
            break;
        }
    }
    inflateEnd(&z);
    if (issue != issue_gzip::ok)
        sortie = QByteArray(); // its memory goes too
    return issue;
}

} // namespace zapo::plateforme
