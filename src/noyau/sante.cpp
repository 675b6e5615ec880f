#include "noyau/sante.h"

#include <QLocale>
#include <QRegularExpression>

#include <optional>

namespace zapo::inline noyau {

namespace {

const QString absente = QStringLiteral("Cette chaîne manque dans le programme reçu.");

// The feed's id when the reason says the feed does not list the channel: this
// version's words, or those of earlier versions still in a base.
std::optional<QString> id_absente(const QString& raison) {
    static const QRegularExpression maintenant(QStringLiteral(
        "^Cette chaîne manque dans le programme reçu\\. Identifiant dans le flux : « (.*) »\\.$"));
    static const QRegularExpression avant(
        QStringLiteral("^La chaîne « (.*) » n'est pas dans le programme reçu\\.$"));
    for (const QRegularExpression* e : {&maintenant, &avant})
        if (const QRegularExpressionMatch m = e->match(raison); m.hasMatch())
            return m.captured(1);
    return std::nullopt;
}

} // namespace

QString raison_chaine_absente(const QString& id) {
    return absente + QStringLiteral(" Identifiant dans le flux : « %1 ».").arg(id);
}

QString infobulle_sante(bool succes, int nb_programmes, const QString& raison, date_heure quand) {
    if (succes && nb_programmes > 0)
        return {};
    const QString date = QLocale(QLocale::French, QLocale::France)
                             .toString(quand.en_qdatetime(), QStringLiteral("dddd d MMMM 'à' HH:mm"));
    if (const std::optional<QString> id = succes ? std::nullopt : id_absente(raison))
        return QStringLiteral("%1\nDernière mise à jour : %2\nIdentifiant dans le flux : « %3 »")
            .arg(absente, date, *id);
    QString quoi;
    if (succes) {
        quoi = QStringLiteral("aucun programme reçu");
    } else {
        // The reason is a sentence of its own: it becomes a clause here.
        QString r = raison.trimmed();
        while (r.endsWith(QLatin1Char('.')))
            r.chop(1);
        if (!r.isEmpty() && !(r.size() > 1 && r[1].isUpper()))
            r[0] = r[0].toLower();
        quoi = r.isEmpty() ? QStringLiteral("échec") : QStringLiteral("échec (%1)").arg(r);
    }
    return QStringLiteral("Dernière mise à jour : %1, %2").arg(quoi, date);
}

} // namespace zapo::inline noyau
