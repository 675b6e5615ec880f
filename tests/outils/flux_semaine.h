#pragma once
// XMLTV feeds spanning days around a fixed noon, for the runs that keep the week.
#include "noyau/date_heure.h"
#include "noyau/fiche_programme.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <vector>

namespace zapo::essais {

// Tuesday 8 December 2026, noon.
inline const QDateTime midi_semaine(QDate(2026, 12, 8), QTime(12, 0));

inline QByteArray heure_flux(QDate j, int h, int mi) {
    return QDateTime(j, QTime(h, mi)).toString(QStringLiteral("yyyyMMddHHmm")).toLatin1() + "00 +0100";
}

inline QByteArray programme_flux(QDate j, int h, int mi, const QByteArray& titre,
                                 const QByteArray& corps = {}, const QByteArray& chaine = "A.fr") {
    return "<programme start=\"" + heure_flux(j, h, mi) + "\" channel=\"" + chaine + "\"><title>" + titre +
           "</title>" + corps + "</programme>";
}

// From the day before yesterday to `dernier` days ahead: a morning and an evening each day.
inline QByteArray dix_jours(const QByteArray& chaine = "A.fr", const QByteArray& suffixe = {},
                            int dernier = 10) {
    QByteArray p;
    for (int k = -2; k <= dernier; ++k) {
        const QDate j = midi_semaine.date().addDays(k);
        p += programme_flux(j, 6, 0, "J" + QByteArray::number(k) + " matin" + suffixe, {}, chaine);
        p += programme_flux(j, 20, 45, "J" + QByteArray::number(k) + " soir" + suffixe,
                            "<desc>Soir " + QByteArray::number(k) + suffixe + "</desc>", chaine);
    }
    return p;
}

// A document naming the channels A.fr and B.fr.
inline QByteArray flux_ab(const QByteArray& programmes) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv><channel "
           "id=\"A.fr\"><display-name>A</display-name>"
           "</channel><channel id=\"B.fr\"><display-name>B</display-name></channel>" +
           programmes + "</tv>";
}

inline QStringList titres(const std::vector<fiche_programme>& v) {
    QStringList r;
    for (const auto& p : v)
        r << p.programme;
    return r;
}

} // namespace zapo::essais
