#include "composants/dessins.h"
#include "composants/haute_densite.h"
#include "composants/icone_theme.h"

#include <QApplication>
#include <QBuffer>
#include <QIconEngine>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace zapo::composants {

QPixmap dessiner_logo(int n) {
    // Simple badges of our own: a coloured shape and the badge's number.
    static const QColor couleurs[16] = {{0, 84, 166},   {220, 30, 40}, {0, 140, 70},  {250, 160, 0},
                                        {120, 40, 160}, {0, 150, 170}, {40, 40, 40},  {230, 90, 150},
                                        {90, 60, 30},   {0, 110, 230}, {200, 70, 0},  {100, 150, 0},
                                        {60, 60, 140},  {180, 0, 90},  {0, 120, 120}, {150, 120, 0}};
    QPixmap p = toile(48, 35);
    if (n < 1 || n > 16)
        return p;
    const QColor c = couleurs[n - 1];
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fond(0, 0, 0, 35);
    fond.setColorAt(0, c.lighter(130));
    fond.setColorAt(1, c.darker(120));
    QPainterPath forme;
    switch ((n - 1) % 4) {
    case 0:
        forme.addRoundedRect(QRectF(2, 2, 44, 31), 7, 7);
        break;
    case 1:
        forme.addEllipse(QRectF(4, 1, 40, 33));
        break;
    case 2: {
        QPolygonF h;
        h << QPointF(12, 2) << QPointF(36, 2) << QPointF(46, 17.5) << QPointF(36, 33) << QPointF(12, 33)
          << QPointF(2, 17.5);
        forme.addPolygon(h);
        forme.closeSubpath();
        break;
    }
    default:
        forme.addRect(QRectF(3, 3, 42, 29));
        break;
    }
    g.fillPath(forme, fond);
    g.setPen(QPen(Qt::white, 1.5));
    g.drawPath(forme);
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(17);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(QRectF(0, 0, 48, 35), Qt::AlignCenter, QString::number(n));
    return p;
}

QPixmap dessiner_logo(int n, const QByteArray& png) {
    if (png.isEmpty())
        return dessiner_logo(n);
    QBuffer tampon;
    tampon.setData(png);
    tampon.open(QIODevice::ReadOnly);
    QImageReader lecteur(&tampon, "png");
    // The update keeps small pictures: anything larger is not one of ours.
    const QSize taille = lecteur.size();
    QImage image;
    if (!taille.isValid() || taille.width() > 512 || taille.height() > 512 || !lecteur.read(&image) ||
        image.isNull())
        return dessiner_logo(n);
    QPixmap p = toile(48, 35);
    QPainter g(&p);
    g.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF place = QSizeF(image.size()).scaled(QSizeF(48, 35), Qt::KeepAspectRatio);
    g.drawImage(QRectF(QPointF((48 - place.width()) / 2, (35 - place.height()) / 2), place), image);
    return p;
}

// Our own drawing, the same as the installed SVG icon, on a 48 x 48 grid.
static void dessiner_programme(QPainter& g) {
    // A small television with a yellow "Z" on its screen.
    g.setBrush(QColor(0, 0, 128));
    g.setPen(Qt::NoPen);
    g.drawRoundedRect(QRectF(3, 8, 42, 32), 6, 6);
    g.setBrush(QColor(128, 128, 255));
    g.drawRoundedRect(QRectF(7, 12, 34, 24), 3, 3);
    g.setPen(QPen(QColor(0, 0, 128), 3, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(17, 3), QPointF(24, 8));
    g.drawLine(QPointF(31, 3), QPointF(24, 8));
    g.setPen(QPen(QColor(255, 255, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF z;
    z << QPointF(15, 17) << QPointF(33, 17) << QPointF(15, 31) << QPointF(33, 31);
    g.drawPolyline(z);
}

namespace {

// The drawing painted at whatever size is asked, when it is asked: nothing is
// painted before a window or the tray needs it, and no picture is kept (eight
// sizes at two ratios held from the start weighed almost 2 MB). A 2x request
// comes as twice the pixels, so it is painted at that size, never enlarged.
class moteur_programme final : public QIconEngine {
public:
    void paint(QPainter* g, const QRect& r, QIcon::Mode, QIcon::State) override {
        const int cote = std::min(r.width(), r.height());
        g->save();
        g->setRenderHint(QPainter::Antialiasing);
        g->translate(r.x() + (r.width() - cote) / 2.0, r.y() + (r.height() - cote) / 2.0);
        g->scale(cote / 48.0, cote / 48.0);
        dessiner_programme(*g);
        g->restore();
    }

    QPixmap pixmap(const QSize& taille, QIcon::Mode mode, QIcon::State etat) override {
        const int cote = std::min(taille.width(), taille.height());
        if (cote <= 0)
            return QPixmap();
        QPixmap p(cote, cote);
        p.fill(Qt::transparent);
        {
            QPainter g(&p);
            paint(&g, QRect(0, 0, cote, cote), mode, etat);
        }
        if (mode == QIcon::Normal || !qobject_cast<QApplication*>(QCoreApplication::instance()))
            return p;
        QStyleOption option;
        return QApplication::style()->generatedIconPixmap(mode, p, &option);
    }

    QSize actualSize(const QSize& taille, QIcon::Mode, QIcon::State) override {
        const int cote = std::min(taille.width(), taille.height());
        return QSize(cote, cote);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> tailles;
        for (int t : tailles_icone_programme)
            tailles << QSize(t, t);
        return tailles;
    }

    QIconEngine* clone() const override { return new moteur_programme; }
    QString key() const override { return QStringLiteral("zapo_programme"); }
};

} // namespace

namespace {
bool theme_consulte = false;
}

QIcon icone_programme() {
    // The theme's, once installed and looked up; our drawing until then and from a build tree.
    static const QIcon dessin(new moteur_programme);
    return theme_consulte ? QIcon::fromTheme(QStringLiteral(ZAPO_ID_APPLI), dessin) : dessin;
}

bool consulter_theme_icone() {
    if (theme_consulte)
        return false;
    theme_consulte = true;
    return QIcon::hasThemeIcon(QStringLiteral(ZAPO_ID_APPLI));
}

} // namespace zapo::composants
