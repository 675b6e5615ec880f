// The floor for start-up time and memory: a bare Qt program with what Zapo-TV's
// main window is made of at least (a main window, two list views, a progress bar)
// and a notification-area icon, nothing else. Same window size as Zapo-TV's.
// Measured beside the real program by bench/mesurer_demarrage.py.
#include "crochets/mesure_demarrage.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zapo::crochets::mesurer_demarrage_si_demande();

    QPixmap image(48, 48);
    image.fill(Qt::darkBlue);
    const QIcon icone(image);

    QMainWindow fenetre;
    fenetre.setWindowTitle(QStringLiteral("Programme nu"));
    auto* centre = new QWidget;
    auto* disposition = new QVBoxLayout(centre);
    disposition->addWidget(new QTreeWidget);
    disposition->addWidget(new QTreeWidget);
    disposition->addWidget(new QProgressBar);
    fenetre.setCentralWidget(centre);
    fenetre.resize(ZAPO_LARGEUR_FENETRE, ZAPO_HAUTEUR_FENETRE);
    fenetre.show();

    QSystemTrayIcon tray(icone);
    tray.show();
    return QApplication::exec();
}
