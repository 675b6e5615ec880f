#include "core/horloge.h"

namespace zapo {

QDateTime horloge_systeme::maintenant() const { return QDateTime::currentDateTime(); }

} // namespace zapo
