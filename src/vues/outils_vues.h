#pragma once

#include "composants/texte_montre.h"
#include "noyau/details.h"

#include <QString>
#include <QTreeWidget>
#include <QtGlobal>

namespace zapo::vues {

// Sizes are given in twips; the screen counts 15 twips to the pixel.
constexpr int pixels(int twips) {
    return twips / 15;
}

// A tooltip that shows its text as written, never as markup.
inline QString infobulle(const QString& titre) {
    return composants::texte_brut_affiche(titre);
}

// A programme's tooltip: its title, then a summary of its details when there are any.
inline QString infobulle_details(const QString& titre, const details_programme* d) {
    const QString resume = d ? resume_details(*d) : QString();
    return infobulle(resume.isEmpty() ? titre : titre + QLatin1Char('\n') + resume);
}

// What every row of lst_chaines and lst_prog carries in column 0, for all the
// code that needs it back: nothing reads a number from a cell's text.
// The channel's number (int), on channel rows and on programme rows.
inline constexpr int role_num_chaine = Qt::UserRole;
// A programme row's start, as date_heure seconds (qint64).
inline constexpr int role_debut = Qt::UserRole + 1;
// A programme row's position (from 1) among the current channel's stored rows,
// so that marks follow programmes once sorted.
inline constexpr int role_position = Qt::UserRole + 2;

// The row of lst_chaines that holds this channel, or none.
inline QTreeWidgetItem* ligne_chaine(const QTreeWidget* chaines, int num_chaine) {
    for (int i = 0; i < chaines->topLevelItemCount(); ++i)
        if (chaines->topLevelItem(i)->data(0, role_num_chaine).toInt() == num_chaine)
            return chaines->topLevelItem(i);
    return nullptr;
}

// The programme a result row stands for, as the main window finds it again.
struct cible_programme {
    int chaine = 0;
    qint64 debut = 0; // date_heure seconds
    int position = 0; // from 1, among the channel's stored rows; 0 for a later day
    QString titre;
};

} // namespace zapo::vues
