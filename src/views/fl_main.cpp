#include "views/fl_main.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace zapo::vues {

namespace {

QPixmap dessiner_banniere() {
    QPixmap p(129, 28);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fond(0, 0, 129, 0);
    fond.setColorAt(0, QColor(0, 0, 128));
    fond.setColorAt(1, QColor(64, 128, 255));
    QPainterPath chemin;
    chemin.addRoundedRect(QRectF(0.5, 0.5, 128, 27), 6, 6);
    g.fillPath(chemin, fond);
    g.setPen(QColor(255, 255, 0));
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(16);
    g.setFont(f);
    g.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("Zapo-TV"));
    return p;
}

QIcon dessiner_marque(const QColor& c) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(c);
    g.setPen(c.darker(150));
    QPolygonF fleche;
    fleche << QPointF(4, 3) << QPointF(13, 8) << QPointF(4, 13);
    g.drawPolygon(fleche);
    return QIcon(p);
}

} // namespace

QPixmap dessiner_logo(int n) {
    // Simple badges of our own: a coloured shape and the badge's number.
    static const QColor couleurs[16] = {{0, 84, 166},   {220, 30, 40}, {0, 140, 70},  {250, 160, 0},
                                        {120, 40, 160}, {0, 150, 170}, {40, 40, 40},  {230, 90, 150},
                                        {90, 60, 30},   {0, 110, 230}, {200, 70, 0},  {100, 150, 0},
                                        {60, 60, 140},  {180, 0, 90},  {0, 120, 120}, {150, 120, 0}};
    QPixmap p(48, 35);
    p.fill(Qt::transparent);
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

// Our own drawing, the same as the installed SVG icon.
static QIcon dessin_programme() {
    QPixmap p(48, 48);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
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
    return QIcon(p);
}

QIcon icone_programme() {
    // The theme's, once installed; our drawing from a build tree.
    return QIcon::fromTheme(QStringLiteral(ZAPO_ID_APPLI), dessin_programme());
}

void centrer(QWidget* w) {
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        w->move(ecran->availableGeometry().center() - w->rect().center());
}

void montrer_devant(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

fl_main::fl_main(QWidget* parent) : QMainWindow(parent) {
    setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(icone_programme());
    centralwidget->setAutoFillBackground(true);
    QPalette pal = centralwidget->palette();
    pal.setColor(QPalette::Window, QColor(192, 255, 255));
    centralwidget->setPalette(pal);
    Shape2->lower();
    Shape1->lower();
    Image1->setPixmap(dessiner_banniere());
    Image1->setAccessibleName(QStringLiteral("Zapo-TV"));
    for (int n = 1; n <= 16; ++n)
        lst_images.push_back(dessiner_logo(n));
    lst_icone = {dessiner_marque(QColor(160, 160, 160)), dessiner_marque(QColor(0, 160, 0)),
                 dessiner_marque(QColor(220, 0, 0))};
    // Fractional sizes, as drawn (the form file only holds whole points).
    for (QWidget* w :
         std::initializer_list<QWidget*>{lst_chaines, txt_hd1, txt1, txt_hf1, txt_hd2, txt2, txt_hf2, txt_hd3,
                                         txt3, txt_hf3, txt_hd4, txt4, txt_hf4}) {
        QFont f = w->font();
        f.setPointSizeF(9.75);
        w->setFont(f);
    }
    QFont etat = txt_etat->font();
    etat.setPointSizeF(11.25);
    txt_etat->setFont(etat);
    // Fixed layout, as drawn.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    tps_minute.setInterval(60000);
    for (QTreeWidget* l : {lst_chaines, lst_prog})
        l->header()->setSectionsMovable(false);
    lst_chaines->setIconSize(QSize(48, 35));
    lst_prog->setIconSize(QSize(16, 16));
    // What a screen reader says besides each label's own text.
    const struct {
        QWidget* w;
        const char* role;
    } descriptions[] = {
        {txt_hd1, "Début du programme en cours"},
        {txt1, "Programme en cours"},
        {txt_hf1, "Fin du programme en cours"},
        {txt_hd2, "Début du programme suivant"},
        {txt2, "Programme suivant"},
        {txt_hf2, "Fin du programme suivant"},
        {txt_hd3, "Début du premier programme du soir"},
        {txt3, "Premier programme du soir"},
        {txt_hf3, "Fin du premier programme du soir"},
        {txt_hd4, "Début du second programme du soir"},
        {txt4, "Second programme du soir"},
        {txt_hf4, "Fin du second programme du soir"},
    };
    for (const auto& d : descriptions)
        d.w->setAccessibleDescription(QString::fromUtf8(d.role));
    progres->setAccessibleName(QStringLiteral("Partie écoulée du programme en cours"));
    lst_chaines->setAccessibleName(QStringLiteral("Chaines"));
    lst_prog->setAccessibleName(QStringLiteral("Liste des programmes"));
}

fl_main::~fl_main() = default;

QPixmap fl_main::image(int n) const {
    if (n < 1 || n > int(lst_images.size()))
        return QPixmap();
    return lst_images[size_t(n - 1)];
}

void fl_main::closeEvent(QCloseEvent* e) {
    // The unload is never refused.
    e->accept();
    tps_minute.stop();
    if (!dechargement_signale_) {
        dechargement_signale_ = true;
        Q_EMIT dechargee();
    }
}

} // namespace zapo::vues
