#include "coquille/memoire.h"

#include <cstdlib> // defines __GLIBC__ where it applies
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zapo::coquille {

void liberer_memoire_inutilisee() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace zapo::coquille
