#pragma once

#include <QString>
#include <QTextDocument>
#include <QtGlobal>

namespace zapo::vues {

// Sizes are given in twips; the screen counts 15 twips to the pixel.
constexpr int pixels(int twips) {
    return twips / 15;
}

// A tooltip that shows the title as written: Qt would take a title that looks
// like markup for rich text, so such a title is escaped first.
inline QString infobulle(const QString& titre) {
    if (!Qt::mightBeRichText(titre))
        return titre;
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(titre.toHtmlEscaped());
}

// Every programme row (programme list, "Ce soir" window): its channel's number,
// and its start as date_heure seconds; a "..." row has no start.
inline constexpr int role_chaine = Qt::UserRole;
inline constexpr int role_debut = Qt::UserRole + 1;

// Key kept on each row of lst_prog: the row's position (from 1) among the
// current channel's stored rows, so that marks follow programmes once sorted.
inline constexpr int role_position = Qt::UserRole + 2;

} // namespace zapo::vues
