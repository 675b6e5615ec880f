#include "core/sante.h"

#include <QLocale>

namespace zapo {

QString infobulle_sante(bool succes, int nb_programmes, const QString& raison, date_heure quand) {
    if (succes && nb_programmes > 0)
        return {};
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
    const QString date = QLocale(QLocale::French, QLocale::France)
                             .toString(quand.en_qdatetime(), QStringLiteral("dddd d MMMM 'à' HH:mm"));
    return QStringLiteral("Dernière mise à jour : %1, %2").arg(quoi, date);
}

} // namespace zapo
