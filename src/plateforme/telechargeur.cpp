#include "plateforme/telechargeur.h"

#include "noyau/version.h"
#include "plateforme/gzip.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace zapo::plateforme {

namespace {

QString texte_erreur(QNetworkReply::NetworkError e, int statut) {
    switch (e) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Connexion refusée par le serveur.");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Serveur introuvable.");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("Le serveur ne répond pas.");
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("Trop de redirections.");
    default:
        break;
    }
    if (statut != 0)
        return QStringLiteral("Le serveur a répondu %1.").arg(statut);
    return QStringLiteral("Échec du transfert.");
}

} // namespace

QString telechargeur::developper(QByteArray& corps, const QByteArray& codage) const {
    if (codage != "gzip" && codage != "x-gzip")
        return QStringLiteral("Compression non prise en charge : %1.").arg(QString::fromLatin1(codage));
    QByteArray brut;
    const issue_gzip issue = inflater_gzip(corps, brut, taille_max_);
    corps = QByteArray();
    if (issue == issue_gzip::trop_gros)
        return QStringLiteral("Le document décompressé dépasse %1 Mo.").arg(taille_max_ / (1024 * 1024));
    if (issue != issue_gzip::ok)
        return QStringLiteral("Le document compressé est endommagé.");
    corps = std::move(brut);
    return {};
}

telechargeur::telechargeur() = default;

telechargeur::~telechargeur() {
    interrompre();
}

void telechargeur::interrompre() {
    if (en_cours_)
        en_cours_->abort();
}

page_telechargee telechargeur::telecharger(const QString& adresse) {
    return telecharger(adresse, demande_page{});
}

