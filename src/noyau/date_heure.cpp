#include "noyau/date_heure.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zapo::inline noyau {

namespace {
const QDate origine(1899, 12, 30);
constexpr std::int64_t secondes_1970 = 25569LL * 86400; // 1899-12-30 to 1970-01-01

std::int64_t division_basse(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Of the readings, the one closest to `cible`; the earlier on a tie.
std::int64_t plus_proche(const lectures_instant& l, std::int64_t cible) {
    return std::llabs(l.seconde - cible) < std::llabs(l.premiere - cible) ? l.seconde : l.premiere;
}

std::int64_t jour_de(std::int64_t s) {
    // floor division: values before the origin still get the right day
    return s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
}
} // namespace

date_heure date_heure::depuis_jours(double jours) {
    // Outside the years 100 to 9999 a stored day count is damage, not a date, and
    // its seconds would overflow every later sum: it reads as the origin, like NaN.
    constexpr double premier_jour = -657434.0;  // 0100-01-01
    constexpr double apres_dernier = 2958466.0; // 10000-01-01
    if (!std::isfinite(jours) || jours < premier_jour || jours >= apres_dernier)
        return date_heure();
    return date_heure(std::llround(jours * 86400.0));
}

date_heure date_heure::depuis_date(QDate d, int heure, int minute, int seconde) {
    return date_heure(origine.daysTo(d) * 86400 + std::int64_t(heure) * 3600 + minute * 60 + seconde);
}

date_heure date_heure::depuis_qdatetime(const QDateTime& dt) {
    const QDateTime local = dt.toLocalTime();
    return depuis_date(local.date()) + date_heure(local.time().msecsSinceStartOfDay() / 1000);
}

QDateTime date_heure::en_qdatetime() const {
    return QDateTime(date(), QTime(0, 0).addSecs(seconde_du_jour()));
}

QDate date_heure::date() const {
    return origine.addDays(jour_de(s_));
}

date_heure date_heure::jour() const {
    return date_heure(jour_de(s_) * 86400);
}

int date_heure::seconde_du_jour() const {
    return int(s_ - jour_de(s_) * 86400);
}

QString date_heure::format_hhnn() const {
    return QStringLiteral("%1:%2")
        .arg(heure(), 2, 10, QLatin1Char('0'))
        .arg(minute(), 2, 10, QLatin1Char('0'));
}

QString date_heure::format_jjmmaaaa() const {
    return date().toString(QStringLiteral("dd/MM/yyyy"));
}

int fuseau_local::decalage(std::int64_t instant) {
    const std::int64_t quart = division_basse(instant, 900);
    const auto it = decalages_.constFind(quart);
    if (it != decalages_.cend())
        return *it;
    const int o = QDateTime::fromSecsSinceEpoch(quart * 900, Qt::UTC).toLocalTime().offsetFromUtc();
    if (decalages_.size() > 4096)
        decalages_.clear();
    decalages_.insert(quart, o);
    return o;
}

lectures_instant fuseau_local::lire(date_heure local) {
    // A damaged value beyond the years 100 to 9999 reads as their bound: no sum overflows.
    constexpr std::int64_t premier = -657434LL * 86400, dernier = 2958466LL * 86400 - 1;
    const std::int64_t t = std::clamp(local.secondes(), premier, dernier) - secondes_1970;
    const std::int64_t quart = division_basse(t, 900);
    auto it = lectures_.constFind(quart);
    if (it == lectures_.cend()) {
        // The offsets a day either side; a zone changes at most once between them.
        const int avant = decalage(t - 86400), apres = decalage(t + 86400);
        std::pair<int, int> o{avant, avant};
        if (avant != apres) {
            const std::int64_t q = quart * 900;
            const bool avant_ok = decalage(q - avant) == avant, apres_ok = decalage(q - apres) == apres;
            if (avant_ok && apres_ok)
                o = {std::max(avant, apres), std::min(avant, apres)};
            else if (apres_ok)
                o = {apres, apres};
        }
        if (lectures_.size() > 4096)
            lectures_.clear();
        it = lectures_.insert(quart, o);
    }
    return {t - it->first, t - it->second};
}

int fuseau_local::decalage_lu(date_heure local, std::int64_t instant) {
    // Only a damaged value reads beyond the offsets zones use.
    const std::int64_t o = local.secondes() - secondes_1970 - instant;
    return o >= -18 * 3600 && o <= 18 * 3600 ? int(o) : 0;
}

date_heure fuseau_local::local(std::int64_t instant) {
    return date_heure::depuis_secondes(instant + decalage(instant) + secondes_1970);
}

std::pair<std::int64_t, std::int64_t> suite_instants::lire(fuseau_local& f, date_heure hdeb, date_heure hfin,
                                                           std::optional<date_heure> duree) {
    const lectures_instant d = f.lire(hdeb), e = f.lire(hfin);
    const std::int64_t longueur = std::clamp<std::int64_t>(
        duree && duree->secondes() > 0 ? duree->secondes() : e.premiere - d.premiere, 0, 366LL * 86400);
    std::int64_t debut = d.premiere;
    if (d.ambigue()) {
        if (debut_prec_) {
            if (d.premiere < *debut_prec_)
                debut = d.seconde;
            else if (d.seconde >= *debut_prec_)
                debut = plus_proche(d, fin_prec_);
        } else if (!e.ambigue()) {
            debut = plus_proche(d, e.premiere - longueur);
        }
    }
    const std::int64_t fin = e.ambigue() ? plus_proche(e, debut + longueur) : e.premiere;
    debut_prec_ = debut;
    fin_prec_ = fin;
    return {debut, fin};
}

QString texte_jour_date(date_heure d) {
    static const char16_t* const noms[] = {u"lundi",    u"mardi",  u"mercredi", u"jeudi",
                                           u"vendredi", u"samedi", u"dimanche"};
    const QDate j = d.date();
    return QStringLiteral("%1 %2").arg(QString::fromUtf16(noms[j.dayOfWeek() - 1])).arg(j.day());
}

QString texte_jour(date_heure d, date_heure maintenant) {
    const qint64 ecart = maintenant.date().daysTo(d.date());
    if (ecart == 0)
        return QStringLiteral("Aujourd'hui");
    if (ecart == 1)
        return QStringLiteral("Demain");
    return texte_jour_date(d);
}

} // namespace zapo::inline noyau
