#pragma once

// The main window over a copy of the delivered base, and the main window on a
// real database: the longest catalogue names, a title too long for its column,
// a programme on now.

#include "donnees/base_programmes.h"
#include "modele/guide.h"
#include "noyau/contexte.h"
#include "outils/horloge_fixe.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"

#include "outils/controles.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"

#include <memory>

namespace zapo::essais {

// A test folder, a fixed clock, recorded boxes, a fake application, the context
// that wires them, and the main window over them (kept when it is closed).
struct banc_main {
    dossier_essai dossier;
    horloge_fixe h;
    fausses_boites boites;
    fausse_appli appli;
    contexte ctx;
    modele::guide guide{ctx};
    std::unique_ptr<vues::fl_main> f;

    explicit banc_main(const QDateTime& maintenant = {}) : h(maintenant) {
        ctx.dossier_appli = dossier.chemin();
        ctx.horloge_ = &h;
        ctx.boites = &boites;
        ctx.appli = &appli;
        ctx.guide = &guide;
        f = std::make_unique<vues::fl_main>(ctx);
        f->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    donnees::base_programmes base() { return donnees::base_programmes(dossier.base()); }
};

struct banc_principal : banc_main {
    banc_principal() : banc_main(QDateTime(QDate(2026, 12, 7), QTime(20, 15))) {
        donnees::base_programmes b(dossier.base());
        const QStringList noms = {QStringLiteral("TF1 Séries Films"), QStringLiteral("RMC Découverte"),
                                  QStringLiteral("France 2"), QStringLiteral("Canal+")};
        for (int i = 0; i < noms.size(); ++i)
            b.ajouter_chaine({i + 1, noms[i], QStringLiteral("http://127.0.0.1/%1").arg(i), i + 1});
        const date_heure soir = date_heure::depuis_date(QDate(2026, 12, 7), 20, 0);
        const auto heure = date_heure::duree_hm(1, 0);
        b.ajouter_programme({QStringLiteral("Le magazine de la santé et du bien-être au quotidien"), soir,
                             heure, soir + heure},
                            1);
        b.ajouter_programme({QStringLiteral("Journal"), soir + heure, heure, soir + heure + heure}, 1);
        b.ajouter_programme({QStringLiteral("Documentaire"), soir, heure, soir + heure}, 2);
    }
    void remplir() {
        guide.definir_statut(modele::statut_maj::a_jour);
        f->remplir_chaines();
        essais::controle<QLabel>(*f, "txt_etat")->setText(guide.texte_etat());
        f->remplir_programmes();
        f->show();
        f->affiche_actuel();
    }
};

} // namespace zapo::essais
