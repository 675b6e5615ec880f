#include "terminal/flux_sortie.h"

#include "donnees/raison_ecriture.h"

#include <cerrno>

#include <unistd.h>

namespace zapo::terminal {

namespace {

constexpr qsizetype taille_tampon = 64 * 1024;

} // namespace

sortie_fd::sortie_fd(int fd, bool proprietaire) : fd_(fd), proprietaire_(proprietaire) {
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

sortie_fd::~sortie_fd() {
    if (proprietaire_ && fd_ >= 0)
        ::close(fd_);
}

qint64 sortie_fd::writeData(const char* octets, qint64 n) {
    if (echec_)
        return -1;
    qint64 fait = 0;
    while (fait < n) {
        const ssize_t r = ::write(fd_, octets + fait, size_t(n - fait));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            // A device that takes nothing and says nothing is as full as one that says so.
            setErrorString(donnees::raison_erreur_systeme(r < 0 ? errno : ENOSPC));
            echec_ = true;
            return -1;
        }
        fait += r;
    }
    return fait;
}

tampon_sortie::tampon_sortie(QIODevice& cible) : cible_(cible) {
    tampon_.reserve(taille_tampon);
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool tampon_sortie::vider() {
    if (echec_)
        return false;
    if (!tampon_.isEmpty() && cible_.write(tampon_) != tampon_.size()) {
        setErrorString(cible_.errorString());
        echec_ = true;
        return false;
    }
    tampon_.resize(0);
    return true;
}

qint64 tampon_sortie::writeData(const char* octets, qint64 n) {
    if (echec_)
        return -1;
    tampon_.append(octets, n);
    if (tampon_.size() >= taille_tampon && !vider())
        return -1;
    return n;
}

} // namespace zapo::terminal
