// Saves the whole X screen named by DISPLAY to the PNG file given as argument.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QScreen* ecran = QGuiApplication::primaryScreen();
    if (!ecran)
        return 1;
    return ecran->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
