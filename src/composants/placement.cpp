#include "composants/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zapo::composants {

void centrer(QWidget* w) {
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        w->move(ecran->availableGeometry().center() - w->rect().center());
}

void montrer_devant(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace zapo::composants
