#include "maj/attendre.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace zapo::maj {

void rythme_reel::attendre(double secondes) {
    QElapsedTimer t;
    t.start();
    const qint64 ms = qint64(secondes * 1000.0);
    while (t.elapsed() < ms) {
        QEventLoop boucle;
        QTimer::singleShot(int(std::max<qint64>(1, ms - t.elapsed())), &boucle, &QEventLoop::quit);
        boucle.exec();
    }
}

} // namespace zapo::maj
