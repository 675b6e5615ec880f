// A base of the terminal tests' own: three channels around the evening of 7 December 2026.
#pragma once

#include "donnees/base_logos.h"
#include "donnees/base_programmes.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "outils/dossier_essai.h"

#include <QDate>
#include <QStringList>

#include <vector>

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
    donnees::transaction ecriture(b);
    for (const r& x : rangs) {
        fiche_programme f;
        f.programme = x.titre;
        f.hdeb = dh_terminal(x.jour_deb, QString::fromLatin1(x.deb));
        f.hfin = dh_terminal(x.jour_fin, QString::fromLatin1(x.fin));
        f.duree = f.hfin - f.hdeb;
        b.ajouter_programme(f, x.chaine);
    }
    ecriture.valider();
}

// Over remplir_base_terminal's rows, the week a feed gave France 2 (its `liste`
// rows, then the evenings of 8 and 9 December, every detail set) and Télé « Été »
// (its rows, then 8 December); Arte, a schedule page, has none. Logos: France 2's
// address needs escaping, Arte's is not http. Returns France 2's week.
inline std::vector<fiche_programme> remplir_semaine_terminal(const QString& chemin) {
    donnees::base_programmes b(chemin);
    const auto fiche = [](int jour, const char* deb, int jour_fin, const char* fin, const QString& titre) {
        fiche_programme f;
        f.programme = titre;
        f.hdeb = dh_terminal(jour, QString::fromLatin1(deb));
        f.hfin = dh_terminal(jour_fin, QString::fromLatin1(fin));
        f.duree = f.hfin - f.hdeb;
        return f;
    };
    std::vector<fiche_programme> f2, f4;
    b.parcourir_liste([&](const donnees::ligne_liste& l) {
        if (l.chaine != 3)
            (l.chaine == 2 ? f2 : f4)
                .push_back({l.programme, l.hdeb, l.duree.value_or(date_heure{}), l.hfin});
    });
    f2.push_back(fiche(1, "19:00", 1, "20:45", QStringLiteral("Journal du soir")));
    f2.push_back(fiche(1, "20:45", 1, "22:35", QStringLiteral("Le match")));
    f2.back().details.sous_titre = QStringLiteral("Demi-finale");
    f2.back().details.description = QStringLiteral("Lyon & Lille <en direct>");
    f2.back().details.categories = {QStringLiteral("Sport"), QStringLiteral("Football")};
    f2.back().details.annee = QStringLiteral("2026");
    f2.back().details.realisateur = QStringLiteral("Jeanne Martin");
    f2.back().details.acteurs = {QStringLiteral("Ann"), QStringLiteral("Bob")};
    f2.back().details.inedit = true;
    f2.back().details.etoiles = QStringLiteral("3/5");
    f2.push_back(fiche(1, "22:35", 1, "23:40", QStringLiteral("Après-match")));
    f2.back().details.rediffusion = true;
    f2.push_back(fiche(2, "21:00", 2, "23:00", QStringLiteral("Concert")));
    f2.back().details.etoiles = QStringLiteral("4,5/5"); // as the reader keeps it
    f4.push_back(fiche(1, "21:10", 2, "00:30", QStringLiteral("Soirée « Été »")));
    donnees::transaction ecriture(b);
    donnees::remplacer_semaine(b, 2, f2);
    donnees::remplacer_semaine(b, 4, f4);
    donnees::logo_chaine l2;
    l2.num_chaine = 2;
    l2.adresse = QStringLiteral("http://127.0.0.1:1/logos/france 2.png?taille=64&fond=\"blanc\"");
    donnees::ecrire_logo(b, l2);
    donnees::logo_chaine l3;
    l3.num_chaine = 3;
    l3.adresse = QStringLiteral("file:///etc/passwd");
    donnees::ecrire_logo(b, l3);
    ecriture.valider();
    return f2;
}

} // namespace zapo::essais
