#include "chaines/gest_chaines.h"
#include "modele/guide.h"

#include <limits>

namespace zapo::chaines {

namespace {

const QString titre = QStringLiteral("Zapo-TV");

// Channel numbers are stored as 16-bit numbers: anything else is not one of ours.
bool numero_valide(int n) {
    return n != 0 && n >= std::numeric_limits<short>::min() && n <= std::numeric_limits<short>::max();
}

} // namespace

void supprimer_chaine(contexte& ctx, int num_chaine) {
    if (!numero_valide(num_chaine)) {
        ctx.boites->afficher(titre, QStringLiteral("veuillez sélectionner une chaine dans la liste."),
                             icone_boite::exclamation);
        return;
    }
    if (ctx.boites->afficher(titre, QStringLiteral("Etes-vous sûr de vouloir supprimer cette chaine ?"),
                             icone_boite::information, boutons_boite::ok_annuler) == reponse_boite::ok)
        effacer_chaine(ctx, num_chaine);
}

void vider_chaines(contexte& ctx) {
    const QString question =
        QStringLiteral("Vous êtes sur le point de supprimer toute les chaines de la liste.") +
        QLatin1Char('\r') + QStringLiteral("Etes vous sûr de vouloir continuer ?");
    if (ctx.boites->afficher(titre, question, icone_boite::information, boutons_boite::ok_annuler) !=
        reponse_boite::ok)
        return;
    // Every channel in one go, announced once: the list is read again once.
    modele::guide_de(ctx).vider_chaines();
}

void effacer_chaine(contexte& ctx, int num_chaine) {
    // The channel's programmes and its row go together or not at all.
    modele::guide_de(ctx).retirer_chaine(num_chaine);
}

} // namespace zapo::chaines
