#include "plateforme/gzip.h"

#include <QIODevice>

#include <zlib.h>

namespace zapo::plateforme {

bool est_gzip(QByteArrayView octets) {
    return octets.size() >= 2 && quint8(octets[0]) == 0x1f && quint8(octets[1]) == 0x8b;
}

bool decompresser_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite) {
    return inflater_gzip(octets, sortie, limite) == issue_gzip::ok;
}

issue_gzip inflater_gzip(QByteArrayView octets, QByteArray& sortie, qsizetype limite) {
    sortie.clear();
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return issue_gzip::endommage;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(octets.data()));
    z.avail_in = uInt(octets.size());
    char tampon[64 * 1024];
    // Room for the whole cap at once: pages never touched cost nothing, and no
    // reallocation ever holds two copies.
    sortie.reserve(limite);
    issue_gzip issue = issue_gzip::ok;
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(tampon);
        z.avail_out = sizeof tampon;
        const int rc = inflate(&z, Z_NO_FLUSH);
        const qsizetype n = qsizetype(sizeof tampon - z.avail_out);
        if (sortie.size() + n > limite) {
            issue = issue_gzip::trop_gros;
            break;
        }
        sortie.append(tampon, n);
        if (rc == Z_STREAM_END) {
            // Another member may follow.
            if (z.avail_in == 0)
                break;
            if (inflateReset(&z) != Z_OK) {
                issue = issue_gzip::endommage;
                break;
            }
            continue;
        }
        if (rc != Z_OK) {
            issue = issue_gzip::endommage; // damaged or cut short
            break;
        }
        if (z.avail_in == 0 && z.avail_out != 0) {
            issue = issue_gzip::endommage; // input ended before the stream did
            break;
        }
    }
    inflateEnd(&z);
    if (issue != issue_gzip::ok)
        sortie = QByteArray(); // its memory goes too
    return issue;
}

struct inflateur_gzip::etat {
    z_stream z{};
    bool pret = false;
    bool fin_membre = false; // the last byte read ended a member
    qsizetype ecrits = 0;
    qsizetype limite = 0;
    issue_gzip issue = issue_gzip::ok;
};

inflateur_gzip::inflateur_gzip(qsizetype limite) : e_(std::make_unique<etat>()) {
    e_->limite = limite;
    e_->pret = inflateInit2(&e_->z, 16 + MAX_WBITS) == Z_OK;
    if (!e_->pret)
        e_->issue = issue_gzip::endommage;
}

inflateur_gzip::~inflateur_gzip() {
    if (e_->pret)
        inflateEnd(&e_->z);
}

bool inflateur_gzip::ajouter(QByteArrayView morceau, QIODevice& sortie) {
    etat& e = *e_;
    if (e.issue != issue_gzip::ok)
        return false;
    e.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(morceau.data()));
    e.z.avail_in = uInt(morceau.size());
    char tampon[64 * 1024];
    bool plein = false; // output may be pending while the input is all taken
    while (e.z.avail_in > 0 || plein) {
        if (e.fin_membre) {
            if (e.z.avail_in == 0)
                break;
            // Another member follows.
            if (inflateReset(&e.z) != Z_OK) {
                e.issue = issue_gzip::endommage;
                return false;
            }
            e.fin_membre = false;
        }
        e.z.next_out = reinterpret_cast<Bytef*>(tampon);
        e.z.avail_out = sizeof tampon;
        const int rc = inflate(&e.z, Z_NO_FLUSH);
        const qsizetype n = qsizetype(sizeof tampon - e.z.avail_out);
        if (e.ecrits + n > e.limite) {
            e.issue = issue_gzip::trop_gros;
            return false;
        }
        if (n > 0 && sortie.write(tampon, n) != n) {
            e.issue = issue_gzip::ecriture;
            return false;
        }
        e.ecrits += n;
        plein = e.z.avail_out == 0;
        if (rc == Z_STREAM_END) {
            e.fin_membre = true;
            plein = false;
        } else if (rc == Z_BUF_ERROR && e.z.avail_in == 0) {
            plein = false; // needs the next piece
        } else if (rc != Z_OK) {
            e.issue = issue_gzip::endommage;
            return false;
        }
    }
    return true;
}

issue_gzip inflateur_gzip::terminer() {
    if (e_->issue == issue_gzip::ok && !e_->fin_membre)
        e_->issue = issue_gzip::endommage; // input ended before the stream did
    return e_->issue;
}

issue_gzip inflater_gzip(QIODevice& entree, QIODevice& sortie, qsizetype limite) {
    inflateur_gzip i(limite);
    QByteArray morceau(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = entree.read(morceau.data(), morceau.size());
        if (n < 0)
            return issue_gzip::endommage;
        if (n == 0)
            break;
        if (!i.ajouter(QByteArrayView(morceau.constData(), n), sortie))
            break;
    }
    return i.terminer();
}

} // namespace zapo::plateforme
