#include "coquille/prechargement.h"

#include <QImageReader>

#include <thread>

namespace zapo::coquille {

namespace {

std::thread& fil() {
    static std::thread f;
    return f;
}

} // namespace

void precharger_images() {
    if (fil().joinable())
        return;
    // Asking what can be read loads every plugin, as the first read would.
    fil() = std::thread([] { (void)QImageReader::supportedImageFormats(); });
}

void attendre_images() {
    if (fil().joinable())
        fil().join();
}

} // namespace zapo::coquille
