#include "noyau/rappels.h"

#include "noyau/repli.h"

#include <QSet>

#include <cstdlib>

#include <algorithm>
#include <set>
#include <utility>

namespace zapo::inline noyau {

int minutes_avant_valides(int minutes) {
    return std::ranges::find(choix_minutes_avant, minutes) != std::end(choix_minutes_avant)
               ? minutes
               : minutes_avant_defaut;
}

std::pair<std::int64_t, std::int64_t> instants_rappel(const rappel& r, fuseau_local& f) {
    return {r.instant_debut.value_or(f.lire(r.debut).premiere),
            r.instant_fin.value_or(f.lire(r.fin).premiere)};
}

namespace {

sort_rappel decider(const rappel& r, std::int64_t maintenant, int minutes_avant, fuseau_local& f) {
    if (r.envoye || r.retire)
        return sort_rappel::rien;
    const auto [debut, fin_lue] = instants_rappel(r, f);
    if (maintenant < debut - 60 * minutes_avant_valides(minutes_avant))
        return sort_rappel::attendre;
    // A damaged end reads as the start: the programme is over once it has begun.
    const std::int64_t fin = fin_lue > debut ? fin_lue : debut;
    return maintenant < fin ? sort_rappel::avertir : sort_rappel::abandonner;
}

rappel_a_dire dire(const rappel& r, const QString& nom_chaine, std::int64_t maintenant, fuseau_local& f) {
    const bool commence = maintenant - instants_rappel(r, f).first >= retard_rappel.secondes();
    const QString modele = commence ? QStringLiteral("%1, commencé à %2") : QStringLiteral("%1 à %2");
    return {r.chaine, r.debut, r.titre, modele.arg(nom_chaine, r.debut.format_hhnn())};
}

} // namespace

sort_rappel decider_rappel(const rappel& r, date_heure maintenant, int minutes_avant) {
    fuseau_local f;
    return decider(r, f.lire(maintenant).premiere, minutes_avant, f);
}

sort_rappel decider_rappel(const rappel& r, const QDateTime& maintenant, int minutes_avant) {
    fuseau_local f;
    return decider(r, maintenant.toSecsSinceEpoch(), minutes_avant, f);
}

std::optional<std::int64_t> prochain_instant_alerte(std::span<const rappel> rappels, int minutes_avant) {
    fuseau_local f;
    std::optional<std::int64_t> res;
    for (const auto& r : rappels) {
        if (r.envoye || r.retire)
            continue;
        const std::int64_t a = instants_rappel(r, f).first - 60 * minutes_avant_valides(minutes_avant);
        if (!res || a < *res)
            res = a;
    }
    return res;
}

std::optional<date_heure> prochaine_alerte(std::span<const rappel> rappels, int minutes_avant) {
    const auto a = prochain_instant_alerte(rappels, minutes_avant);
    if (!a)
        return std::nullopt;
    fuseau_local f;
    return f.local(*a);
}

rappel_a_dire dire_rappel(const rappel& r, const QString& nom_chaine, date_heure maintenant) {
    fuseau_local f;
    return dire(r, nom_chaine, f.lire(maintenant).premiere, f);
}

rappel_a_dire dire_rappel(const rappel& r, const QString& nom_chaine, const QDateTime& maintenant) {
    fuseau_local f;
    return dire(r, nom_chaine, maintenant.toSecsSinceEpoch(), f);
}

avertissement_rappel resumer_rappels(std::span<const rappel_a_dire> dits) {
    avertissement_rappel a;
    if (dits.empty())
        return a;
    a.chaine = dits.front().chaine;
    a.debut = dits.front().debut;
    a.nombre = int(dits.size());
    if (dits.size() == 1) {
        a.titre = dits.front().titre;
        a.lignes << dits.front().corps;
        return a;
    }
    a.titre = QStringLiteral("%1 rappels").arg(dits.size());
    for (const auto& d : dits.first(std::min<std::size_t>(dits.size(), nb_avertissements_separes)))
        a.lignes << QStringLiteral("%1, %2").arg(d.titre, d.corps);
    const auto reste = qsizetype(dits.size()) - a.lignes.size();
    if (reste == 1)
        a.lignes << QStringLiteral("et 1 autre rappel");
    else if (reste > 1)
        a.lignes << QStringLiteral("et %1 autres rappels").arg(reste);
    return a;
}

std::vector<avertissement_rappel> avertissements_rappels(std::span<const rappel_a_dire> dits) {
    std::vector<avertissement_rappel> res;
    if (dits.size() > std::size_t(nb_avertissements_separes)) {
        res.push_back(resumer_rappels(dits));
        return res;
    }
    for (std::size_t i = 0; i < dits.size(); ++i)
        res.push_back(resumer_rappels(dits.subspan(i, 1)));
    return res;
}

QString texte_boite_rappels(const avertissement_rappel& a) {
    if (a.nombre == 1)
        return QStringLiteral("Rappel : %1\r%2").arg(a.titre, a.lignes.join(QLatin1Char('\r')));
    return QStringLiteral("%1 :\r%2").arg(a.titre, a.lignes.join(QLatin1Char('\r')));
}

std::optional<programme_rappel> suivre_rappel(const rappel& r, std::span<const programme_rappel> programmes) {
    const QString titre = replier(r.titre);
    std::optional<programme_rappel> res;
    std::int64_t meilleur = 0;
    for (const auto& p : programmes) {
        if (p.chaine != r.chaine)
            continue;
        const std::int64_t ecart = std::abs((p.debut - r.debut).secondes());
        if (ecart > ecart_suivi_max.secondes() || (res && ecart >= meilleur))
            continue;
        if (replier(p.titre) != titre)
            continue;
        res = p;
        meilleur = ecart;
    }
    return res;
}

QStringList nettoyer_mots(const QStringList& mots) {
    QStringList res;
    QSet<QString> vus;
    for (const QString& m : mots) {
        const QString mot = m.simplified().left(longueur_mot_max).trimmed();
        if (mot.isEmpty())
            continue;
        const QString cle = replier(mot);
        if (vus.contains(cle))
            continue;
        vus.insert(cle);
        res << mot;
        if (res.size() >= nb_mots_max)
            break;
    }
    return res;
}

bool titre_contient_mot(const QString& titre_replie, const QString& mot_replie) {
    if (mot_replie.isEmpty())
        return false;
    for (qsizetype i = titre_replie.indexOf(mot_replie); i >= 0;
         i = titre_replie.indexOf(mot_replie, i + 1)) {
        if (i == 0 || !titre_replie.at(i - 1).isLetterOrNumber())
            return true;
    }
    return false;
}

std::vector<rappel> rappels_des_mots(std::span<const programme_rappel> programmes, const QStringList& mots,
                                     std::span<const rappel> existants, date_heure maintenant) {
    std::vector<rappel> res;
    QStringList replies;
    for (const QString& m : nettoyer_mots(mots))
        replies << replier(m);
    if (replies.isEmpty())
        return res;
    std::set<std::pair<int, std::int64_t>> pris;
    for (const auto& r : existants)
        pris.insert({r.chaine, r.debut.secondes()});
    for (const auto& p : programmes) {
        if (p.debut <= maintenant || pris.contains({p.chaine, p.debut.secondes()}))
            continue;
        const QString titre = replier(p.titre);
        if (std::ranges::none_of(replies, [&](const QString& m) { return titre_contient_mot(titre, m); }))
            continue;
        rappel r;
        r.chaine = p.chaine;
        r.debut = p.debut;
        r.fin = p.fin;
        r.titre = p.titre;
        r.automatique = true;
        res.push_back(std::move(r));
        pris.insert({p.chaine, p.debut.secondes()});
    }
    return res;
}

int nb_rappels_des_mots(std::span<const rappel> rappels, const QStringList& mots, date_heure maintenant) {
    QStringList replies;
    for (const QString& m : nettoyer_mots(mots))
        replies << replier(m);
    int n = 0;
    for (const auto& r : rappels) {
        if (r.envoye || r.retire || r.debut <= maintenant)
            continue;
        const QString titre = replier(r.titre);
        if (std::ranges::any_of(replies, [&](const QString& m) { return titre_contient_mot(titre, m); }))
            ++n;
    }
    return n;
}

QString texte_rappels_des_mots(int nb) {
    if (nb <= 0)
        return QStringLiteral("Aucun programme à venir ne contient vos mots favoris.");
    if (nb == 1)
        return QStringLiteral("1 programme à venir a un rappel grâce à vos mots favoris.");
    return QStringLiteral("%1 programmes à venir ont un rappel grâce à vos mots favoris.").arg(nb);
}

} // namespace zapo::inline noyau
