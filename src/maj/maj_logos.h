#pragma once

#include "noyau/date_heure.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <span>

// Channels' logos, fetched after the programmes from the icon their feed gives.
namespace zapo::maj {

class recuperateur;

// A logo's download is refused beyond this.
inline constexpr qsizetype logo_octets_max = 256 * 1024;
// Pictures declaring more pixels are refused before they are decoded.
inline constexpr qint64 logo_pixels_max = 2048 * 2048;
// Kept at most this size: three device pixels to each of the 48 x 35 drawn.
inline constexpr int logo_largeur = 144;
inline constexpr int logo_hauteur = 105;
// A logo is asked again after a week, one that could not be had after a day.
inline constexpr qint64 logo_recheck_s = 7 * 86400;
inline constexpr qint64 logo_nouvel_essai_s = 86400;
// What all logos of a run may take, and one of them.
inline constexpr int logos_duree_ms = 30000;
inline constexpr int logo_duree_ms = 10000;

struct logo_decode {
    QByteArray png; // our own PNG, at most logo_largeur x logo_hauteur; empty when refused
    QString erreur;
};

// PNG, JPEG, GIF or BMP, told by its first bytes; anything else is refused.
logo_decode decoder_logo(const QByteArray& octets);

// What the run read of a channel: the icon its feed gives (empty: none, or a page).
struct chaine_lue {
    int num_chaine = 0;
    QString icone;
};

// After the run's commit: the names on air for channels that were given an
// older one, then the logos that are due. Never throws; a logo that cannot be
// had is logged and the channel keeps what it showed. `annoncer` is called
// before the first download; `arreter` is asked before each.
void completer_chaines(const QString& chemin_base, recuperateur& r, std::span<const chaine_lue> lues,
                       date_heure maintenant, const std::function<bool()>& arreter,
                       const std::function<void()>& annoncer);

} // namespace zapo::maj
