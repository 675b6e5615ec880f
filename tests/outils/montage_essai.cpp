#include "outils/montage_essai.h"

#include <QByteArray>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace zapo::essais {

namespace {

QByteArray chemin_c(const QString& s) {
    return QFile::encodeName(s);
}

qint64 libre(const QString& dossier) {
    struct statvfs s {};
    if (::statvfs(chemin_c(dossier).constData(), &s) != 0)
        return -1;
    return qint64(s.f_bavail) * qint64(s.f_frsize);
}

} // namespace

bool espace_montage_prive() {
    static int etat = -1;
    if (etat < 0) {
        // Mount propagation off, or our mounts would show in the host's tree.
        etat = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
               ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }
    return etat == 1;
}

bool monter_tmpfs(const QString& dossier, qint64 octets) {
    const QByteArray options = "size=" + QByteArray::number(octets) + ",mode=0755";
    return ::mount("tmpfs", chemin_c(dossier).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                   options.constData()) == 0;
}

bool monter_lecture_seule(const QString& dossier) {
    const QByteArray c = chemin_c(dossier);
    return ::mount(c.constData(), c.constData(), nullptr, MS_BIND | MS_REC, nullptr) == 0 &&
           ::mount(nullptr, c.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

bool lier(const QString& source, const QString& cible) {
    return ::mount(chemin_c(source).constData(), chemin_c(cible).constData(), nullptr, MS_BIND, nullptr) == 0;
}

bool demonter(const QString& dossier) {
    return ::umount2(chemin_c(dossier).constData(), MNT_DETACH) == 0;
}

qint64 remplir(const QString& dossier, const QString& nom, qint64 reste) {
    QFile f(dossier + QLatin1Char('/') + nom);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return libre(dossier);
    const QByteArray bloc(4096, 'x');
    while (libre(dossier) >= reste + bloc.size())
        if (f.write(bloc) != bloc.size())
            break;
    // The last bytes one at a time, down to what must stay free.
    const QByteArray octet(1, 'x');
    while (libre(dossier) > reste && f.write(octet) == 1) {
    }
    return libre(dossier);
}

} // namespace zapo::essais
