// A base of the terminal tests' own: three channels around the evening of 7 December 2026.
#pragma once

#include "data/base_programmes.h"
#include "outils/dossier_essai.h"

#include <QDate>
#include <QStringList>

namespace zapo::essais {

inline const QDate jour_terminal(2026, 12, 7);

// "hh:mm" of day `jour` (0 = 7 December) as the base stores it.
inline date_heure dh_terminal(int jour, const QString& hhmm) {
    const QStringList p = hhmm.split(QLatin1Char(':'));
    return date_heure::depuis_date(jour_terminal.addDays(jour), p[0].toInt(), p[1].toInt());
}

// Channel 2 has a feed id and a programme across midnight; channel 3 has
// nothing in the evening; channel 4's first title holds a tab, quotes and accents.
inline void remplir_base_terminal(const QString& chemin) {
    donnees::base_programmes b(chemin);
    b.ajouter_chaine(
        {2, QStringLiteral("France 2"), QStringLiteral("http://127.0.0.1:1/tnt.xml#France2.fr"), 2});
    b.ajouter_chaine({3, QStringLiteral("Arte"), QStringLiteral("http://127.0.0.1:1/arte.html"), 3});
    b.ajouter_chaine({4, QStringLiteral("Télé « Été »"), QStringLiteral("http://127.0.0.1:1/ete.xml#"), 4});
    struct r {
        int chaine;
        int jour_deb;
        const char* deb;
        int jour_fin;
        const char* fin;
        QString titre;
    };
    const r rangs[] = {
        {2, 0, "19:00", 0, "20:40", QStringLiteral("Journal")},
        {2, 0, "20:40", 0, "22:30", QStringLiteral("Le film")},
        {2, 0, "22:30", 0, "23:30", QStringLiteral("Débat")},
        {2, 0, "23:30", 1, "00:40", QStringLiteral("Nuit blanche")},
        {3, 0, "06:00", 0, "07:00", QStringLiteral("Matin")},
        {4, 0, "20:50", 0, "22:00", QStringLiteral("Le \"grand\" soir\tà l'Élysée & <co>")},
        {4, 0, "22:00", 0, "22:30", QStringLiteral("Court")},
    };
    b.commencer();
    for (const r& x : rangs) {
        fiche_programme f;
        f.programme = x.titre;
        f.hdeb = dh_terminal(x.jour_deb, QString::fromLatin1(x.deb));
        f.hfin = dh_terminal(x.jour_fin, QString::fromLatin1(x.fin));
        f.duree = f.hfin - f.hdeb;
        b.ajouter_programme(f, x.chaine);
    }
    b.valider();
}

} // namespace zapo::essais
