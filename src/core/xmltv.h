#pragma once

#include "core/date_heure.h"
#include "core/fiche_programme.h"

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>

#include <span>
#include <vector>

// XMLTV listings: a `tv` root, `channel` elements with an id, `programme`
// elements with start, stop, channel and title.
namespace zapo {

// True when the text is an XML document whose root element is `tv`.
bool est_xmltv(QByteArrayView document);

// "20261207204500 +0100" as seconds since 1970 UTC; false when malformed.
// Without an offset the time is taken as the computer's local time.
bool lire_heure_xmltv(QStringView texte, qint64& utc);

// A channel the run wants: the id its address names, and its stored name.
struct chaine_voulue {
    QString id;
    QString nom;
};

// How a wanted channel was found in the feed.
enum class regle_xmltv { identifiant, casse, nom_affiche };

// Text an entity may stand for, and what all entity references of one
// document may add up to (characters).
inline constexpr int entite_max_xmltv = 1024;
inline constexpr qint64 entites_total_max_xmltv = 2'000'000;
// Elements open at once; a listing needs five or six.
inline constexpr int profondeur_max_xmltv = 1000;

struct lecture_xmltv {
    bool ok = false;
    QString erreur;
    // Every channel id the document names; with wanted channels, those of them found.
    QSet<QString> chaines;
    // Per channel id (the wanted id when channels were asked for): its
    // programmes in time order that start from 00:00 today up to 10:00
    // tomorrow, at most 100, times in the computer's local time.
    QHash<QString, std::vector<fiche_programme>> programmes;
    // Per channel id, the same way: the week, from 00:00 today for `jours_semaine`
    // days, at most `max_programmes_semaine`. `programmes` is its beginning.
    QHash<QString, std::vector<fiche_programme>> semaine;
    // Per wanted id found: the rule that matched, and the feed's id.
    QHash<QString, std::pair<regle_xmltv, QString>> correspondances;
};

// Lowercase letters and digits only, without accents: "L'Équipe" gives "lequipe".
QString nom_simplifie(QStringView nom);

// One pass over the document, reading every channel. `maintenant` is the local wall-clock time.
lecture_xmltv lire_xmltv(QByteArrayView document, date_heure maintenant);

// The same pass keeping only the wanted channels: the exact id, else the id
// ignoring case (when one only), else the one channel whose display-name is
// the stored name ignoring case, accents, blanks and punctuation.
lecture_xmltv lire_xmltv(QByteArrayView document, date_heure maintenant,
                         std::span<const chaine_voulue> voulues);

} // namespace zapo
