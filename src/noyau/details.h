#pragma once

#include <QString>
#include <QStringList>

namespace zapo::inline noyau {

// What a feed says a programme is about, beside its title. Schedule pages give
// none of it; every text is already cut to its cap by the reader.
struct details_programme {
    QString sous_titre;
    QString description;
    QStringList categories;
    QString episode_ns;    // "1.4.0/12", zero-based, as the feed gives it
    QString episode_ecran; // "S02E05", shown as given
    QString annee;         // the feed's `date`, first four digits
    QString realisateur;
    QStringList acteurs;      // the first three
    QString classement;       // CSA value: "-12", "12", "Tout public"...
    bool rediffusion = false; // `previously-shown`
    bool inedit = false;      // `premiere` or `new`
    QString etoiles;          // `star-rating`, "3/5"

    bool vide() const {
        return sous_titre.isEmpty() && description.isEmpty() && categories.isEmpty() &&
               episode_ns.isEmpty() && episode_ecran.isEmpty() && annee.isEmpty() && realisateur.isEmpty() &&
               acteurs.isEmpty() && classement.isEmpty() && !rediffusion && !inedit && etoiles.isEmpty();
    }
    bool operator==(const details_programme&) const = default;
};

// Caps, in characters or items, so that a hostile feed cannot fill the base.
inline constexpr qsizetype description_max = 2000;
inline constexpr qsizetype nom_max = 200; // a category, a name, an episode text
inline constexpr int categories_max = 5;
inline constexpr int acteurs_max = 3;

// "Saison 2, épisode 5" from "1.4.0/12"; "Épisode 5" without a season, "Saison 2"
// without an episode; empty when neither can be read.
QString texte_episode_ns(QStringView ns);
// The episode as shown: xmltv_ns when readable, else the on-screen text.
QString texte_episode(const details_programme& d);
// "Déconseillé aux moins de 12 ans" for "-12" or "12"; "Tout public" for the
// general category; other values as given.
QString texte_classement(QStringView valeur);

// "Inédit" (first showing), else "Rediffusion", else empty.
QString texte_diffusion(const details_programme& d);
// "3/5" from a star-rating value ("3/5", " 3 / 5 ", "3.5/5"); empty when it is not one.
QString lire_etoiles(QStringView valeur);

// A few plain lines for a tooltip: sub-title, episode, year and categories,
// then the description cut to a few hundred characters. Empty without details.
QString resume_details(const details_programme& d);
// Everything, one item per line, for the "Détails" window.
QString texte_details(const QString& titre, const details_programme& d);

// The "Détails" window's text: the title, the channel, the day with start, end
// and length ("Aujourd'hui, de 20:50 à 22:40 (1h50)"), then texte_details's lines.
QString texte_fiche(const QString& titre, const QString& chaine, const QString& quand,
                    const details_programme& d);

// Helpers for storing the lists as one text.
QString joindre(const QStringList& l);
QStringList separer(const QString& s);

} // namespace zapo::inline noyau
