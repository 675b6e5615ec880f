#pragma once

#include "donnees/base_programmes.h"
#include "noyau/date_heure.h"

#include <QByteArray>
#include <QString>

#include <map>

// What a channel's rows were last read from, in `validateurs`: a table of its
// own, created when missing. The address's validators let the next run ask the
// server whether the document changed; older files do not have it and every
// address is then fetched whole.
namespace zapo::donnees {

struct validateurs_chaine {
    int num_chaine = 0;
    QString adresse;       // the channel's address, fragment included
    QByteArray etag;       // as the server sent them
    QByteArray modifie_le; // Last-Modified
    bool flux = false;     // an XMLTV feed (else a schedule page)
    bool entiere = false;  // the feed gave nothing after the channel's week
    QString icone;         // the icon the feed gave the channel
    date_heure date;       // when the document was read
};

void creer_validateurs(base_programmes& b);
// Those of channels that still hold their week; empty without the table.
std::map<int, validateurs_chaine> lire_validateurs(base_programmes& b);
// Inside the caller's transaction, beside the rows read from that document;
// validators both empty remove the channel's row.
void ecrire_validateurs(base_programmes& b, const validateurs_chaine& v);
void effacer_validateurs_orphelins(base_programmes& b);

} // namespace zapo::donnees
