#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

namespace zapo::essais {

// A small HTTP/1.1 server on 127.0.0.1 for tests, served by the test's own
// event loop (the fetch under test dispatches events while it waits).
class serveur_http : public QObject {
    Q_OBJECT
public:
    struct reponse {
        int statut = 200;
        QByteArray type_contenu = "text/html";
        QByteArray corps;
        // Extra headers. With an ETag or Last-Modified among them, a request
        // naming the same one (If-None-Match, If-Modified-Since) gets 304 without a body.
        QList<QPair<QByteArray, QByteArray>> entetes;
        bool muet = false; // accept, read, never answer
        int delai_ms = 0;  // answer this late (a slow server)
    };

    explicit serveur_http(QObject* parent = nullptr);
    ~serveur_http() override;

    bool demarrer(); // on 127.0.0.1, a free port
    quint16 port() const { return serveur_.serverPort(); }
    // "http://127.0.0.1:PORT" + chemin
    QString url(const QString& chemin) const;

    void definir(const QString& chemin, reponse r);
    void definir_page(const QString& chemin, const QByteArray& corps,
                      const QByteArray& type_contenu = "text/html; charset=utf-8");
    void rediriger(const QString& chemin, const QString& vers);

    // How many requests each path (without query) received.
    int nb_requetes(const QString& chemin) const { return compte_.value(chemin); }
    int nb_requetes_total() const;
    // The headers of the last request for a path (names in lower case).
    QHash<QByteArray, QByteArray> entetes_recus(const QString& chemin) const {
        return entetes_.value(chemin);
    }
    // How many of a path's requests were answered 304.
    int nb_inchangees(const QString& chemin) const { return inchangees_.value(chemin); }
    // Bytes sent for a path's answers, headers included.
    qint64 octets_envoyes(const QString& chemin) const { return octets_.value(chemin); }

private:
    void nouvelle_connexion();
    void lire(QTcpSocket* s);

    QTcpServer serveur_;
    QHash<QString, reponse> routes_;
    QHash<QString, int> compte_;
    QHash<QString, int> inchangees_;
    QHash<QString, qint64> octets_;
    QHash<QString, QHash<QByteArray, QByteArray>> entetes_;
    QHash<QTcpSocket*, QByteArray> tampons_;
    QList<QPointer<QTcpSocket>> muets_;
};

} // namespace zapo::essais
