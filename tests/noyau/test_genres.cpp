// Genres from real category words of French feeds, and their colours.
#include "noyau/genres.h"

#include <QTest>

#include <cmath>

using namespace zapo;

Q_DECLARE_METATYPE(zapo::genre_programme)

namespace {

// Relative luminance as contrast is measured on screens.
double luminance(std::uint32_t rgb) {
    const auto canal = [](std::uint32_t c) {
        const double v = double(c & 0xFF) / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * canal(rgb >> 16) + 0.7152 * canal(rgb >> 8) + 0.0722 * canal(rgb);
}

double contraste(std::uint32_t a, std::uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class test_genres : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void categories_data();
    void categories();
    void couleurs_data();
    void couleurs();
};

void test_genres::categories_data() {
    QTest::addColumn<QStringList>("cats");
    QTest::addColumn<genre_programme>("attendu");
    using enum genre_programme;
    const auto r = [](const char* nom, QStringList c, genre_programme g) { QTest::newRow(nom) << c << g; };
    r("film", {QStringLiteral("Film")}, film);
    r("téléfilm", {QStringLiteral("Téléfilm")}, film);
    r("movie", {QStringLiteral("Movie / Drama")}, film);
    r("série policière", {QStringLiteral("Série policière")}, serie);
    r("feuilleton", {QStringLiteral("feuilleton réaliste")}, serie);
    r("magazine sportif", {QStringLiteral("Magazine sportif")}, sport);
    r("sports", {QStringLiteral("Sports")}, sport);
    r("journal", {QStringLiteral("Journal")}, information);
    r("news", {QStringLiteral("News / Current affairs")}, information);
    r("dessin animé", {QStringLiteral("Dessin animé")}, jeunesse);
    r("série d'animation", {QStringLiteral("Série d'animation")}, jeunesse);
    r("documentaire animalier", {QStringLiteral("Documentaire animalier")}, documentaire);
    r("série documentaire", {QStringLiteral("Série documentaire")}, documentaire);
    r("jeu", {QStringLiteral("Jeu")}, divertissement);
    r("jeunesse is not jeu", {QStringLiteral("Jeunesse")}, jeunesse);
    r("jeux olympiques", {QStringLiteral("Jeux olympiques")}, sport);
    r("concert", {QStringLiteral("Concert")}, musique);
    r("music english", {QStringLiteral("Music")}, musique);
    r("several: magazine then sport", {QStringLiteral("Magazine"), QStringLiteral("Sport")}, sport);
    r("several: série then policier", {QStringLiteral("Série"), QStringLiteral("Policier")}, serie);
    r("several: film then animation", {QStringLiteral("Film"), QStringLiteral("Film d'animation")}, film);
    r("unknown word", {QStringLiteral("Magazine")}, autre);
    r("none", {}, autre);
}

void test_genres::categories() {
    QFETCH(QStringList, cats);
    QFETCH(genre_programme, attendu);
    QCOMPARE(texte_genre(genre_categories(cats)), texte_genre(attendu));
}

void test_genres::couleurs_data() {
    QTest::addColumn<bool>("sombre");
    QTest::newRow("clair") << false;
    QTest::newRow("sombre") << true;
}

void test_genres::couleurs() {
    QFETCH(bool, sombre);
    for (int i = 0; i < nb_genres; ++i) {
        const couleurs_genre c = couleurs_du_genre(tous_genres[i], sombre);
        // The title reads on its block.
        QVERIFY2(contraste(c.fond, c.texte) >= 4.5, qPrintable(texte_genre(tous_genres[i])));
        // Neighbours in the legend differ in lightness, not only in hue.
        if (i > 0) {
            const couleurs_genre p = couleurs_du_genre(tous_genres[i - 1], sombre);
            QVERIFY2(contraste(c.fond, p.fond) >= 1.25, qPrintable(texte_genre(tous_genres[i])));
        }
        for (int k = 0; k < i; ++k)
            QVERIFY(couleurs_du_genre(tous_genres[k], sombre).fond != c.fond);
    }
}

QTEST_APPLESS_MAIN(test_genres)
#include "test_genres.moc"
