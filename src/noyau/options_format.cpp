#include "noyau/options_format.h"

#include <array>

namespace zapo::inline noyau {

namespace {

std::optional<bool> valeur_de(QByteArrayView champ) {
    const QByteArray t = champ.toByteArray().trimmed();
    if (t == "#TRUE#")
        return true;
    if (t == "#FALSE#")
        return false;
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double n = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return n != 0.0;
}

} // namespace

std::optional<valeurs_options> lire_options(QByteArrayView contenu) {
    std::array<bool, 4> lus{};
    qsizetype debut = 0;
    for (int i = 0; i < 4; ++i) {
        if (debut >= contenu.size())
            return std::nullopt;
        qsizetype fin = debut;
        while (fin < contenu.size() && contenu[fin] != '\n' && contenu[fin] != '\r' && contenu[fin] != ',')
            ++fin;
        const auto v = valeur_de(contenu.sliced(debut, fin - debut));
        if (!v)
            return std::nullopt;
        lus[size_t(i)] = *v;
        // One field separator: a comma, or a line end (CR LF counts as one).
        if (fin < contenu.size() && contenu[fin] == '\r' && fin + 1 < contenu.size() &&
            contenu[fin + 1] == '\n')
            ++fin;
        debut = fin + 1;
    }
    return valeurs_options{lus[0], lus[1], lus[2], lus[3]};
}

QByteArray ecrire_options(const valeurs_options& v) {
    QByteArray s;
    for (bool b : {v.opt_majauto, v.opt_connexion, v.opt_deconnexion, v.opt_agent})
        s += b ? "#TRUE#\r\n" : "#FALSE#\r\n";
    return s;
}

} // namespace zapo::inline noyau
