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
    // One category each, as the French feeds write them.
    const struct {
        const char* texte;
        genre_programme genre;
    } seules[] = {
        {"Film", film},
        {"Film dramatique", film},
        {"Film policier", film},
        {"Téléfilm", film},
        {"Téléfilm policier", film},
        {"Court métrage", film},
        {"Court-métrage", film},
        {"Film d'animation", film},
        {"Film d’animation", film},
        {"Comédie musicale", film},
        {"Série", serie},
        {"Série policière", serie},
        {"Serie policiere", serie},
        {"Série humoristique", serie},
        {"Série dramatique", serie},
        {"Mini-série", serie},
        {"Feuilleton", serie},
        {"feuilleton réaliste", serie},
        {"Sitcom", serie},
        {"Divertissement", divertissement},
        {"Divertissement-humour", divertissement},
        {"Jeu", divertissement},
        {"Jeu télévisé", divertissement},
        {"Jeu culinaire", divertissement},
        {"Talk-show", divertissement},
        {"TALK SHOW", divertissement},
        {"Téléréalité", divertissement},
        {"Télé-réalité", divertissement},
        {"Variétés", divertissement},
        {"Spectacle", divertissement},
        {"Théâtre", divertissement},
        {"Magazine", magazine},
        {"Magazine d'actualité", magazine},
        {"Magazine d'information", magazine},
        {"Magazine historique", magazine},
        {"Magazine culinaire", magazine},
        {"Magazine de société", magazine},
        {"Magazine de découvertes", magazine},
        {"Magazine de l'automobile", magazine},
        {"Magazine du cinéma", magazine},
        {"Reportage", magazine},
        {"Émission religieuse", magazine},
        {"Emission religieuse", magazine},
        {"Religion", magazine},
        {"Magazine sportif", sport},
        {"Magazine musical", musique},
        {"Magazine jeunesse", jeunesse},
        {"Information", information},
        {"Journal", information},
        {"Journal télévisé", information},
        {"Météo", information},
        {"Débat", information},
        {"Sport", sport},
        {"Football", sport},
        {"Rugby", sport},
        {"Multisports", sport},
        {"Jeux olympiques", sport},
        {"Documentaire", documentaire},
        {"Documentaire animalier", documentaire},
        {"Documentaire historique", documentaire},
        {"Série documentaire", documentaire},
        {"Dessin animé", jeunesse},
        {"Jeunesse", jeunesse},
        {"Emission jeunesse", jeunesse},
        {"Série d'animation", jeunesse},
        {"Clip", musique},
        {"Musique", musique},
        {"Concert", musique},
        {"Opéra", musique},
        {"Ballet", musique},
        {"Opération spéciale", autre},
        {"Fin des programmes", autre},
        {"Téléachat", autre},
        // The words English XMLTV and DVB texts use.
        {"Movie", film},
        {"Movie / Drama", film},
        {"Series", serie},
        {"News", information},
        {"News / Current affairs", information},
        {"Sports", sport},
        {"Documentary", documentaire},
        {"Kids", jeunesse},
        {"Children's / Youth programmes", jeunesse},
        {"Music / Ballet / Dance", musique},
        {"Show / Game show", divertissement},
        {"Entertainment", divertissement},
        {"Magazines / Reports / Documentary", magazine},
        {"Weather", information},
    };
    for (const auto& c : seules)
        QTest::newRow(c.texte) << QStringList{QString::fromUtf8(c.texte)} << c.genre;
    // Several categories: the more specific one wins, whatever their order.
    const auto r = [](const char* nom, QStringList c, genre_programme g) { QTest::newRow(nom) << c << g; };
    r("magazine then sport", {QStringLiteral("Magazine"), QStringLiteral("Sport")}, sport);
    r("sport then magazine", {QStringLiteral("Sport"), QStringLiteral("Magazine")}, sport);
    r("magazine then its kind", {QStringLiteral("Magazine"), QStringLiteral("Magazine de société")},
      magazine);
    r("information then magazine", {QStringLiteral("Information"), QStringLiteral("Magazine d'actualité")},
      magazine);
    r("série then policier", {QStringLiteral("Série"), QStringLiteral("Policier")}, serie);
    r("film then animation", {QStringLiteral("Film"), QStringLiteral("Film d'animation")}, film);
    r("divertissement then série", {QStringLiteral("Divertissement"), QStringLiteral("Série")}, serie);
    r("none", {}, autre);
    r("empty texts", {QString(), QStringLiteral(" - ")}, autre);
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
