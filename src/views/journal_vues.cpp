#include "views/journal_vues.h"

#include "views/fl_main.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zapo::vues {

void journaliser([[maybe_unused]] const fl_main& f) {
#ifdef ZAPO_CROCHETS_ESSAI
    static const QString journal = qEnvironmentVariable("ZAPO_TV_JOURNAL_VUES");
    if (journal.isEmpty())
        return;
    QJsonArray chaines;
    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = f.lst_chaines->topLevelItem(i);
        chaines.append(QJsonArray{it->text(0), it->text(1), it->text(2)});
    }
    const QJsonObject o{{QStringLiteral("etat"), f.txt_etat->text()},
                        {QStringLiteral("actuel"), f.txt1->text()},
                        {QStringLiteral("progres"), f.progres->value()},
                        {QStringLiteral("chaines"), chaines}};
    QFile fichier(journal);
    if (fichier.open(QIODevice::Append))
        fichier.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
#endif
}

} // namespace zapo::vues
