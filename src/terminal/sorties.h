#pragma once

#include "donnees/base_programmes.h"
#include "noyau/date_heure.h"
#include "noyau/panneau.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <optional>
#include <vector>

// What the terminal commands print, worked out from one reading of the base.
namespace zapo::terminal {

struct maintenant_chaine {
    donnees::chaine chaine;
    std::optional<en_cours_chaine> en_cours; // empty when nothing is on
};

struct soir_chaine {
    donnees::chaine chaine;
    std::vector<ligne_panneau> programmes;
};

// Each chosen channel in stored order, with what the channel list shows for it.
std::vector<maintenant_chaine> calculer_maintenant(donnees::base_programmes& base,
                                                   const QDateTime& maintenant);
// Each chosen channel in stored order, with what the panel's evening rule picks
// on the evening `jour` days after today (0: tonight, as "Ce soir" shows it).
std::vector<soir_chaine> calculer_ce_soir(donnees::base_programmes& base, date_heure maintenant,
                                          int jour = 0);

// How many evenings "Ce soir" offers from `maintenant`: tonight, tomorrow, then
// each later day the week holds.
int soirees_gardees(donnees::base_programmes& base, date_heure maintenant);

// One line per channel, tab-separated; tabs and line breaks inside a text become blanks.
QString texte_maintenant(const std::vector<maintenant_chaine>& v);
QString texte_ce_soir(const std::vector<soir_chaine>& v);
QByteArray json_maintenant(const std::vector<maintenant_chaine>& v);
QByteArray json_ce_soir(const std::vector<soir_chaine>& v);

// The kept week of the chosen channels, details and logos' addresses included,
// as an XMLTV document (UTF-8),
// written to `sortie` as it is read: nothing holds the whole document. False
// as soon as `sortie` fails (its errorString() says why); the rest is not read.
bool ecrire_xmltv(donnees::base_programmes& base, QIODevice& sortie);

// "20261207204500 +0100"; ISO 8601 with the local offset. Local time; in the
// hour the clocks repeat, its earlier reading unless the instant is given.
QString heure_xmltv(date_heure d);
QString heure_iso(date_heure d);
QString heure_xmltv(date_heure d, std::int64_t instant);
QString heure_iso(date_heure d, std::int64_t instant);
// The id a channel gets in the export: the feed's id (the address's fragment)
// when there is one, else "<num_chaine>.zapo-tv".
QString id_xmltv(const donnees::chaine& c);

} // namespace zapo::terminal
