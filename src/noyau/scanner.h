#pragma once

#include "noyau/fiche_programme.h"

#include <QStringView>

#include <vector>

namespace zapo::inline noyau {
class horloge;
}

namespace zapo::inline noyau {

// A page never yields more records than this; later times are not stored.
inline constexpr int max_programmes_page = 100;

struct page_decoupee {
    std::vector<fiche_programme> programmes; // at most max_programmes_page
    // The page held more times than max_programmes: the last record ends where the
    // first unstored one starts, and the rest of the page was not read.
    bool tronquee = false;

    int nb_programmes() const { return int(programmes.size()); }
};

// Cuts a schedule page into programmes. The text runs are what lies between a
// ">" and the next "<"; a run of exactly five characters like 20h50 is a start
// time, the first text run after a time is its title. Dates come from the clock,
// read again at each time, and from the order of the times on the page.
// One pass over the text; any text at all is accepted.
page_decoupee decouper_page(QStringView page, const horloge& h);

} // namespace zapo::inline noyau
