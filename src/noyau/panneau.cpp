#include "noyau/panneau.h"

#include <algorithm>
#include <cstdlib>

namespace zapo::inline noyau {

namespace {

constexpr date_heure debut_soir = date_heure::duree_hm(20, 30);
constexpr date_heure fin_soir = date_heure::duree_hm(24, 15);
constexpr date_heure duree_soir_min = date_heure::duree_hm(0, 45);

rangee_panneau remplir(date_heure hdeb, date_heure hfin, const QString& programme) {
    return {true, hdeb.format_hhnn(), hfin.format_hhnn(), programme, hdeb};
}

} // namespace

date_heure longueur_programme(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree) {
    if (duree && duree->secondes() != 0)
        return *duree;
    return hfin - hdeb;
}

int pourcentage_ecoule(date_heure maintenant, date_heure hdeb, date_heure hfin,
                       std::optional<date_heure> duree) {
    const std::int64_t den = std::llabs(longueur_programme(hdeb, hfin, duree).secondes());
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

date_heure jour_programmes(date_heure premier_hdeb, date_heure maintenant) {
    return std::min(premier_hdeb.jour(), maintenant.jour());
}

bool au_soir(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree, date_heure jour,
             date_heure maintenant) {
    // A programme that began at 20:30 or later and is still on counts.
    return hfin > maintenant && hdeb >= jour + debut_soir &&
           longueur_programme(hdeb, hfin, duree) >= duree_soir_min && hdeb < jour + fin_soir;
}

std::pair<date_heure, date_heure> debuts_soir(date_heure jour) {
    return {jour + debut_soir, jour + fin_soir};
}

std::vector<ligne_panneau> ce_soir(const std::vector<ligne_panneau>& lignes_chaine, date_heure jour,
                                   date_heure maintenant) {
    std::vector<ligne_panneau> res;
    for (const ligne_panneau& l : lignes_chaine)
        if (au_soir(l.hdeb, l.hfin, l.duree, jour, maintenant))
            res.push_back(l);
    return res;
}

calcul_panneau::calcul_panneau(int chaine_courante, date_heure maintenant)
    : chaine_courante_(chaine_courante), maintenant_(maintenant),
      instant_(fuseau_.lire(maintenant).premiere) {}

calcul_panneau::calcul_panneau(int chaine_courante, const QDateTime& maintenant)
    : chaine_courante_(chaine_courante), maintenant_(date_heure::depuis_qdatetime(maintenant)),
      instant_(maintenant.toSecsSinceEpoch()) {}

void calcul_panneau::ajouter(date_heure hdeb, date_heure hfin, const QString& programme, int chaine,
                             std::optional<date_heure> duree) {
    ++n_;
    ajouter_rang({hdeb, hfin, programme, chaine, duree}, n_,
                 n_ > 1 ? std::optional<qint64>(n_ - 1) : std::nullopt);
}

void calcul_panneau::ajouter_rang(const ligne_panneau& l, qint64 rang, std::optional<qint64> rang_precedent) {
    if (premier_) {
        premier_ = false;
        jour_ = jour_programmes(l.hdeb, maintenant_);
    }
    const bool de_la_chaine = l.chaine == chaine_courante_;
    if (de_la_chaine)
        ++etat_.nb_lignes_chaine;

    // Compared as instants: in the repeated hour 02:10 is on before or after 02:50.
    const auto [debut, fin] = suites_[l.chaine].lire(fuseau_, l.hdeb, l.hfin, l.duree);
    if (instant_ > debut && instant_ < fin) {
        const int pc =
            pourcentage_ecoule(date_heure::depuis_secondes(instant_), date_heure::depuis_secondes(debut),
                               date_heure::depuis_secondes(fin), l.duree);
        if (de_la_chaine) {
            ligne_en_cours_rang_ = rang;
            etat_.ligne_en_cours = etat_.nb_lignes_chaine;
            etat_.marques.push_back(etat_.nb_lignes_chaine);
            etat_.rangees[rang_actuel] = remplir(l.hdeb, l.hfin, l.programme);
            etat_.progres = pc;
        }
        // The last matching row wins, for every channel.
        etat_.par_chaine.insert(l.chaine, {l.programme, pc, l.hdeb, l.hfin, debut, fin});
    }
    if (!de_la_chaine)
        return;

    // The stored successor, not a search by time.
    if (ligne_en_cours_rang_ && rang_precedent == ligne_en_cours_rang_)
        etat_.rangees[rang_suite] = remplir(l.hdeb, l.hfin, l.programme);

    lignes_chaine_.push_back(l);
}

etat_panneau calcul_panneau::resultat() const {
    etat_panneau e = etat_;
    const std::vector<ligne_panneau> soir = ce_soir(lignes_chaine_, jour_, maintenant_);
    if (soir.size() > 0)
        e.rangees[rang_soir1] = remplir(soir[0].hdeb, soir[0].hfin, soir[0].programme);
    if (soir.size() > 1)
        e.rangees[rang_soir2] = remplir(soir[1].hdeb, soir[1].hfin, soir[1].programme);
    return e;
}

} // namespace zapo::inline noyau
