#include "coquille/coordination_maj.h"

#include "liaison/garde.h"
#include "modele/guide.h"
#include "noyau/horloge.h"
#include "suivi/fl_maj.h"
#include "vues/etat_fraicheur.h"

#include <QApplication>

#include <utility>

namespace zapo::coquille {

coordination_maj::coordination_maj(contexte& ctx, liaison::compteur_occupation& occupation, actions a)
    : ctx_(ctx), occupation_(occupation), a_(std::move(a)) {
    tps_maj_.setInterval(60000);
    connect(&tps_maj_, &QTimer::timeout, this, [this] { tic(); });
}

void coordination_maj::lancer() {
    lancer(false);
}

void coordination_maj::lancer(bool automatique) {
    if (modele::guide_de(ctx_).maj_en_cours() || a_.en_sortie() || sortie_apres_maj_)
        return;
    liaison::compteur_occupation::jeton j(occupation_);
    etat_.maj_annulee = false;
    // The run told the guide its end: the reminders and the windows have followed.
    a_.executer(etat_, automatique);
    if (sortie_apres_maj_)
        a_.quitter();
}

bool coordination_maj::differer_sortie() {
    if (!modele::guide_de(ctx_).maj_en_cours())
        return false;
    etat_.arret_demande = true;
    sortie_apres_maj_ = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<suivi::fl_maj*>(w))
            f->interrompre();
    return true;
}

bool coordination_maj::attente_de_10h() {
    // A run finished today before 10:00 cannot satisfy the freshness rule until
    // 10:00; starting another one (and dialling) every minute till then helps nobody.
    const auto maj = modele::guide_de(ctx_).derniere_maj();
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    return maj && maj->jour() == maintenant.jour() && maj->heure() < 10 && maintenant.heure() < 10;
}

void coordination_maj::tic() {
    // The whole tick is one unit (run, error box, prompt): while an earlier one,
    // or any handler of ours with a box open, waits below, this one does nothing.
    if (occupation_.occupe() || modele::guide_de(ctx_).maj_en_cours() || a_.en_sortie())
        return;
    liaison::compteur_occupation::jeton j(occupation_);
    liaison::garde(ctx_, [this] { tps_maj_Timer(); });
}

void coordination_maj::tps_maj_Timer() {
    const bool a_jour = vues::verifier_base(ctx_);
    if (a_jour)
        relance_.succes();
    // While automatic runs keep failing, the status line keeps saying so.
    if (!a_jour && etat_.maj_echouee)
        modele::guide_de(ctx_).definir_statut(modele::statut_maj::echec);
    const QDateTime maintenant = ctx_.horloge_->maintenant();
    if (!a_jour && ctx_.options.opt_majauto && !etat_.maj_annulee && !modele::guide_de(ctx_).maj_en_cours() &&
        !attente_de_10h() && relance_.permise(maintenant)) {
        etat_.maj_echouee = false;
        lancer(true);
        if (etat_.maj_echouee)
            relance_.echec(maintenant);
        else
            relance_.succes();
    }
}

} // namespace zapo::coquille
