#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <QHash>

#include <compare>
#include <cstdint>
#include <optional>

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

// The two readings of a wall-clock value as an instant (seconds since 1970 UTC).
// Where the clocks go back, the hour before the change happens twice: `premiere`
// is its summer-time reading, `seconde` its winter-time one. Elsewhere both are
// the same; a value that the spring change skipped reads with the offset it had
// before the change (02:30 is 03:30 summer time).
struct lectures_instant {
    std::int64_t premiere = 0;
    std::int64_t seconde = 0;
    bool ambigue() const { return premiere != seconde; }
};

// The computer's zone, offsets kept by quarter hour (no zone changes off a
// quarter hour): a pass over the stored rows asks thousands of times.
class fuseau_local {
public:
    lectures_instant lire(date_heure local);
    // The offset from UTC in force at an instant.
    int decalage(std::int64_t instant);
    // The offset a reading took: the wall-clock value minus its instant.
    static int decalage_lu(date_heure local, std::int64_t instant);
    date_heure local(std::int64_t instant);

private:
    QHash<std::int64_t, int> decalages_;
    QHash<std::int64_t, std::pair<int, int>> lectures_;
};

// One channel's programmes, given in their stored (time) order, as instants. In
// the repeated hour a wall-clock time alone is ambiguous; the programmes follow
// each other, so a start is the reading closest to where the previous programme
// ended and never before the previous start (the second 02:10 after a 02:50 is
// winter time); the first one takes the reading its own end and length agree
// with, else the earlier. An end is the reading closest to its start plus the
// programme's length (`duree`, the real one, or the wall-clock span without it).
class suite_instants {
public:
    std::pair<std::int64_t, std::int64_t> lire(fuseau_local& f, date_heure hdeb, date_heure hfin,
                                               std::optional<date_heure> duree);

private:
    std::optional<std::int64_t> debut_prec_;
    std::int64_t fin_prec_ = 0;
};

} // namespace zapo::inline noyau
