#include "core/scanner.h"

#include "core/horloge.h"

namespace zapo::recup {

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

} // namespace

page_decoupee decouper_page(QStringView page, const horloge& h) {
    page_decoupee r;
    const qsizetype n = page.size();
    const char16_t* t = page.utf16();

    bool prev_heure = false;
    bool jour_vu = false;
    int nb = 0; // times seen, the first unstored one included
    // Position of the "<" that ends the current run; found once and kept while
    // the next run starts before it, so no character is searched twice for it.
    qsizetype fin_run = -1;

    // Each run starts just after a ">"; visiting every ">" in order is the same
    // as cutting the page after its first ">" again and again, without copying.
    // A page (or remainder) with no ">" left is finished: nothing after it can
    // start a run, whether it is cut off inside a tag or plain text.
    for (qsizetype q = page.indexOf(u'>'); q >= 0; q = page.indexOf(u'>', q + 1)) {
        const qsizetype p = q + 1;
        // A run that begins in the last five characters is never read.
        if (n - p <= 5)
            break;
        const char16_t c = t[p];
        if (c == u'<' || c == u' ' || c == u'\r' || c == u'\n')
            continue;
        if (fin_run < p) {
            fin_run = page.indexOf(u'<', p);
            // A run with no "<" after it has no end: the page stops there.
            if (fin_run < 0)
                break;
        }
        const QStringView run(t + p, fin_run - p);

        if (const int m = minutes_de(run); m >= 0) {
            ++nb;
            // The first unstored time only ends the last record; after it nothing
            // on the page can change what is kept.
            if (nb > max_programmes + 1)
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
            if (nb <= max_programmes) {
                if (r.programmes.empty())
                    r.programmes.reserve(max_programmes);
                r.programmes.push_back({QString(), hdeb, date_heure(), date_heure()});
            } else {
                r.tronquee = true;
            }
        } else {
            if (prev_heure) {
                if (nb >= 2 && r.programmes[nb - 2].programme.isEmpty())
                    r.programmes[nb - 2].programme = QStringLiteral("Pas d'info disponible");
                if (nb <= max_programmes)
                    r.programmes[nb - 1].programme = run.toString();
            }
            prev_heure = false;
            if (nb > max_programmes)
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

} // namespace zapo::recup