page_telechargee telechargeur::telecharger(const QString& adresse, const demande_page& demande) {
    page_telechargee r;
    const qsizetype cap = demande.taille_max > 0 ? std::min(demande.taille_max, taille_max_) : taille_max_;
    const QUrl url(adresse);
    const QString schema = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (schema != u"http" && schema != u"https")) {
        r.erreur = QStringLiteral("Adresse invalide : %1").arg(adresse);
        return r;
    }
    if (!reseau_) {
        // Qt uses the system's proxy settings and expands gzip by default.
        reseau_ = std::make_unique<QNetworkAccessManager>();
        reseau_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }

    QNetworkRequest requete(url);
    if (demande.sans_identifiants) {
        requete.setUrl(url.adjusted(QUrl::RemoveUserInfo));
        // Neither the address's credentials nor any Qt keeps for the host
        // answer a 401: nobody fills the request for them, so it fails.
        requete.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    }
    requete.setMaximumRedirectsAllowed(demande.redirections_max);
    requete.setTransferTimeout(delai_ms_);
    requete.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) Zapo-TV/%1").arg(texte_version()));
    requete.setRawHeader("Accept", "text/html,application/xhtml+xml,*/*;q=0.8");
    requete.setRawHeader("Accept-Language", "fr-FR,fr;q=0.9");
    // Asked for here, so Qt leaves the body compressed: it is expanded below
    // against the size cap, and a refusal can say why.
    requete.setRawHeader("Accept-Encoding", "gzip");
    const bool conditionnelle = !demande.etag.isEmpty() || !demande.modifie_le.isEmpty();
    if (!demande.etag.isEmpty())
        requete.setRawHeader("If-None-Match", demande.etag);
    if (!demande.modifie_le.isEmpty())
        requete.setRawHeader("If-Modified-Since", demande.modifie_le);

    QNetworkReply* reponse = reseau_->get(requete);
    // Qt's own buffer stays small: the body is taken in as it comes, not held twice.
    // Into a device, smaller pieces suffice: each is written at once.
    reponse->setReadBufferSize(demande.sortie ? 64 * 1024 : 256 * 1024);
    en_cours_ = reponse;
    bool trop_gros = false;
    QEventLoop boucle;
    // Into the caller's device: the body is written as it comes, expanded on the way.
    qint64 recus = 0;
    std::unique_ptr<inflateur_gzip> inflateur;
    bool codage_lu = false;
    QString erreur_sortie;
    const auto ecrire = [&](const QByteArray& morceau) {
        recus += morceau.size();
        if (recus > cap) {
            trop_gros = true;
            return false;
        }
        if (!erreur_sortie.isEmpty())
            return false;
        // Only a success's body is kept; an error page (or a redirect's) is read and dropped.
        const int st = reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (st < 200 || st > 299)
            return true;
        if (!codage_lu) {
            codage_lu = true;
            const QByteArray c = reponse->rawHeader("Content-Encoding").trimmed().toLower();
            if (c == "gzip" || c == "x-gzip")
                inflateur = std::make_unique<inflateur_gzip>(taille_max_);
        }
        if (inflateur) {
            if (!inflateur->ajouter(morceau, *demande.sortie)) {
                const issue_gzip issue = inflateur->terminer();
                r.sortie_refusee = issue == issue_gzip::ecriture;
                erreur_sortie = issue == issue_gzip::trop_gros
                                    ? QStringLiteral("Le document décompressé dépasse %1 Mo.")
                                          .arg(taille_max_ / (1024 * 1024))
                                : r.sortie_refusee ? QStringLiteral("Impossible d'écrire la page reçue.")
                                                   : QStringLiteral("Le document compressé est endommagé.");
            }
        } else if (demande.sortie->write(morceau) != morceau.size()) {
            r.sortie_refusee = true;
            erreur_sortie = QStringLiteral("Impossible d'écrire la page reçue.");
        }
        return erreur_sortie.isEmpty();
    };
    QObject::connect(reponse, &QNetworkReply::readyRead, &boucle, [&] {
        if (demande.sortie) {
            if (!ecrire(reponse->readAll()))
                reponse->abort();
            return;
        }
        // The announced length, when under the cap, taken at once: a feed of
        // several megabytes does not go through copies twice its size.
        if (r.corps.isEmpty()) {
            const qint64 annonce = reponse->header(QNetworkRequest::ContentLengthHeader).toLongLong();
            if (annonce > 0 && annonce <= cap)
                r.corps.reserve(qsizetype(annonce));
        }
        r.corps += reponse->readAll();
        if (r.corps.size() > cap) {
            trop_gros = true;
            reponse->abort();
        }
    });
    QObject::connect(reponse, &QNetworkReply::finished, &boucle, &QEventLoop::quit);
    // A server that keeps trickling bytes never trips the silence time-out.
    QTimer plafond;
    plafond.setSingleShot(true);
    QObject::connect(&plafond, &QTimer::timeout, reponse, &QNetworkReply::abort);
    plafond.start(std::chrono::milliseconds(demande.duree_max_ms > 0 ? qint64(demande.duree_max_ms)
                                                                     : qint64(delai_ms_) * 5));
    if (!reponse->isFinished())
        boucle.exec();
    plafond.stop();
    en_cours_.clear();

    // An aborted reply is closed: nothing is left to read.
    if (!trop_gros && reponse->isOpen()) {
        if (demande.sortie) {
            if (erreur_sortie.isEmpty())
                ecrire(reponse->readAll());
        } else {
            r.corps += reponse->readAll();
            trop_gros = r.corps.size() > cap;
        }
    }
    const int statut = reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.type_contenu = reponse->rawHeader("Content-Type");
    const QByteArray codage = reponse->rawHeader("Content-Encoding").trimmed().toLower();
    r.etag = reponse->rawHeader("ETag");
    r.modifie_le = reponse->rawHeader("Last-Modified");
    const QNetworkReply::NetworkError erreur = reponse->error();
    // Wherever redirects led, the answer must come from http or https.
    const QUrl url_finale = reponse->url();
    const QString schema_final = url_finale.scheme().toLower();
    reponse->deleteLater();

    if (trop_gros)
        r.erreur = cap >= 1024 * 1024 ? QStringLiteral("La page dépasse %1 Mo.").arg(cap / (1024 * 1024))
                                      : QStringLiteral("La page dépasse %1 Ko.").arg(cap / 1024);
    else if (schema_final != u"http" && schema_final != u"https")
        r.erreur = QStringLiteral("Adresse invalide : %1").arg(url_finale.toString());
    else if (conditionnelle && erreur == QNetworkReply::NoError && statut == 304)
        r.inchangee = true;
    else if (demande.sortie && !erreur_sortie.isEmpty())
        r.erreur = erreur_sortie; // the transfer was stopped for it
    else if (erreur != QNetworkReply::NoError || statut < 200 || statut > 299)
        r.erreur = texte_erreur(erreur, statut);
    else if (demande.sortie && inflateur && recus > 0 && inflateur->terminer() != issue_gzip::ok)
        r.erreur = QStringLiteral("Le document compressé est endommagé.");
    else if (demande.sortie && !inflateur && !codage.isEmpty() && codage != "identity" && recus > 0)
        r.erreur = QStringLiteral("Compression non prise en charge : %1.").arg(QString::fromLatin1(codage));
    else if (!codage.isEmpty() && codage != "identity" && !r.corps.isEmpty())
        r.erreur = developper(r.corps, codage);
    if (!r.erreur.isEmpty()) {
        r.corps.clear();
        return r;
    }
    r.reussie = true;
    return r;
}

} // namespace zapo::plateforme
