#pragma once

#include <QString>

namespace zapo::donnees {

// Why nothing could be written in `dossier`, in French and in the user's terms
// ("le disque est plein"): the system's own error texts are not French.
QString raison_ecriture_impossible(const QString& dossier);

// Why the folder `dossier` could not be made: what stands in its way, or why
// its nearest existing parent takes nothing.
QString raison_creation_dossier(const QString& dossier);

// True when something other than a regular file (or a link to one) stands at
// `chemin`: a FIFO, a device, a socket, a folder. Seen with stat(2), never
// opened: opening a FIFO waits for a writer forever.
bool autre_chose_qu_un_fichier(const QString& chemin);

// The system's error number `code` (errno) of a failed write, in French.
QString raison_erreur_systeme(int code);

} // namespace zapo::donnees
