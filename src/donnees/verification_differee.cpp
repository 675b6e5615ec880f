#include "donnees/verification_differee.h"

#include "donnees/base_programmes.h"

#include <atomic>

namespace zapo::donnees {

namespace {

std::atomic<verification_differee*> en_cours{nullptr};

} // namespace

verification_differee::verification_differee(const QString& chemin) {
    en_cours.store(this);
    fil_ = std::thread([this, chemin] {
        try {
            base_programmes(chemin, base_programmes::ouverture::verification).verifier_pages_liste();
        } catch (...) {
            echec_ = std::current_exception();
        }
    });
}

verification_differee::~verification_differee() {
    std::call_once(fin_, [this] { fil_.join(); });
    verification_differee* moi = this;
    en_cours.compare_exchange_strong(moi, nullptr);
}

void verification_differee::attendre() {
    std::call_once(fin_, [this] { fil_.join(); });
    if (echec_)
        std::rethrow_exception(echec_);
    // A file found sound is opened from now on without asking.
    verification_differee* moi = this;
    en_cours.compare_exchange_strong(moi, nullptr);
}

void verification_differee::attendre_en_cours() {
    if (verification_differee* v = en_cours.load())
        v->attendre();
}

} // namespace zapo::donnees
