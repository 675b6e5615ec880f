#include "vues/journal_vues.h"

#include "vues/fl_main.h"

namespace zapo::vues {

namespace {

releve_vues& releve() {
    static releve_vues r;
    return r;
}

} // namespace

void definir_releve_vues(releve_vues r) {
    releve() = std::move(r);
}

void journaliser(const fl_main& f) {
    if (releve())
        releve()(f);
}

} // namespace zapo::vues
