#pragma once

#include "noyau/contexte.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace zapo::apropos {

// Hands a link to the desktop; false when nothing could open it. Tests pass
// their own to capture the link instead of starting a program.
using ouvreur_liens = std::function<bool(const QUrl&)>;
bool ouvrir_par_le_bureau(const QUrl& lien);

// The author's details, as the build sets them.
QString auteur_nom();
QString auteur_mail();
QString auteur_site();
// "A propos de Zapo-TV 2.1.8"
QString sujet_mail();

// The mailto: address, percent-encoded: "?Subject=" (quoted), "&Body=" (quoted),
// "&CC=", "&BCC=", each only when its value is not empty, the first "&" as "?".
QString adresse_mail(const QString& adresse, const QString& sujet, const QString& corps, const QString& copie,
                     const QString& copie_cachee);

// Opens a new message in the user's mail program; says so when none opens.
void envoyer_mail(contexte& ctx, const ouvreur_liens& ouvrir, const QString& adresse, const QString& sujet,
                  const QString& corps, const QString& copie, const QString& copie_cachee);
// Opens the author's web site in the browser; says so when none opens.
void ouvrir_site(contexte& ctx, const ouvreur_liens& ouvrir);
// "Aide": there is no help in this version.
void afficher_aide(contexte& ctx);

} // namespace zapo::apropos
