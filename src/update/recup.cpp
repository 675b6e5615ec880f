#include "update/recup.h"

#include "core/horloge.h"

namespace zapo::recup {

recuperateur::recuperateur(const horloge& h) : horloge_(h) {}
recuperateur::~recuperateur() = default;

bool recuperateur::recup_programmes(int num_chaine, const QString& adresse) {
    (void)num_chaine;
    (void)adresse;
    (void)horloge_;
    programmes_lus_.clear();
    return false;
}

} // namespace zapo::recup
