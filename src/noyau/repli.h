#pragma once
#include <QString>

namespace zapo::inline noyau {

// A text folded for matching as a French reader compares: case, accents and
// ligatures ignored ("Été" and "ete", "Œuvre" and "oeuvre"). Spaces and
// punctuation are kept, so that callers can still tell words apart.
QString replier(const QString& texte);

// Whether `aiguille` (already folded) occurs in `texte` (already folded).
inline bool contient_replie(const QString& texte_replie, const QString& aiguille_repliee) {
    return texte_replie.contains(aiguille_repliee);
}

} // namespace zapo::inline noyau
