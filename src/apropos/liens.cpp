#include "apropos/liens.h"

#include "apropos/auteur.h"
#include "noyau/version.h"

#include <QDesktopServices>

namespace zapo::apropos {

namespace {

// Everything but the unreserved characters and those listed is encoded.
QString encoder(const QString& valeur, const QByteArray& laisses) {
    return QString::fromLatin1(QUrl::toPercentEncoding(valeur, laisses));
}

} // namespace

bool ouvrir_par_le_bureau(const QUrl& lien) {
    return QDesktopServices::openUrl(lien);
}

QString auteur_nom() {
    return QString::fromUtf8(ZAPO_AUTEUR_NOM_UTF8);
}
QString auteur_mail() {
    return QString::fromUtf8(ZAPO_AUTEUR_MAIL_UTF8);
}
QString auteur_site() {
    return QString::fromUtf8(ZAPO_AUTEUR_SITE_UTF8);
}
QString sujet_mail() {
    return QStringLiteral("A propos de Zapo-TV ") + texte_version();
}

QString adresse_mail(const QString& adresse, const QString& sujet, const QString& corps, const QString& copie,
                     const QString& copie_cachee) {
    // The quotes around the subject and the body are part of the values.
    const QString guillemet = QStringLiteral("\"");
    QString requete;
    if (!sujet.isEmpty())
        requete = QStringLiteral("&Subject=") + encoder(guillemet + sujet + guillemet, {});
    if (!corps.isEmpty())
        requete += QStringLiteral("&Body=") + encoder(guillemet + corps + guillemet, {});
    // Address lists keep their "@" and their separating commas.
    if (!copie.isEmpty())
        requete += QStringLiteral("&CC=") + encoder(copie, "@,");
    if (!copie_cachee.isEmpty())
        requete += QStringLiteral("&BCC=") + encoder(copie_cachee, "@,");
    if (requete.startsWith(QLatin1Char('&')))
        requete[0] = QLatin1Char('?');
    return QStringLiteral("mailto:") + encoder(adresse, "@,") + requete;
}

void envoyer_mail(contexte& ctx, const ouvreur_liens& ouvrir, const QString& adresse, const QString& sujet,
                  const QString& corps, const QString& copie, const QString& copie_cachee) {
    const QUrl lien = QUrl::fromEncoded(adresse_mail(adresse, sujet, corps, copie, copie_cachee).toLatin1(),
                                        QUrl::StrictMode);
    if (lien.isValid() && ouvrir && ouvrir(lien))
        return;
    ctx.boites->afficher(
        QStringLiteral("Zapo-TV"),
        QStringLiteral("Aucun programme de messagerie n'a pu être ouvert pour écrire à « %1 ».").arg(adresse),
        icone_boite::exclamation);
}

void ouvrir_site(contexte& ctx, const ouvreur_liens& ouvrir) {
    const QString site = auteur_site();
    QUrl lien(site, QUrl::StrictMode);
    if (lien.scheme().isEmpty())
        lien = QUrl::fromUserInput(site);
    // Only a web address goes to the desktop: never a file or a program.
    const bool web =
        lien.isValid() && (lien.scheme() == QLatin1String("https") || lien.scheme() == QLatin1String("http"));
    if (web && ouvrir && ouvrir(lien))
        return;
    ctx.boites->afficher(
        QStringLiteral("Zapo-TV"),
        QStringLiteral("Aucun navigateur n'a pu être ouvert pour afficher le site « %1 ».").arg(site),
        icone_boite::exclamation);
}

void afficher_aide(contexte& ctx) {
    ctx.boites->afficher(QStringLiteral("Zapo-TV"), QStringLiteral("Indisponible dans cette version."),
                         icone_boite::information);
}

} // namespace zapo::apropos
