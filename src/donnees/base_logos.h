#pragma once

#include "donnees/base_programmes.h"
#include "noyau/date_heure.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <map>

// Channels' logos, in `logos_chaines`: a table of its own, created when
// missing; older files do not have it and read as having no logos.
namespace zapo::donnees {

struct logo_chaine {
    int num_chaine = 0;
    QString adresse;  // the icon's address in the feed
    QByteArray image; // PNG of our own making; empty when none could be had
    QByteArray etag;  // validators of the copy held, for a conditional request
    QByteArray modifie_le;
    date_heure verifie;  // the last attempt
    bool reussi = false; // whether that attempt brought or confirmed the picture
};

void creer_logos(base_programmes& b);
// Every row, pictures included; empty without the table.
std::map<int, logo_chaine> lire_etats_logos(base_programmes& b);
void ecrire_logo(base_programmes& b, const logo_chaine& l);
void effacer_logo(base_programmes& b, int num_chaine);
// Logos of channels no longer in `chaines`.
void effacer_logos_orphelins(base_programmes& b);
// What the windows draw: channel -> PNG, only the channels that have one.
QHash<int, QByteArray> lire_logos(base_programmes& b);
// The icons' addresses as the feeds gave them, pictures left unread: channel ->
// address, only the channels that have one.
QHash<int, QString> lire_adresses_logos(base_programmes& b);

} // namespace zapo::donnees
