#include "crochets/releve_vues.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>

namespace zapo::crochets {

void ecrire_releve_vues(const QWidget& f) {
    static const QString journal = qEnvironmentVariable("ZAPO_TV_JOURNAL_VUES");
    if (journal.isEmpty())
        return;
    // Read by their names, as a screen reader or a test finds them.
    const auto* lst_chaines = f.findChild<const QTreeWidget*>(QStringLiteral("lst_chaines"));
    const auto* txt_etat = f.findChild<const QLabel*>(QStringLiteral("txt_etat"));
    const auto* txt1 = f.findChild<const QLabel*>(QStringLiteral("txt1"));
    const auto* progres = f.findChild<const QProgressBar*>(QStringLiteral("progres"));
    if (!lst_chaines || !txt_etat || !txt1 || !progres)
        return;
    QJsonArray chaines;
    for (int i = 0; i < lst_chaines->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = lst_chaines->topLevelItem(i);
        chaines.append(QJsonArray{it->text(0), it->text(1), it->text(2)});
    }
    const QJsonObject o{{QStringLiteral("etat"), txt_etat->text()},
                        {QStringLiteral("actuel"), txt1->text()},
                        {QStringLiteral("progres"), progres->value()},
                        {QStringLiteral("chaines"), chaines}};
    QFile fichier(journal);
    if (fichier.open(QIODevice::Append))
        fichier.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
}

} // namespace zapo::crochets
