#include "plateforme/signaux_arret.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace zapo::plateforme {

namespace {

int tuyau[2] = {-1, -1};
constexpr int signaux[] = {SIGTERM, SIGINT};
bool pris[std::size(signaux)] = {};

extern "C" void recevoir(int signal) {
    const int sauve = errno;
    const unsigned char octet = static_cast<unsigned char>(signal);
    // A full pipe already holds a request: this one adds nothing.
    [[maybe_unused]] const ssize_t n = ::write(tuyau[1], &octet, 1);
    errno = sauve;
}

} // namespace

signaux_arret::signaux_arret(QObject* parent) : QObject(parent) {
    if (tuyau[0] >= 0 || ::pipe2(tuyau, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction a {};
    a.sa_handler = recevoir;
    ::sigemptyset(&a.sa_mask);
    // Back to the default once caught: a second signal ends a program stuck on its way out.
    a.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(signaux); ++i) {
        // Ignored by whoever started us (a job in the background of a shell): it stays so.
        struct sigaction avant {};
        pris[i] = ::sigaction(signaux[i], nullptr, &avant) == 0 && avant.sa_handler != SIG_IGN &&
                  ::sigaction(signaux[i], &a, nullptr) == 0;
    }
    notificateur_ = new QSocketNotifier(tuyau[0], QSocketNotifier::Read, this);
    connect(notificateur_, &QSocketNotifier::activated, this, &signaux_arret::lire);
}

signaux_arret::~signaux_arret() {
    if (!notificateur_)
        return;
    for (std::size_t i = 0; i < std::size(signaux); ++i)
        if (std::exchange(pris[i], false))
            std::signal(signaux[i], SIG_DFL);
    delete notificateur_;
    ::close(tuyau[0]);
    ::close(tuyau[1]);
    tuyau[0] = tuyau[1] = -1;
}

void signaux_arret::lire() {
    unsigned char octets[16];
    const ssize_t n = ::read(tuyau[0], octets, sizeof octets);
    for (ssize_t i = 0; i < n; ++i)
        Q_EMIT arret_demande(int(octets[i]));
}

} // namespace zapo::plateforme
