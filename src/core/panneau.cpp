#include "core/panneau.h"

#include <cstdlib>

namespace zapo::panneau {

namespace {

constexpr date_heure debut_soir = date_heure::duree_hm(20, 30);
constexpr date_heure fin_soir = date_heure::duree_hm(24, 15);
constexpr date_heure duree_soir_min = date_heure::duree_hm(0, 45);

// The stored length, or the span from start to end when the row has none.
date_heure longueur(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree) {
    if (duree && duree->secondes() != 0)
        return *duree;
    return hfin - hdeb;
}

rangee remplir(date_heure hdeb, date_heure hfin, const QString& programme) {
    return {true, hdeb.format_hhnn(), hfin.format_hhnn(), programme};
}

} // namespace

int pourcentage(date_heure maintenant, date_heure hdeb, date_heure hfin, std::optional<date_heure> duree) {
    const std::int64_t den = std::llabs(longueur(hdeb, hfin, duree).secondes());
    if (den == 0)
        return 0;
    const std::int64_t num = std::llabs((maintenant - hdeb).secondes());
    // Past 100 % the exact value no longer matters, and the product below stays small.
    if (num > den)
        return 100;
    const std::int64_t p = num * 100;
    std::int64_t q = p / den;
    const std::int64_t r2 = (p % den) * 2;
    if (r2 > den || (r2 == den && q % 2 != 0))
        ++q;
    return int(q > 100 ? 100 : q);
}

calcul::calcul(int chaine_courante, date_heure maintenant)
    : chaine_courante_(chaine_courante), maintenant_(maintenant) {}

void calcul::ajouter(date_heure hdeb, date_heure hfin, const QString& programme, int chaine,
                     std::optional<date_heure> duree) {
    ++n_;
    if (n_ == 1) {
        // The evening is that of the first stored row's day, not today's.
        const date_heure jour = hdeb.jour();
        debut_soiree_ = jour + debut_soir;
        fin_soiree_ = jour + fin_soir;
    }
    const bool de_la_chaine = chaine == chaine_courante_;
    if (de_la_chaine)
        ++etat_.nb_lignes_chaine;

    if (maintenant_ > hdeb && maintenant_ < hfin) {
        const int pc = pourcentage(maintenant_, hdeb, hfin, duree);
        if (de_la_chaine) {
            ligne_en_cours_n_ = n_;
            etat_.ligne_en_cours = etat_.nb_lignes_chaine;
            etat_.marques.push_back(etat_.nb_lignes_chaine);
            etat_.rangees[actuel] = remplir(hdeb, hfin, programme);
            etat_.progres = pc;
        }
        // The last matching row wins, for every channel.
        etat_.par_chaine.insert(chaine, {programme, pc});
    }
    if (!de_la_chaine)
        return;

    // The stored successor, not a search by time.
    if (ligne_en_cours_n_ > 0 && n_ == ligne_en_cours_n_ + 1)
        etat_.rangees[suite] = remplir(hdeb, hfin, programme);

    if (hfin > maintenant_ && hdeb >= debut_soiree_ && longueur(hdeb, hfin, duree) >= duree_soir_min &&
        hdeb < fin_soiree_) {
        ++nb_soir_;
        if (nb_soir_ == 1)
            etat_.rangees[soir1] = remplir(hdeb, hfin, programme);
        else if (nb_soir_ == 2)
            etat_.rangees[soir2] = remplir(hdeb, hfin, programme);
    }
}

etat_panneau calculer(const std::vector<ligne>& lignes, int chaine_courante, date_heure maintenant) {
    calcul c(chaine_courante, maintenant);
    for (const auto& l : lignes)
        c.ajouter(l.hdeb, l.hfin, l.programme, l.chaine, l.duree);
    return c.resultat();
}

} // namespace zapo::panneau
