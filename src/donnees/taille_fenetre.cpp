#include "donnees/taille_fenetre.h"

#include <QRegularExpression>

#include <cstdlib>

namespace zapo::donnees {

namespace {

// Beyond any screen: a value edited by hand is not taken for a size.
constexpr int taille_max = 16384;

} // namespace

std::optional<QSize> lire_taille_fenetre(base_programmes& b) {
    if (!b.a_table("reglages"))
        return std::nullopt;
    requete r(b.connexion(), "SELECT valeur FROM reglages WHERE cle = 'taille_fenetre'", b.chemin());
    if (!r.pas())
        return std::nullopt;
    static const QRegularExpression forme(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch m = forme.match(r.texte(0).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QSize t(m.captured(1).toInt(), m.captured(2).toInt());
    if (t.width() < 1 || t.height() < 1 || t.width() > taille_max || t.height() > taille_max)
        return std::nullopt;
    return t;
}

void ecrire_taille_fenetre(base_programmes& b, QSize taille) {
    requete(b.connexion(), "CREATE TABLE IF NOT EXISTS reglages (cle TEXT PRIMARY KEY, valeur TEXT)", b.chemin())
        .executer();
    requete(b.connexion(), "INSERT OR REPLACE INTO reglages (cle, valeur) VALUES ('taille_fenetre', ?1)",
            b.chemin())
        .lier(1, QStringLiteral("%1x%2").arg(taille.width()).arg(taille.height()))
        .executer();
}

std::optional<QRect> lire_place_grille(base_programmes& b) {
    if (!b.a_table("reglages"))
        return std::nullopt;
    requete r(b.connexion(), "SELECT valeur FROM reglages WHERE cle = 'place_grille'", b.chemin());
    if (!r.pas())
        return std::nullopt;
    static const QRegularExpression forme(
        QStringLiteral("^(-?\\d{1,5}),(-?\\d{1,5}),(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch m = forme.match(r.texte(0).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QRect p(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    if (p.width() < 1 || p.height() < 1 || p.width() > taille_max || p.height() > taille_max ||
        std::abs(p.x()) > taille_max || std::abs(p.y()) > taille_max)
        return std::nullopt;
    return p;
}

void ecrire_place_grille(base_programmes& b, QRect place) {
    requete(b.connexion(), "CREATE TABLE IF NOT EXISTS reglages (cle TEXT PRIMARY KEY, valeur TEXT)", b.chemin())
        .executer();
    requete(b.connexion(), "INSERT OR REPLACE INTO reglages (cle, valeur) VALUES ('place_grille', ?1)",
            b.chemin())
        .lier(1, QStringLiteral("%1,%2,%3x%4")
                     .arg(place.x())
                     .arg(place.y())
                     .arg(place.width())
                     .arg(place.height()))
        .executer();
}

} // namespace zapo::donnees
