#include "noyau/fraicheur.h"

#include <QLocale>

namespace zapo::inline noyau {

namespace {
constexpr int dix_heures = 10 * 3600;
}

bool est_a_jour(std::optional<date_heure> derniere_maj, date_heure maintenant) {
    if (!derniere_maj)
        return false;
    // A run stamped ahead of the clock was made under a wrong clock: its programmes
    // may be from any day. Within the hour the clocks repeat, a stamp is ahead only
    // when it is under every reading.
    fuseau_local f;
    if (f.lire(*derniere_maj).premiere > f.lire(maintenant).seconde)
        return false;
    const date_heure aujourdhui = maintenant.jour();
    // Only yesterday's run lasts until 10:00; an older one is stale all day.
    if (*derniere_maj < aujourdhui - un_jour)
        return false;
    // An earlier day's run lasts until 10:00.
    if (*derniere_maj < aujourdhui && maintenant.seconde_du_jour() >= dix_heures)
        return false;
    // A run from this morning before 10:00 never counts.
    if (derniere_maj->jour() == aujourdhui && derniere_maj->seconde_du_jour() < dix_heures)
        return false;
    return true;
}

QString texte_etat_base(bool a_jour) {
    return a_jour ? QStringLiteral("Programmes à jour.") : QStringLiteral("La base n'est pas à jour.");
}

QString message_date_base(std::optional<date_heure> derniere_maj, bool a_jour) {
    QString premiere;
    if (derniere_maj) {
        // Day and month names are French whatever the system's locale.
        const QLocale fr(QLocale::French);
        premiere = QStringLiteral("La base a été mise à jour le ") +
                   fr.toString(derniere_maj->date(), QStringLiteral("dddd dd MMMM yyyy")) +
                   QStringLiteral(" à ") + derniere_maj->format_hhnn() + QStringLiteral(".");
    } else {
        premiere = QStringLiteral("La base n'a encore jamais été mise à jour.");
    }
    return premiere + QLatin1Char('\r') +
           (a_jour ? QStringLiteral("Les programmes sont à jour.")
                   : QStringLiteral("Les programmes ne sont pas à jour."));
}

} // namespace zapo::inline noyau
