// libFuzzer entry for the schedule page reader: raw bytes go through the same
// decoding and scanning as a fetched page, and the one-pass scanner is checked
// against a plain reading that cuts the page from the front, step by step.
#include "noyau/decodage.h"
#include "noyau/scanner.h"
#include "outils/horloge_fixe.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace zapo;

int minutes_ou_moins_un(QStringView run) {
    if (run.size() != 5 || run[2] != u'h')
        return -1;
    bool ok1 = false;
    bool ok2 = false;
    for (int k : {0, 1, 3, 4})
        if (!run[k].isDigit() || run[k].unicode() > u'9')
            return -1;
    const int h = run.first(2).toInt(&ok1);
    const int m = run.sliced(3).toInt(&ok2);
    return ok1 && ok2 && h <= 23 && m <= 59 ? h * 60 + m : -1;
}

// A character no stored text may hold: controls but tab and line feed.
bool controle(const QString& t) {
    for (const QChar c : t)
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n')
            return true;
    return false;
}

// Slow and literal: `debut` is where the remaining page starts.
page_decoupee lecture_simple(QStringView page, const horloge& h) {
    page_decoupee r;
    qsizetype debut = 0;
    bool prev_heure = false;
    bool jour_vu = false;
    int nb = 0;
    for (;;) {
        const qsizetype sup = page.indexOf(u'>', debut);
        if (sup < 0)
            break;
        debut = sup + 1;
        if (page.size() - debut <= 5)
            break;
        const QChar c = page[debut];
        if (c == u'<' || c == u' ' || c == u'\r' || c == u'\n')
            continue;
        const qsizetype inf = page.indexOf(u'<', debut);
        if (inf < 0)
            break;
        const QStringView run = page.sliced(debut, inf - debut);
        const int m = minutes_ou_moins_un(run);
        if (m >= 0) {
            ++nb;
            if (nb > max_programmes_page + 1)
                break;
            prev_heure = true;
            const QDateTime maintenant = h.maintenant();
            date_heure hdeb = date_heure::depuis_date(maintenant.date(), m / 60, m % 60);
            if (maintenant.time().hour() < 10)
                hdeb -= un_jour;
            if (m / 60 < 10 && jour_vu)
                hdeb += un_jour;
            if (m / 60 >= 10)
                jour_vu = true;
            if (nb >= 2) {
                r.programmes[std::size_t(nb) - 2].duree = hdeb - r.programmes[std::size_t(nb) - 2].hdeb;
                r.programmes[std::size_t(nb) - 2].hfin = hdeb;
            }
            if (nb <= max_programmes_page)
                r.programmes.push_back({QString(), hdeb, {}, {}});
            else
                r.tronquee = true;
            continue;
        }
        if (prev_heure) {
            if (nb >= 2 && r.programmes[std::size_t(nb) - 2].programme.isEmpty())
                r.programmes[std::size_t(nb) - 2].programme = QStringLiteral("Pas d'info disponible");
            if (nb <= max_programmes_page) {
                // Titles are cut at 500 characters, never between the two halves of a pair.
                QString titre = run.toString();
                if (titre.size() > titre_max) {
                    titre.truncate(titre_max);
                    if (titre.back().isHighSurrogate())
                        titre.chop(1);
                }
                r.programmes[std::size_t(nb) - 1].programme = nettoyer_texte(titre);
            }
        }
        prev_heure = false;
        if (nb > max_programmes_page)
            break;
    }
    if (!r.programmes.empty() && !r.tronquee) {
        r.programmes.back().duree = une_heure;
        r.programmes.back().hfin = r.programmes.back().hdeb + une_heure;
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the update's hour, so both sides of 10:00 are explored.
    const int heure = size > 0 ? data[0] % 24 : 14;
    const horloge_fixe h(QDateTime(QDate(2026, 6, 12), QTime(heure, 30)));
    const QByteArray octets = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString texte = decoder_page(octets, {});
    const page_decoupee r = decouper_page(texte, h);

    // What the update run relies on: at most 100 records, each ending where the
    // next starts, its length matching its ends.
    if (r.nb_programmes() > max_programmes_page)
        std::abort();
    for (int i = 0; i < r.nb_programmes(); ++i) {
        const fiche_programme& f = r.programmes[std::size_t(i)];
        if (f.hfin - f.hdeb != f.duree)
            std::abort();
        if (i + 1 < r.nb_programmes() && f.hfin != r.programmes[std::size_t(i) + 1].hdeb)
            std::abort();
        if (f.programme.size() > titre_max || controle(f.programme))
            std::abort();
    }
    const page_decoupee attendu = lecture_simple(texte, h);
    if (r.programmes != attendu.programmes || r.tronquee != attendu.tronquee)
        std::abort();
    return 0;
}
