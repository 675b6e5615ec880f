#include "widgets/dessins.h"
#include "widgets/haute_densite.h"

#include <QBuffer>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

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

// Every size a tray or a desktop asks for, each painted at its own size (and
// at 2x and the screens' ratio), never an enlarged or shrunk picture.
static QIcon dessin_programme() {
    QIcon icone;
    for (int taille : tailles_icone_programme)
        ajouter_nette(icone, taille, taille, [taille](QPainter& g) {
            g.scale(taille / 48.0, taille / 48.0);
            dessiner_programme(g);
        });
    return icone;
}

QIcon icone_programme() {
    // The theme's, once installed; our drawing from a build tree.
    // Painted once: every window and the tray share it.
    static const QIcon dessin = dessin_programme();
    return QIcon::fromTheme(QStringLiteral(ZAPO_ID_APPLI), dessin);
}

} // namespace zapo::composants
