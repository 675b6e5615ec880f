#include "platform/gzip.h"

#include <zlib.h>

namespace zapo::plateforme {

bool est_gzip(QByteArrayView octets) {
    return octets.size() >= 2 && quint8(octets[0]) == 0x1f && quint8(octets[1]) == 0x8b;
}

bool decompresser_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite) {
    sortie.clear();
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(octets.data()));
    z.avail_in = uInt(octets.size());
    char tampon[64 * 1024];
    bool ok = true;
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(tampon);
        z.avail_out = sizeof tampon;
        const int rc = inflate(&z, Z_NO_FLUSH);
        sortie.append(tampon, qsizetype(sizeof tampon - z.avail_out));
        if (sortie.size() > limite) {
            ok = false;
            break;
        }
        if (rc == Z_STREAM_END) {
            // Another member may follow.
            if (z.avail_in == 0)
                break;
            if (inflateReset(&z) != Z_OK) {
                ok = false;
                break;
            }
            continue;
        }
        if (rc != Z_OK) {
            ok = false; // damaged or cut short
            break;
        }
        if (z.avail_in == 0 && z.avail_out != 0) {
            ok = false; // input ended before the stream did
            break;
        }
    }
    inflateEnd(&z);
    return ok;
}

} // namespace zapo::plateforme
