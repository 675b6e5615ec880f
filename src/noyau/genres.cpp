#include "noyau/genres.h"

#include "noyau/repli.h"

#include <QRegularExpression>

#include <span>

namespace zapo::inline noyau {

namespace {

struct mot_genre {
    const char* mots; // folded words; a final '*' takes any ending ("sport*": sports, sportif)
    genre_programme genre;
};

using enum genre_programme;

// Most specific first: the first entry any category holds decides.
// Several words before their parts ("dessin anime" before "anime", "jeux
// olympiques" before "jeux", "serie documentaire" before "serie").
constexpr mot_genre table_genres[] = {
    {"film d'animation", film},
    {"dessin* anime*", jeunesse},
    {"serie d'animation", jeunesse},
    {"serie documentaire", documentaire},
    {"magazine d'information*", information},
    {"jeux olympiques", sport},
    {"comedie musicale", film},
    {"jeunesse", jeunesse},
    {"enfant*", jeunesse},
    {"children*", jeunesse},
    {"kids", jeunesse},
    {"animation", jeunesse},
    {"anime", jeunesse},
    {"cartoon*", jeunesse},
    {"sport*", sport},
    {"football", sport},
    {"rugby", sport},
    {"tennis", sport},
    {"cyclisme", sport},
    {"basket*", sport},
    {"handball", sport},
    {"athletisme", sport},
    {"golf", sport},
    {"ski", sport},
    {"boxe", sport},
    {"formule 1", sport},
    {"journal", information},
    {"information*", information},
    {"actualite*", information},
    {"news", information},
    {"meteo", information},
    {"politique", information},
    {"debat*", information},
    {"documentaire*", documentaire},
    {"documentary", documentaire},
    {"decouverte*", documentaire},
    {"histoire", documentaire},
    {"nature", documentaire},
    {"concert*", musique},
    {"musi*", musique},
    {"clip*", musique},
    {"opera", musique},
    {"music*", musique},
    {"telefilm*", film},
    {"film*", film},
    {"movie*", film},
    {"cinema", film},
    {"serie*", serie},
    {"series", serie},
    {"feuilleton*", serie},
    {"sitcom*", serie},
    {"soap", serie},
    {"divertissement*", divertissement},
    {"entertainment", divertissement},
    {"jeu", divertissement},
    {"jeux", divertissement},
    {"game show", divertissement},
    {"variete*", divertissement},
    {"talk show", divertissement},
    {"talk-show", divertissement},
    {"telerealite", divertissement},
    {"tele-realite", divertissement},
    {"reality", divertissement},
    {"humour", divertissement},
    {"comedy", divertissement},
};

// The words of a folded category: letters, digits and the apostrophe inside
// a word kept ("d'animation"), everything else a separator.
QStringList mots_de(const QString& replie) {
    static const QRegularExpression separateurs(QStringLiteral("[^\\w']+"));
    return replie.split(separateurs, Qt::SkipEmptyParts);
}

bool mot_correspond(const QString& mot, QStringView cle) {
    if (cle.endsWith(u'*'))
        return mot.startsWith(cle.chopped(1));
    return mot == cle;
}

// Whether the category's words hold the entry's words side by side.
bool contient(const QStringList& mots, const QStringList& cle) {
    for (qsizetype i = 0; i + cle.size() <= mots.size(); ++i) {
        bool ok = true;
        for (qsizetype k = 0; k < cle.size() && ok; ++k)
            ok = mot_correspond(mots[i + k], cle[k]);
        if (ok)
            return true;
    }
    return false;
}

const std::vector<QStringList>& cles_table() {
    static const std::vector<QStringList> cles = [] {
        std::vector<QStringList> v;
        for (const mot_genre& m : table_genres)
            v.push_back(QString::fromLatin1(m.mots).split(QLatin1Char(' ')));
        return v;
    }();
    return cles;
}

// The rank in the table of the first entry the words hold; none if none does.
std::optional<size_t> rang(const QStringList& mots) {
    const auto& cles = cles_table();
    for (size_t i = 0; i < cles.size(); ++i)
        if (contient(mots, cles[i]))
            return i;
    return std::nullopt;
}

} // namespace

QString texte_genre(genre_programme g) {
    switch (g) {
    case film:
        return QStringLiteral("Film");
    case serie:
        return QStringLiteral("Série");
    case sport:
        return QStringLiteral("Sport");
    case information:
        return QStringLiteral("Information");
    case jeunesse:
        return QStringLiteral("Jeunesse");
    case documentaire:
        return QStringLiteral("Documentaire");
    case divertissement:
        return QStringLiteral("Divertissement");
    case musique:
        return QStringLiteral("Musique");
    case autre:
        break;
    }
    return QStringLiteral("Autre");
}

std::optional<genre_programme> genre_categorie(const QString& categorie) {
    if (const auto r = rang(mots_de(replier(categorie))))
        return table_genres[*r].genre;
    return std::nullopt;
}

genre_programme genre_categories(const QStringList& categories) {
    std::optional<size_t> meilleur;
    for (const QString& c : categories)
        if (const auto r = rang(mots_de(replier(c))); r && (!meilleur || *r < *meilleur))
            meilleur = r;
    return meilleur ? table_genres[*meilleur].genre : autre;
}

couleurs_genre couleurs_du_genre(genre_programme g, bool sombre) {
    // Hues from a palette made for colour-blind viewers (orange, sky blue, bluish
    // green, yellow, blue, vermilion, reddish purple), each genre alternating
    // pale and deeper so that neighbours differ in lightness as well as hue.
    // Light theme: fills under black text (pale or deeper as noted); dark theme:
    // fills under white, lighter where the light one is deeper.
    struct paire {
        std::uint32_t clair, sombre;
    };
    static constexpr paire table[nb_genres] = {
        {0xF0B89E, 0xB5501C}, // Film: vermilion, deeper
        {0xD6ECFA, 0x0F3550}, // Série: sky blue, pale
        {0x8ED3BC, 0x007A5A}, // Sport: bluish green, deeper
        {0xFAF4B4, 0x3F3A00}, // Information: yellow, pale
        {0xF2BE5A, 0x9A6400}, // Jeunesse: orange, deeper
        {0xF1DAE7, 0x4A1F38}, // Documentaire: reddish purple, pale
        {0x8CB9DE, 0x2B6CA3}, // Divertissement: blue, deeper
        {0xE6E0F5, 0x2E2650}, // Musique: lavender, pale
        {0xC8C8C8, 0x555555}, // Autre: grey, between
    };
    const paire& p = table[static_cast<int>(g)];
    return sombre ? couleurs_genre{p.sombre, 0xFFFFFF} : couleurs_genre{p.clair, 0x000000};
}

} // namespace zapo::inline noyau
