#include "modele/guide.h"

#include "donnees/base_rappels.h"
#include "donnees/semaine.h"
#include "noyau/horloge.h"

#include <stdexcept>

namespace zapo::modele {

guide::guide(contexte& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

const std::vector<rappel>& guide::rappels() {
    if (!rappels_) {
        donnees::base_programmes base(ctx_.chemin_base());
        rappels_ = donnees::lire_rappels(base);
    }
    return *rappels_;
}

bool guide::rappel_prevu(int chaine, qint64 debut) {
    for (const auto& r : rappels())
        if (!r.retire && r.chaine == chaine && r.debut.secondes() == debut)
            return true;
    return false;
}

int guide::minutes_avant() {
    if (!minutes_) {
        donnees::base_programmes base(ctx_.chemin_base());
        minutes_ = donnees::lire_minutes_avant(base);
    }
    return *minutes_;
}

QStringList guide::mots_favoris() {
    if (!mots_) {
        donnees::base_programmes base(ctx_.chemin_base());
        mots_ = donnees::lire_mots_favoris(base);
    }
    return *mots_;
}

bool guide::basculer_rappel(int chaine, qint64 debut_secondes, bool prevu) {
    {
        donnees::base_programmes base(ctx_.chemin_base());
        const date_heure debut = date_heure::depuis_secondes(debut_secondes);
        if (prevu) {
            donnees::retirer_rappel(base, chaine, debut);
        } else {
            // Any kept day: the week holds what `liste` does not.
            const auto p = donnees::lire_programme_semaine(base, chaine, debut);
            // Gone meanwhile (an update ran): nothing to remind of.
            if (!p)
                return false;
            donnees::ajouter_rappel(base, rappel{0, chaine, p->hdeb, p->hfin, p->titre});
        }
        rappels_ = donnees::lire_rappels(base);
    }
    Q_EMIT rappels_changes();
    if (!prevu)
        Q_EMIT rappel_ajoute();
    return true;
}

void guide::ecrire_minutes_avant(int minutes) {
    {
        donnees::base_programmes base(ctx_.chemin_base());
        donnees::ecrire_minutes_avant(base, minutes);
        minutes_ = donnees::lire_minutes_avant(base);
    }
    Q_EMIT reglages_changes();
}

int guide::ecrire_mots_favoris(const QStringList& mots) {
    int nb = 0;
    {
        donnees::base_programmes base(ctx_.chemin_base());
        donnees::ecrire_mots_favoris(base, mots);
        // The programmes already stored count at once, not only after the next update.
        const date_heure maintenant = ctx_.horloge_->maintenant_dh();
        donnees::ajuster_rappels(base, maintenant);
        mots_ = donnees::lire_mots_favoris(base);
        rappels_ = donnees::lire_rappels(base);
        nb = nb_rappels_des_mots(*rappels_, mots, maintenant);
    }
    Q_EMIT mots_changes();
    Q_EMIT rappels_changes();
    return nb;
}

void guide::annoncer_programmes() {
    rappels_.reset();
    Q_EMIT programmes_changes();
    Q_EMIT rappels_changes();
}

void guide::annoncer_chaines() {
    rappels_.reset();
    Q_EMIT chaines_changees();
    Q_EMIT rappels_changes();
}

void guide::annoncer_rappel_ajoute() {
    Q_EMIT rappel_ajoute();
}

void guide::annoncer_sante() {
    Q_EMIT sante_changee();
}

void guide::relire_rappels() {
    rappels_.reset();
    Q_EMIT rappels_changes();
}

guide& guide_de(contexte& ctx) {
    if (!ctx.guide)
        throw std::logic_error("Le guide n'est pas installé.");
    return *ctx.guide;
}

} // namespace zapo::modele
