#include "serveur_http.h"

#include <QHostAddress>
#include <QTimer>
#include <QUrl>

namespace zapo::essais {

serveur_http::serveur_http(QObject* parent) : QObject(parent) {
    connect(&serveur_, &QTcpServer::newConnection, this, &serveur_http::nouvelle_connexion);
}

serveur_http::~serveur_http() {
    for (auto& s : muets_)
        if (s)
            s->abort();
    // The open sockets die with the listening server, after the buffers their
    // handlers use: they are cut off from this object first.
    for (QTcpSocket* s : serveur_.findChildren<QTcpSocket*>()) {
        s->disconnect(this);
        s->abort();
    }
}

bool serveur_http::demarrer() {
    return serveur_.listen(QHostAddress::LocalHost, 0);
}

QString serveur_http::url(const QString& chemin) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(chemin);
}

void serveur_http::definir(const QString& chemin, reponse r) {
    routes_.insert(chemin, std::move(r));
}

void serveur_http::definir_page(const QString& chemin, const QByteArray& corps,
                                const QByteArray& type_contenu) {
    reponse r;
    r.corps = corps;
    r.type_contenu = type_contenu;
    definir(chemin, r);
}

void serveur_http::rediriger(const QString& chemin, const QString& vers) {
    reponse r;
    r.statut = 302;
    r.corps = "moved";
    r.entetes.append({"Location", vers.toUtf8()});
    definir(chemin, r);
}

int serveur_http::nb_requetes_total() const {
    int n = 0;
    for (int v : compte_)
        n += v;
    return n;
}

void serveur_http::nouvelle_connexion() {
    while (QTcpSocket* s = serveur_.nextPendingConnection()) {
        connect(s, &QTcpSocket::readyRead, this, [this, s] { lire(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            tampons_.remove(s);
            s->deleteLater();
        });
    }
}

void serveur_http::lire(QTcpSocket* s) {
    QByteArray& t = tampons_[s];
    t += s->readAll();
    const int fin = int(t.indexOf("\r\n\r\n"));
    if (fin < 0)
        return;
    const QList<QByteArray> lignes = t.left(fin).split('\n');
    t.clear();
    const QList<QByteArray> mots = lignes.value(0).trimmed().split(' ');
    const QString chemin = mots.size() > 1 ? QUrl(QString::fromLatin1(mots[1])).path() : QString();
    compte_[chemin] += 1;
    QHash<QByteArray, QByteArray> recus;
    for (qsizetype i = 1; i < lignes.size(); ++i) {
        const qsizetype deux_points = lignes[i].indexOf(':');
        if (deux_points > 0)
            recus.insert(lignes[i].left(deux_points).trimmed().toLower(),
                         lignes[i].mid(deux_points + 1).trimmed());
    }
    entetes_.insert(chemin, recus);

    reponse r;
    if (routes_.contains(chemin)) {
        r = routes_.value(chemin);
    } else {
        r.statut = 404;
        r.corps = "<html><body>introuvable</body></html>";
    }
    QByteArray etag, modifie_le;
    for (const auto& [nom, valeur] : r.entetes) {
        if (nom.compare("ETag", Qt::CaseInsensitive) == 0)
            etag = valeur;
        else if (nom.compare("Last-Modified", Qt::CaseInsensitive) == 0)
            modifie_le = valeur;
    }
    const bool meme_etag = !etag.isEmpty() && recus.value("if-none-match") == etag;
    const bool meme_date = !modifie_le.isEmpty() && recus.value("if-modified-since") == modifie_le;
    if (r.statut == 200 && (meme_etag || (meme_date && !recus.contains("if-none-match")))) {
        r.statut = 304;
        r.corps.clear();
        r.type_contenu.clear();
        inchangees_[chemin] += 1;
    }
    if (r.muet) {
        muets_.append(s);
        return;
    }
    QByteArray rep = "HTTP/1.1 " + QByteArray::number(r.statut) + " X\r\n";
    if (!r.type_contenu.isEmpty())
        rep += "Content-Type: " + r.type_contenu + "\r\n";
    for (const auto& [nom, valeur] : r.entetes)
        rep += nom + ": " + valeur + "\r\n";
    rep += "Content-Length: " + QByteArray::number(r.corps.size()) + "\r\nConnection: close\r\n\r\n";
    rep += r.corps;
    octets_[chemin] += rep.size();
    if (r.delai_ms > 0) {
        QTimer::singleShot(r.delai_ms, s, [s, rep] {
            s->write(rep);
            s->disconnectFromHost();
        });
        return;
    }
    s->write(rep);
    s->disconnectFromHost();
}

} // namespace zapo::essais
