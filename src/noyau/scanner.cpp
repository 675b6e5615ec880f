#include "noyau/scanner.h"

#include "noyau/decodage.h"
#include "noyau/horloge.h"

#include <QtAlgorithms>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zapo::inline noyau {

namespace {

bool chiffre(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Minutes since midnight of a run such as "20h50", or -1 when the five
// characters are not a time ("Echos", "25h00", "2xh15" are ordinary text).
int minutes_de(QStringView run) {
    if (run.size() != 5 || run[2] != u'h')
        return -1;
    const char16_t* c = run.utf16();
    if (!chiffre(c[0]) || !chiffre(c[1]) || !chiffre(c[3]) || !chiffre(c[4]))
        return -1;
    const int heure = (c[0] - u'0') * 10 + (c[1] - u'0');
    const int minute = (c[3] - u'0') * 10 + (c[4] - u'0');
    if (heure > 23 || minute > 59)
        return -1;
    return heure * 60 + minute;
}

// First position at or after `i` whose character, with bit 1 set when
// `deux` is true, equals `c`; -1 when there is none. The page is mostly markup,
// so this is the hot loop: eight characters per step with SSE2.
// With c = '>' and deux, it finds either '<' (0x3C) or '>' (0x3E), and nothing else.
template <char16_t c, bool deux> inline qsizetype chercher(const char16_t* t, qsizetype i, qsizetype n) {
    constexpr char16_t bit = deux ? 2 : 0;
#if defined(__SSE2__)
    const __m128i ou = _mm_set1_epi16(short(bit));
    const __m128i cible = _mm_set1_epi16(short(c));
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const int masque = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_or_si128(v, ou), cible));
        if (masque != 0)
            return i + qCountTrailingZeroBits(unsigned(masque)) / 2;
    }
#endif
    for (; i < n; ++i)
        if (char16_t(t[i] | bit) == c)
            return i;
    return -1;
}

inline qsizetype fermant_suivant(const char16_t* t, qsizetype i, qsizetype n) {
    return chercher<u'>', false>(t, i, n);
}
inline qsizetype ouvrant_suivant(const char16_t* t, qsizetype i, qsizetype n) {
    return chercher<u'<', false>(t, i, n);
}
inline qsizetype chevron_suivant(const char16_t* t, qsizetype i, qsizetype n) {
    return chercher<u'>', true>(t, i, n);
}

} // namespace

page_decoupee decouper_page(QStringView page, const horloge& h) {
    page_decoupee r;
    const qsizetype n = page.size();
    const char16_t* t = page.utf16();

    bool prev_heure = false;
    bool jour_vu = false;
    int nb = 0; // times seen, the first unstored one included
    // Position of the "<" that ends the current run; found once and kept while
    // the next run starts before it.
    qsizetype fin_run = -1;

    // Each run starts just after a ">"; visiting every ">" in order is the same
    // as cutting the page after its first ">" again and again, without copying.
    // A page (or remainder) with no ">" left is finished: nothing after it can
    // start a run, whether it is cut off inside a tag or plain text.
    qsizetype i = 0;
    for (;;) {
        const qsizetype q = fermant_suivant(t, i, n);
        if (q < 0)
            break;
        const qsizetype p = q + 1;
        i = p;
        // A run that begins in the last five characters is never read.
        if (n - p <= 5)
            break;
        const char16_t c = t[p];
        if (c == u'<' || c == u' ' || c == u'\r' || c == u'\n')
            continue;
        if (fin_run < p) {
            // One scan finds the run's end and tells whether a ">" lies inside
            // it (each such ">" starts a shorter run that ends at the same "<").
            const qsizetype k = chevron_suivant(t, p, n);
            // A run with no "<" after it has no end: the page stops there.
            if (k < 0)
                break;
            if (t[k] == u'<') {
                fin_run = k;
                i = k + 1;
            } else {
                fin_run = ouvrant_suivant(t, k + 1, n);
                if (fin_run < 0)
                    break;
                i = k;
            }
        }
        const QStringView run(t + p, fin_run - p);

        if (const int m = minutes_de(run); m >= 0) {
            ++nb;
            // The first unstored time only ends the last record; after it nothing
            // on the page can change what is kept.
            if (nb > max_programmes_page + 1)
                break;
            prev_heure = true;
            const date_heure maintenant = h.maintenant_dh();
            date_heure hdeb = maintenant.jour() + date_heure::duree_hm(0, m);
            if (maintenant.heure() < 10)
                hdeb -= un_jour;
            if (m < 10 * 60 && jour_vu)
                hdeb += un_jour;
            if (m >= 10 * 60)
                jour_vu = true;
            if (nb >= 2) {
                fiche_programme& prec = r.programmes[nb - 2];
                prec.duree = hdeb - prec.hdeb;
                prec.hfin = hdeb;
            }
            if (nb <= max_programmes_page) {
                if (r.programmes.empty())
                    r.programmes.reserve(max_programmes_page);
                r.programmes.push_back({QString(), hdeb, date_heure(), date_heure()});
            } else {
                r.tronquee = true;
            }
        } else {
            if (prev_heure) {
                if (nb >= 2 && r.programmes[nb - 2].programme.isEmpty())
                    r.programmes[nb - 2].programme = QStringLiteral("Pas d'info disponible");
                if (nb <= max_programmes_page)
                    r.programmes[nb - 1].programme = nettoyer_texte(couper_titre(run));
            }
            prev_heure = false;
            if (nb > max_programmes_page)
                break;
        }
    }

    if (!r.programmes.empty() && !r.tronquee) {
        fiche_programme& dernier = r.programmes.back();
        dernier.duree = une_heure;
        dernier.hfin = dernier.hdeb + une_heure;
    }
    return r;
}

} // namespace zapo::inline noyau
