#include "noyau/horloge.h"

namespace zapo::inline noyau {

QDateTime horloge_systeme::maintenant() const {
    return QDateTime::currentDateTime();
}

} // namespace zapo::inline noyau
