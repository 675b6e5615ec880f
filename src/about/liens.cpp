#include "about/liens.h"

namespace zapo::internet {

void afficher_aide(contexte& ctx) {
    ctx.boites->afficher(QStringLiteral("Zapo-TV"), QStringLiteral("Indisponible dans cette version."),
                         icone_boite::information);
}

} // namespace zapo::internet
