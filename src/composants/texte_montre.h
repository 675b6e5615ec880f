#pragma once

#include "noyau/decodage.h"

#include <QString>
#include <QTextDocument>

namespace zapo::composants {

// A tooltip or a label in Qt's automatic format that carries a text from outside
// (a feed, a server's answer, the base): it shows that text as written, inert,
// never as markup. Qt takes a text for rich text when Qt::mightBeRichText says
// so; only such a text is escaped, so that the others stay as they are.
inline QString texte_brut_affiche(const QString& texte) {
    const QString t = texte_inerte(texte);
    if (!Qt::mightBeRichText(t))
        return t;
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(t.toHtmlEscaped());
}

} // namespace zapo::composants
