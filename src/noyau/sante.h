#pragma once

#include "noyau/date_heure.h"

#include <QString>

namespace zapo::inline noyau {

// A channel's result before this run, as stored.
struct precedent_sante {
    bool connu = false;
    bool succes = false;
    int nb_programmes = 0;
};

// A run's result for one channel is worth a warning when it failed, or when it
// brought fewer than half of the programmes its previous success brought.
inline bool en_alerte(const precedent_sante& p, bool succes, int nb_programmes) {
    if (!succes)
        return true;
    return p.connu && p.succes && qint64(nb_programmes) * 2 < qint64(p.nb_programmes);
}

// What a run keeps as the reason for a channel its feed does not list: plain
// words first, the feed's id after them.
QString raison_chaine_absente(const QString& id);

// "Dernière mise à jour : échec (le serveur a répondu 503), lundi 7 décembre à 10:02";
// a channel missing from its feed: "Cette chaîne manque dans le programme reçu.",
// the date and the feed's id on the lines below. Empty when the last update
// brought programmes.
QString infobulle_sante(bool succes, int nb_programmes, const QString& raison, date_heure quand);

} // namespace zapo::inline noyau
