#include "noyau/date_heure.h"

#include <cmath>

namespace zapo::inline noyau {

namespace {
const QDate origine(1899, 12, 30);

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
