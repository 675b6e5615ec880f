#pragma once

#include "core/date_heure.h"
#include "core/fiche_programme.h"

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

// XMLTV listings: a `tv` root, `channel` elements with an id, `programme`
// elements with start, stop, channel and title.
namespace zapo::xmltv {

// True when the text is an XML document whose root element is `tv`.
bool est_xmltv(QByteArrayView document);

// "20261207204500 +0100" as seconds since 1970 UTC; false when malformed.
// Without an offset the time is taken as the computer's local time.
bool lire_heure(QStringView texte, qint64& utc);

struct lecture {
    bool ok = false;
    QString erreur;
    QSet<QString> chaines; // every channel id the document names
    // Per channel id: its programmes in time order that start from 00:00 today
    // up to 10:00 tomorrow, at most 100, times in the computer's local time.
    QHash<QString, std::vector<fiche_programme>> programmes;
};

// One pass over the document. `maintenant` is the local wall-clock time.
lecture lire(QByteArrayView document, date_heure maintenant);

} // namespace zapo::xmltv
