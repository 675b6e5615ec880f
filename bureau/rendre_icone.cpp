// Build tool: renders the program's SVG drawing to the PNG sizes desktops ask for.
//   rendre_icone dessin.svg dossier nom taille...
// writes dossier/<taille>x<taille>/apps/<nom>.png.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage : %s dessin.svg dossier nom taille...\n", argv[0]);
        return 2;
    }
    QSvgRenderer dessin(QString::fromLocal8Bit(argv[1]));
    if (!dessin.isValid()) {
        std::fprintf(stderr, "%s : dessin illisible\n", argv[1]);
        return 1;
    }
    const QString dossier = QString::fromLocal8Bit(argv[2]);
    const QString nom = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int taille = QByteArray(argv[i]).toInt(&ok);
        if (!ok || taille < 8 || taille > 1024) {
            std::fprintf(stderr, "%s : taille refusée\n", argv[i]);
            return 2;
        }
        QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter g(&image);
            g.setRenderHint(QPainter::Antialiasing);
            dessin.render(&g);
        }
        const QString sous = QStringLiteral("%1/%2x%2/apps").arg(dossier).arg(taille);
        if (!QDir().mkpath(sous) ||
            !image.save(sous + QLatin1Char('/') + nom + QStringLiteral(".png"), "PNG")) {
            std::fprintf(stderr, "%s : écriture impossible\n", qPrintable(sous));
            return 1;
        }
    }
    return 0;
}
