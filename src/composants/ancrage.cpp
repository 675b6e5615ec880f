#include "composants/ancrage.h"

#include <QEvent>

namespace zapo::composants {

namespace {

int part_de(ancrage::part p, int plus) {
    switch (p) {
    case ancrage::gauche:
        return plus / 2;
    case ancrage::droite:
        return plus - plus / 2;
    case ancrage::tout:
        return plus;
    case ancrage::rien:
        break;
    }
    return 0;
}

} // namespace

ancrage::ancrage(QWidget* conteneur, QSize dessinee)
    : QObject(conteneur), conteneur_(conteneur), dessinee_(dessinee) {
    conteneur->installEventFilter(this);
}

void ancrage::ajouter(QWidget* w, part x, part l, part y, part h) {
    entrees_.push_back({w, w->geometry(), x, l, y, h});
}

QRect ancrage::dessin(const QWidget* w) const {
    for (const entree& e : entrees_)
        if (e.w == w)
            return e.dessin;
    return {};
}

void ancrage::placer() {
    // Never smaller than drawn: the window's minimum size says the same.
    const int dl = std::max(0, conteneur_->width() - dessinee_.width());
    const int dh = std::max(0, conteneur_->height() - dessinee_.height());
    for (const entree& e : entrees_)
        if (e.w)
            e.w->setGeometry(e.dessin.x() + part_de(e.x, dl), e.dessin.y() + part_de(e.y, dh),
                             e.dessin.width() + part_de(e.l, dl), e.dessin.height() + part_de(e.h, dh));
}

bool ancrage::eventFilter(QObject* objet, QEvent* e) {
    if (objet == conteneur_ && e->type() == QEvent::Resize)
        placer();
    return QObject::eventFilter(objet, e);
}

} // namespace zapo::composants
