#include "vues/genres_vues.h"

#include "vues/outils_vues.h"

#include <QComboBox>
#include <QTreeWidget>

namespace zapo::vues {

QComboBox* creer_filtre_genres(QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QStringLiteral("cbo_genre"));
    c->setAccessibleName(QStringLiteral("Genre"));
    c->addItem(QStringLiteral("Tous les genres"));
    for (genre_programme g : tous_genres)
        c->addItem(texte_genre(g));
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

std::optional<genre_programme> genre_choisi(const QComboBox* filtre) {
    const int i = filtre->currentIndex();
    if (i <= 0 || i > nb_genres)
        return std::nullopt;
    return tous_genres[size_t(i - 1)];
}

void eteindre_autres_genres(QTreeWidget* liste, int colonne_genre, std::optional<genre_programme> g) {
    const QString voulu = g ? texte_genre(*g) : QString();
    const QBrush eteint = liste->palette().brush(QPalette::Disabled, QPalette::Text);
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = liste->topLevelItem(i);
        if (!it->data(0, role_debut).isValid())
            continue;
        const bool autre = g && it->text(colonne_genre) != voulu;
        for (int c = 0; c < liste->columnCount(); ++c) {
            // A row never dimmed is left alone: writing "no colour" to each cell
            // told the view of a change thousands of times a refill.
            if (!autre && !it->data(c, Qt::ForegroundRole).isValid())
                continue;
            it->setData(c, Qt::ForegroundRole, autre ? QVariant(eteint) : QVariant());
        }
    }
}

} // namespace zapo::vues
