// libFuzzer entry for the schedule page reader: raw bytes go through the same
// decoding and scanning as a fetched page.
#include "core/decodage.h"
#include "core/horloge.h"
#include "core/scanner.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zapo;
    // The first byte picks the update's hour, so both sides of 10:00 are explored.
    const int heure = size > 0 ? data[0] % 24 : 14;
    const horloge_fixe h(QDateTime(QDate(2026, 6, 12), QTime(heure, 30)));
    const QByteArray octets = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString texte = decoder_page(octets, {});
    const recup::page_decoupee r = recup::decouper_page(texte, h);

    // What the update run relies on: at most 100 records, each ending where the
    // next starts, its length matching its ends.
    if (r.nb_programmes() > recup::max_programmes)
        std::abort();
    for (int i = 0; i < r.nb_programmes(); ++i) {
        const fiche_programme& f = r.programmes[std::size_t(i)];
        if (f.hfin - f.hdeb != f.duree)
            std::abort();
        if (i + 1 < r.nb_programmes() && f.hfin != r.programmes[std::size_t(i) + 1].hdeb)
            std::abort();
    }
    return 0;
}
