#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QIODevice;

namespace zapo::plateforme {

struct page_telechargee {
    bool reussie = false;
    QByteArray corps;
    QByteArray type_contenu; // the Content-Type header as sent
    QString erreur;          // French, empty when the transfer succeeded
    // A conditional request answered 304: the copy the caller holds is current, corps is empty.
    bool inchangee = false;
    QByteArray etag;       // the ETag header as sent, for a later conditional request
    QByteArray modifie_le; // the Last-Modified header as sent
    // The caller's device (`demande_page::sortie`) refused some of the body.
    bool sortie_refusee = false;
};

// What one transfer may differ in from a schedule page's.
struct demande_page {
    // Sent as If-None-Match and If-Modified-Since when not empty.
    QByteArray etag;
    QByteArray modifie_le;
    qsizetype taille_max = 0; // 0: the fetcher's own cap
    int duree_max_ms = 0;     // the whole transfer; 0: five times the silence allowed
    int redirections_max = 20;
    // When set, the body goes there as it arrives (expanded when sent with
    // Content-Encoding) and `corps` stays empty: a large document is never held
    // in memory. What it holds after a failure means nothing.
    QIODevice* sortie = nullptr;
    // An address taken from a document (a logo's): the user name and password
    // it may carry are never sent, nor those given for other addresses.
    bool sans_identifiants = false;
};

// Fetches one page over HTTP(S) as a browser would: the system's proxy
// settings, redirects followed, gzip answers (Content-Encoding) expanded
// within the same size cap. While it waits,
// the caller's events keep being dispatched (buttons and timers stay live).
class telechargeur {
public:
    telechargeur();
    ~telechargeur();
    telechargeur(const telechargeur&) = delete;
    telechargeur& operator=(const telechargeur&) = delete;

    // Longest silence allowed during a transfer (60 s unless set); a whole
    // transfer never lasts more than five times that.
    void definir_delai(int millisecondes) { delai_ms_ = millisecondes; }
    // Larger bodies are refused, so a runaway server cannot exhaust memory.
    qsizetype taille_max() const { return taille_max_; }

    // Any failure (time-out, refused, unknown host, status other than 2xx,
    // address that is not http or https) gives reussie == false.
    page_telechargee telecharger(const QString& adresse);
    page_telechargee telecharger(const QString& adresse, const demande_page& demande);

    // Ends the transfer in progress, if any, as a failure.
    void interrompre();

private:
    // Expands a body sent with Content-Encoding; the French reason when it cannot.
    QString developper(QByteArray& corps, const QByteArray& codage) const;

    std::unique_ptr<QNetworkAccessManager> reseau_;
    QPointer<QNetworkReply> en_cours_;
    int delai_ms_ = 60000;
    static constexpr qsizetype taille_max_ = 64 * 1024 * 1024;
};

} // namespace zapo::plateforme
