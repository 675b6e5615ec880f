#include "noyau/soirees.h"

#include "noyau/fiche_programme.h"
#include "noyau/repli.h"

#include <QRegularExpression>

namespace zapo::inline noyau {

soirees::soirees(std::span<const int> chaines, date_heure maintenant)
    : chaines_(chaines.begin(), chaines.end()), maintenant_(maintenant) {
    for (int c : chaines_)
        par_chaine_.insert(c, {});
}

soirees::soirees(std::span<const int> chaines, date_heure maintenant, date_heure jour)
    : soirees(chaines, maintenant) {
    jour_ = jour.jour();
    premiere_ = false;
}

QStringList choix_soirees(date_heure maintenant, std::optional<date_heure> dernier) {
    QStringList res{QStringLiteral("Ce soir"), QStringLiteral("Demain soir")};
    const date_heure aujourdhui = maintenant.jour();
    if (!dernier)
        return res;
    for (int k = 2; k < jours_semaine; ++k) {
        const date_heure jour = aujourdhui + date_heure::duree_hm(24 * k, 0);
        // The evening runs past midnight: a day is offered when something starts from its 00:00.
        if (dernier->jour() < jour)
            break;
        res << texte_jour_date(jour);
    }
    return res;
}

std::optional<jour_soiree> lire_jour_soiree(const QString& texte, date_heure maintenant) {
    const QString t = replier(texte).simplified();
    if (t == QLatin1String("aujourd'hui"))
        return jour_soiree{0, false};
    if (t == QLatin1String("demain"))
        return jour_soiree{1, false};
    static const QRegularExpression forme(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (forme.match(t).hasMatch()) {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid())
            return std::nullopt;
        return jour_soiree{maintenant.date().daysTo(d), false};
    }
    // The window's own labels, for as many evenings as it may ever offer.
    const date_heure aujourdhui = maintenant.jour();
    const QStringList offertes =
        choix_soirees(maintenant, aujourdhui + date_heure::duree_hm(24 * (jours_semaine - 1), 0));
    for (int k = 0; k < offertes.size(); ++k) {
        const QString jour = replier(texte_jour_date(aujourdhui + date_heure::duree_hm(24 * k, 0)));
        if (t == replier(offertes[k]) || t == jour)
            return jour_soiree{k, k > 1 || t == jour};
    }
    // A weekday alone: the first such day from today, within a week.
    for (int k = 0; k < 7; ++k) {
        const QString jour = replier(texte_jour_date(aujourdhui + date_heure::duree_hm(24 * k, 0)));
        if (t == jour.section(QLatin1Char(' '), 0, 0))
            return jour_soiree{k, true};
    }
    return std::nullopt;
}

bool soirees::titre_utile(const ligne_panneau& l) const {
    const date_heure jour = premiere_ ? jour_programmes(l.hdeb, maintenant_) : jour_;
    const auto it = par_chaine_.constFind(l.chaine);
    return it != par_chaine_.cend() && it->lignes.size() < soir_par_chaine &&
           au_soir(l.hdeb, l.hfin, l.duree, jour, maintenant_);
}

void soirees::ajouter(const ligne_panneau& l) {
    if (premiere_) {
        jour_ = jour_programmes(l.hdeb, maintenant_);
        premiere_ = false;
    }
    const auto it = par_chaine_.find(l.chaine);
    // The rule keeps rows on their own merits and in order: the first ones it keeps are the picks.
    if (it == par_chaine_.end() || it->lignes.size() >= soir_par_chaine ||
        !au_soir(l.hdeb, l.hfin, l.duree, jour_, maintenant_))
        return;
    it->lignes.push_back(l);
}

std::vector<std::vector<ligne_panneau>> soirees::resultat() const {
    std::vector<std::vector<ligne_panneau>> res;
    res.reserve(chaines_.size());
    for (int c : chaines_) {
        const auto it = par_chaine_.constFind(c);
        std::vector<ligne_panneau> choix;
        if (it != par_chaine_.cend())
            choix = it->lignes;
        if (choix.size() > soir_par_chaine)
            choix.resize(soir_par_chaine);
        res.push_back(std::move(choix));
    }
    return res;
}

std::vector<ligne_soir> lignes_ce_soir(std::span<const chaine_soir> chaines,
                                       const std::vector<std::vector<ligne_panneau>>& choix,
                                       size_t par_chaine) {
    std::vector<ligne_soir> res;
    const QString rien = QStringLiteral("...");
    for (size_t i = 0; i < chaines.size(); ++i) {
        const chaine_soir& c = chaines[i];
        const std::vector<ligne_panneau> vide;
        const std::vector<ligne_panneau>& l = i < choix.size() ? choix[i] : vide;
        if (l.empty()) {
            res.push_back({c.num_chaine, c.nom, c.num_image, true, true, rien, rien, rien, rien, {}});
            continue;
        }
        for (size_t k = 0; k < l.size() && k < par_chaine; ++k) {
            const ligne_panneau& p = l[k];
            res.push_back({c.num_chaine, c.nom, c.num_image, k == 0, false, p.hdeb.format_hhnn(),
                           p.hfin.format_hhnn(), p.programme,
                           texte_duree(longueur_programme(p.hdeb, p.hfin, p.duree)), p.hdeb});
        }
    }
    return res;
}

QString texte_duree(date_heure longueur) {
    const qint64 minutes = std::max<qint64>(0, (longueur.secondes() + 30) / 60);
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    const qint64 h = minutes / 60, m = minutes % 60;
    if (m == 0)
        return QStringLiteral("%1h").arg(h);
    return QStringLiteral("%1h%2").arg(h).arg(m, 2, 10, QLatin1Char('0'));
}

QString texte_horaire(date_heure hdeb, date_heure hfin, std::optional<date_heure> duree,
                      date_heure maintenant) {
    return QStringLiteral("%1, de %2 à %3 (%4)")
        .arg(texte_jour(hdeb, maintenant), hdeb.format_hhnn(), hfin.format_hhnn(),
             texte_duree(longueur_programme(hdeb, hfin, duree)));
}

} // namespace zapo::inline noyau
