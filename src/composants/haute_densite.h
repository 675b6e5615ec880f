#pragma once

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QtMath>

#include <algorithm>

namespace zapo::composants {

// The highest pixel ratio among the screens: pictures painted for it stay sharp
// on a 2x screen instead of being enlarged from 96-dpi pixels.
inline qreal rapport_pixels() {
    return std::max<qreal>(1.0, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

// A transparent picture of l x h logical pixels with `rapport` device pixels
// to each; a painter on it draws in logical coordinates.
inline QPixmap toile(int l, int h, qreal rapport = rapport_pixels()) {
    QPixmap p(QSize(qCeil(l * rapport), qCeil(h * rapport)));
    p.setDevicePixelRatio(rapport);
    p.fill(Qt::transparent);
    return p;
}

// Adds to `icone` its l x h picture painted at 1x, 2x and the screens' own
// ratio, so that the tray and the window frames pick a sharp one whatever their scale.
template <class Dessin> void ajouter_nette(QIcon& icone, int l, int h, Dessin dessiner) {
    QList<qreal> rapports{1.0, 2.0};
    if (!rapports.contains(rapport_pixels()))
        rapports << rapport_pixels();
    for (qreal r : rapports) {
        QPixmap p = toile(l, h, r);
        {
            QPainter g(&p);
            g.setRenderHint(QPainter::Antialiasing);
            dessiner(g);
        }
        icone.addPixmap(p);
    }
}

template <class Dessin> QIcon icone_nette(int l, int h, Dessin dessiner) {
    QIcon icone;
    ajouter_nette(icone, l, h, dessiner);
    return icone;
}

} // namespace zapo::composants
