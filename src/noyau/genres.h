#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// What kind of programme it is, from the categories a feed gives: one genre
// each, for the grid's colours and the lists' genre column and filter.
namespace zapo::inline noyau {

enum class genre_programme : std::uint8_t {
    film,
    serie,
    sport,
    information,
    jeunesse,
    documentaire,
    divertissement,
    musique,
    magazine,
    autre,
};
inline constexpr int nb_genres = 10;

// In the legend's and the filter's order.
inline constexpr std::array<genre_programme, nb_genres> tous_genres = {
    genre_programme::film,           genre_programme::serie,    genre_programme::sport,
    genre_programme::information,    genre_programme::jeunesse, genre_programme::documentaire,
    genre_programme::divertissement, genre_programme::musique,  genre_programme::magazine,
    genre_programme::autre};

// "Film", "Série"... as the legend, the filter and the lists show it.
QString texte_genre(genre_programme g);
// The genre a French or English category text names, if any ("série policière",
// "Sports", "dessin animé", "Magazine d'actualité"); words are compared folded
// (case, accents) and whole, elisions and hyphens splitting them ("Jeunesse" is
// not "Jeu", "Talk-show" is "talk show").
std::optional<genre_programme> genre_categorie(const QString& categorie);
// The programme's genre: the most specific word among all its categories
// ("Magazine" then "Sport" is Sport); Autre when none is known.
genre_programme genre_categories(const QStringList& categories);

// A block's colours as 0xRRGGBB: a fill and a text that reads on it. The hues
// are told apart by colour-blind viewers, and genres next to each other in the
// legend also differ in lightness; `sombre` for a dark theme.
struct couleurs_genre {
    std::uint32_t fond = 0;
    std::uint32_t texte = 0;
};
couleurs_genre couleurs_du_genre(genre_programme g, bool sombre);

} // namespace zapo::inline noyau
