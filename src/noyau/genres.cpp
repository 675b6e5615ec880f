#include "noyau/genres.h"

#include "noyau/repli.h"

#include <span>

namespace zapo::inline noyau {

namespace {

struct mot_genre {
    // Folded words, apart as a category's words come apart (an elision or a hyphen
    // splits: "film d animation", "talk show"); a final '*' takes any ending
    // ("sport*": sports, sportif).
    const char* mots;
    genre_programme genre;
};

using enum genre_programme;

// Most specific first: the first entry any category holds decides, so that
// categories naming two genres take the one a TV weekly would file them under.
// - Phrases before their words ("dessin anime" before "anime", "jeux
//   olympiques" before "jeux", "serie documentaire" before "serie").
// - A film whatever its subject ("Film d'animation", "Comédie musicale"); an
//   animated series is for the young ("Série d'animation", "Dessin animé").
// - Youth, sport and music before "magazine": "Magazine jeunesse" is Jeunesse,
//   "Magazine sportif" Sport, "Magazine musical" Musique.
// - "Magazine" before the news and documentary words: "Magazine d'actualité",
//   "Magazine historique", "Magazine de découvertes" are magazines, Information
//   keeps the bulletins (journal, météo) and Documentaire the documentaries.
// - Documentary, film and series words before the entertainment ones ("Série
//   humoristique" is a Série).
// - Words that only name a magazine's subject last ("Cuisine", "Reportage",
//   "Émission religieuse"), so that "Jeu culinaire" stays a game.
constexpr mot_genre table_genres[] = {
    {"film d animation", film},
    {"dessin* anime*", jeunesse},
    {"serie* d animation", jeunesse},
    {"serie documentaire", documentaire},
    {"jeux olympiques", sport},
    {"comedie musicale", film},
    {"court* metrage*", film},
    {"long* metrage*", film},
    {"jeunesse", jeunesse},
    {"enfant*", jeunesse},
    {"children*", jeunesse},
    {"kids", jeunesse},
    {"animation", jeunesse},
    {"anime", jeunesse},
    {"cartoon*", jeunesse},
    {"sport*", sport},
    {"multisport*", sport},
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
    {"equitation", sport},
    {"natation", sport},
    {"patinage", sport},
    {"magazine* musi*", musique},
    {"magazine*", magazine},
    {"journal", information},
    {"jt", information},
    {"info", information},
    {"infos", information},
    {"information*", information},
    {"actualite*", information},
    {"news", information},
    {"current affairs", information},
    {"meteo", information},
    {"weather", information},
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
    {"operas", musique},
    {"operette*", musique},
    {"ballet*", musique},
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
    {"telerealite", divertissement},
    {"tele realite", divertissement},
    {"reality", divertissement},
    {"humour", divertissement},
    {"comedy", divertissement},
    {"spectacle*", divertissement},
    {"theatre", divertissement},
    {"cirque", divertissement},
    {"reportage*", magazine},
    {"culinaire*", magazine},
    {"cuisine", magazine},
    {"cooking", magazine},
    {"religi*", magazine},
};

// The words of a folded category: runs of letters and digits. An elision ("d'",
// "l'", "qu'", either apostrophe), a hyphen or any other sign parts them.
QStringList mots_de(const QString& replie) {
    QStringList mots;
    qsizetype debut = -1;
    for (qsizetype i = 0; i <= replie.size(); ++i) {
        const bool lettre = i < replie.size() && replie[i].isLetterOrNumber();
        if (lettre && debut < 0)
            debut = i;
        else if (!lettre && debut >= 0) {
            mots.append(replie.mid(debut, i - debut));
            debut = -1;
        }
    }
    return mots;
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
    case magazine:
        return QStringLiteral("Magazine");
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
        {0xCC79A7, 0xA94D85}, // Magazine: reddish purple, deeper
        {0xC8C8C8, 0x555555}, // Autre: grey, between
    };
    const paire& p = table[static_cast<int>(g)];
    return sombre ? couleurs_genre{p.sombre, 0xFFFFFF} : couleurs_genre{p.clair, 0x000000};
}

} // namespace zapo::inline noyau
