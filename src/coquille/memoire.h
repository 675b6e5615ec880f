#pragma once

namespace zapo::coquille {

// Hands back to the system the heap the start-up freed (the lists' fills, the
// base's page caches once closed), which the allocator would otherwise keep for
// later. Resident memory only; nothing is lost.
void liberer_memoire_inutilisee();

} // namespace zapo::coquille
