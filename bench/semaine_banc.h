#pragma once
// A kept week as an update leaves it: for each channel, eight days from 00:00
// of `jour` with every detail a public feed gives (sub-title, categories,
// people, a description of a few sentences), in `semaine`; its first rows, up
// to 10:00 the next day and at most 100, in `liste` with their details.
#include "base_vide.h"
#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "noyau/fiche_programme.h"

#include <array>
#include <vector>

namespace zapo::bancs {

inline QString titre_semaine(int i, int c) {
    static const std::array<const char*, 12> titres = {"Le Journal de 20 heures",
                                                       "Été meurtrier",
                                                       "Les Feux de l'amour",
                                                       "Météo",
                                                       "Des chiffres et des lettres",
                                                       "Questions pour un champion",
                                                       "Cœur océan",
                                                       "Plus belle la vie",
                                                       "Télématin",
                                                       "La Grande Librairie",
                                                       "Envoyé spécial",
                                                       "C dans l'air"};
    return QString::fromUtf8(titres[std::size_t((i + c) % int(titres.size()))]) +
           QStringLiteral(" — épisode %1").arg(i * 7 + c);
}

inline details_programme details_semaine(int i, int c) {
    static const std::array<const char*, 6> genres = {"Série", "Magazine", "Film",
                                                      "Sport", "Jeu",      "Information"};
    details_programme d;
    d.sous_titre = QStringLiteral("Épisode %1 : le retour").arg(i % 40 + 1);
    d.categories = {QString::fromUtf8(genres[std::size_t((i + c) % 6)]), QStringLiteral("Divertissement")};
    d.acteurs = {QStringLiteral("Camille Durand"), QStringLiteral("Hélène Petit %1").arg(i % 9)};
    d.realisateur = QStringLiteral("Jean Lefèvre");
    d.description = QStringLiteral("Une description comme en donnent les guides : l'intrigue, les invités, "
                                   "les lieux du tournage et la distribution, en quelques phrases. Numéro %1 "
                                   "de la chaîne %2, diffusé à l'heure habituelle.")
                        .arg(i)
                        .arg(c);
    d.rediffusion = i % 3 == 0;
    d.etoiles = i % 5 == 0 ? QStringLiteral("3/5") : QString();
    return d;
}

// `nb_chaines` channels numbered from 1, into a base without channels;
// programmes of 10 to 60 minutes (about 35 a day each). Returns the number of
// week rows written.
inline qint64 ecrire_semaine_banc(donnees::base_programmes& base, int nb_chaines, QDate jour) {
    qint64 lignes = 0;
    donnees::transaction ecriture(base);
    const date_heure debut = date_heure::depuis_date(jour);
    const date_heure fin = debut + date_heure::duree_hm(24 * jours_semaine, 0);
    const date_heure fin_liste = debut + date_heure::duree_hm(34, 0);
    for (int c = 1; c <= nb_chaines; ++c) {
        base.ajouter_chaine({c, QStringLiteral("Chaine %1").arg(c),
                             QStringLiteral("http://127.0.0.1/%1").arg(c), (c - 1) % 16 + 1});
        std::vector<fiche_programme> v;
        date_heure t = debut + date_heure::duree_hm(0, c % 7);
        for (int i = 0; t < fin && i < max_programmes_semaine; ++i) {
            const date_heure d = date_heure::duree_hm(0, 10 + (i * 7 + c) % 51);
            fiche_programme p{titre_semaine(i, c), t, d, t + d};
            p.details = details_semaine(i, c);
            v.push_back(std::move(p));
            t += d;
        }
        std::vector<fiche_programme> liste;
        for (const fiche_programme& p : v)
            if (p.hdeb < fin_liste && liste.size() < 100)
                liste.push_back(p);
        base.remplacer_programmes(c, liste);
        donnees::remplacer_details(base, c, liste);
        donnees::remplacer_semaine(base, c, v);
        lignes += qint64(v.size());
    }
    ecriture.valider();
    return lignes;
}

inline qint64 remplir_semaine_banc(const QString& chemin, int nb_chaines, QDate jour) {
    creer_base_vide(chemin);
    donnees::base_programmes base(chemin);
    donnees::mettre_a_niveau(base);
    return ecrire_semaine_banc(base, nb_chaines, jour);
}

} // namespace zapo::bancs
