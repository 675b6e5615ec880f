#pragma once

#include <QString>

namespace zapo::donnees {

// Why nothing could be written in `dossier`, in French and in the user's terms
// ("le disque est plein"): the system's own error texts are not French.
QString raison_ecriture_impossible(const QString& dossier);

} // namespace zapo::donnees
