#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <compare>
#include <cstdint>

namespace zapo::inline noyau {

// A point in local wall-clock time, or a length, held as whole seconds since
// 30 December 1899 00:00. The database keeps the classic day count (a REAL with
// the time of day as the fraction); inside the program everything is integral so
// that 20:50 -> 21:35 is exactly 00:45 and no floating-point drift decides a test.
class date_heure {
public:
    constexpr date_heure() = default;

    static constexpr date_heure depuis_secondes(std::int64_t s) { return date_heure(s); }
    static constexpr date_heure duree_hm(int heures, int minutes, int secondes = 0) {
        return date_heure(std::int64_t(heures) * 3600 + std::int64_t(minutes) * 60 + secondes);
    }
    // Rounded to the nearest second.
    static date_heure depuis_jours(double jours);
    static date_heure depuis_date(QDate d, int heure = 0, int minute = 0, int seconde = 0);
    // Local wall-clock reading of the given moment (milliseconds dropped).
    static date_heure depuis_qdatetime(const QDateTime& dt);

    constexpr std::int64_t secondes() const { return s_; }
    double en_jours() const { return double(s_) / 86400.0; }
    // Local time; an invalid QDateTime when the value falls in a spring-forward gap.
    QDateTime en_qdatetime() const;

    QDate date() const;
    // 00:00 of this value's calendar date.
    date_heure jour() const;
    int seconde_du_jour() const;
    int heure() const { return seconde_du_jour() / 3600; }
    int minute() const { return seconde_du_jour() / 60 % 60; }

    QString format_hhnn() const;     // "20:50"
    QString format_jjmmaaaa() const; // "07/12/2026"

    constexpr auto operator<=>(const date_heure&) const = default;
    constexpr date_heure operator+(date_heure o) const { return date_heure(s_ + o.s_); }
    constexpr date_heure operator-(date_heure o) const { return date_heure(s_ - o.s_); }
    constexpr date_heure& operator+=(date_heure o) {
        s_ += o.s_;
        return *this;
    }
    constexpr date_heure& operator-=(date_heure o) {
        s_ -= o.s_;
        return *this;
    }

private:
    constexpr explicit date_heure(std::int64_t s) : s_(s) {}
    std::int64_t s_ = 0;
};

// "samedi 12": the weekday and the day of the month, in French whatever the locale.
QString texte_jour_date(date_heure d);
// "Aujourd'hui", "Demain", else as texte_jour_date: the day of `d` seen from `maintenant`.
QString texte_jour(date_heure d, date_heure maintenant);

inline constexpr date_heure une_heure = date_heure::duree_hm(1, 0);
inline constexpr date_heure un_jour = date_heure::duree_hm(24, 0);

} // namespace zapo::inline noyau
