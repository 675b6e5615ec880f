#pragma once

#include "noyau/date_heure.h"
#include "noyau/fiche_programme.h"

#include <QByteArrayView>

class QIODevice;
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <utility>
#include <vector>

// XMLTV listings: a `tv` root, `channel` elements with an id, `programme`
// elements with start, stop, channel and title.
namespace zapo::inline noyau {

// True when the text is an XML document whose root element is `tv`.
bool est_xmltv(QByteArrayView document);

// "20261207204500 +0100" as seconds since 1970 UTC; false when malformed.
// Without an offset the time is taken as the computer's local time.
bool lire_heure_xmltv(QStringView texte, qint64& utc);

// A channel the run wants: the id its address names, and its stored name.
struct chaine_voulue {
    chaine_voulue(QString i = {}, QString n = {}, QStringList ai = {}, QStringList an = {})
        : id(std::move(i)), nom(std::move(n)), autres_ids(std::move(ai)), autres_noms(std::move(an)) {}
    QString id;
    QString nom;
    // Other ids and names the channel has been known by (alias_chaines.h).
    QStringList autres_ids;
    QStringList autres_noms;
};

// How a wanted channel was found in the feed.
enum class regle_xmltv { identifiant, casse, nom_affiche, ancien_identifiant, ancien_nom };

// The longest icon address kept; a longer one is dropped.
inline constexpr int icone_max_xmltv = 2048;

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
    // Channel ids (as above) whose document goes on after their week: later
    // days, or programmes beyond the cap.
    QSet<QString> au_dela;
    // Per wanted id found: the rule that matched, and the feed's id.
    QHash<QString, std::pair<regle_xmltv, QString>> correspondances;
    // Per channel id (as above): the first `icon src` of its channel element, as written.
    QHash<QString, QString> icones;
};

// Lowercase letters and digits only, without accents: "L'Équipe" gives "lequipe".
QString nom_simplifie(QStringView nom);

// A channel id the XMLTV tools accept: labels of ASCII letters, digits and
// hyphens, at least two, joined by dots ("France2.fr"). A valid id is kept as
// it is; another loses its accents, its other characters become hyphens, and
// ".zapo-tv" ends it when it has one label only ("France 2" gives
// "France-2.zapo-tv"); nothing usable gives "<numéro>.zapo-tv".
QString identifiant_xmltv_valide(QStringView id, int num_chaine);

// One pass over the document, reading every channel. `maintenant` is the local wall-clock time.
lecture_xmltv lire_xmltv(QByteArrayView document, date_heure maintenant);

// The same pass keeping only the wanted channels: the exact id, else the id
// ignoring case (when one only), else one of its other ids (exact or ignoring
// case, when one only), else the one channel whose display-name is the stored
// name ignoring case, accents, blanks and punctuation, else the one whose
// display-name is one of its other names.
lecture_xmltv lire_xmltv(QByteArrayView document, date_heure maintenant,
                         std::span<const chaine_voulue> voulues);

// The same pass over a document kept in a device (a temporary file), for a feed
// too big to hold at once: each feed channel's programmes are set aside in
// `debord` (another temporary file, empty) as soon as the feed moves on to
// another channel, and read back one wanted channel at a time, so that memory
// holds one channel's programmes, not the feed's. Nothing of a channel is given
// before the whole document was read and found sound, as with `lire_xmltv`.
class lecture_xmltv_differee {
public:
    lecture_xmltv_differee(QIODevice& document, QIODevice& debord, date_heure maintenant,
                           std::span<const chaine_voulue> voulues);
    ~lecture_xmltv_differee();

    // What lire_xmltv gives but the programmes: ok, erreur, chaines,
    // correspondances, icones; `programmes`, `semaine` and `au_dela` stay empty.
    const lecture_xmltv& entete() const { return entete_; }

    struct chaine_lue {
        std::vector<fiche_programme> programmes;
        std::vector<fiche_programme> semaine;
        bool au_dela = false;
        // Its programmes could not be set aside whole, or read back (a full
        // temporary folder): nothing of it is given.
        bool perdue = false;
    };
    // A wanted channel found (by its wanted id), as lire_xmltv gives it; empty otherwise.
    chaine_lue extraire(const QString& id) const;

private:
    struct etat;
    std::vector<chaine_voulue> voulues_;
    std::unique_ptr<etat> e_;
    lecture_xmltv entete_;
};

// A feed's channel on a run whose document had not changed since `semaine` was
// read from it: the week from 00:00 of `maintenant`'s day, and `liste`'s rows,
// its beginning up to 10:00 tomorrow, at most 100, as reading the document
// again that day would give them (when the document held nothing after that week).
struct jour_xmltv {
    std::vector<fiche_programme> programmes;
    std::vector<fiche_programme> semaine;
};
jour_xmltv reprendre_semaine(std::vector<fiche_programme> semaine, date_heure maintenant);

} // namespace zapo::inline noyau
