#include "crochets/journal_boites.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace zapo::crochets {

std::optional<reponse_boite> journaliser_boite(const QString& titre, const QString& texte, icone_boite icone,
                                               boutons_boite boutons) {
    static const QString journal = qEnvironmentVariable("ZAPO_TV_JOURNAL_BOITES");
    if (journal.isEmpty())
        return std::nullopt;
    QFile f(journal);
    if (f.open(QIODevice::Append | QIODevice::Text)) {
        const QJsonObject o{{QStringLiteral("titre"), titre},
                            {QStringLiteral("texte"), texte},
                            {QStringLiteral("icone"), int(icone)}};
        f.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + "\n");
    }
    return boutons == boutons_boite::oui_non ? reponse_boite::oui : reponse_boite::ok;
}

} // namespace zapo::crochets
