// The application's style: the same pictures as the desktop's style, the
// overflow arrows read only when drawn.
#include "composants/style_appli.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

using namespace zapo::composants;

namespace {

// Whether an image-format plugin is in the process (they load on the first picture file read).
bool greffons_images_charges() {
    QFile f(QStringLiteral("/proc/self/maps"));
    return f.open(QIODevice::ReadOnly) && f.readAll().contains("/imageformats/");
}

QImage image(const QIcon& i) {
    return i.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class test_style_appli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First, while nothing has read a picture yet in this process.
    void barre_de_menus_sans_lecture() {
        QVERIFY2(!greffons_images_charges(), "un greffon d'images était déjà chargé");
        installer_style_appli();
        {
            QMenuBar barre;
            barre.addMenu(QStringLiteral("&Fichier"));
            barre.resize(400, 30);
        }
        QVERIFY(!greffons_images_charges());
    }

    void memes_images_data() {
        QTest::addColumn<int>("icone");
        QTest::addColumn<bool>("droite_a_gauche");
        QTest::newRow("flèche horizontale") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << false;
        QTest::newRow("flèche horizontale, de droite à gauche")
            << int(QStyle::SP_ToolBarHorizontalExtensionButton) << true;
        QTest::newRow("flèche verticale") << int(QStyle::SP_ToolBarVerticalExtensionButton) << false;
        QTest::newRow("autre image, passée telle quelle") << int(QStyle::SP_TitleBarCloseButton) << false;
    }

    void memes_images() {
        QFETCH(int, icone);
        QFETCH(bool, droite_a_gauche);
        const auto sp = QStyle::StandardPixmap(icone);
        QStyleOption o;
        o.direction = droite_a_gauche ? Qt::RightToLeft : Qt::LeftToRight;
        QStyle* nu = QStyleFactory::create(QStringLiteral("Fusion"));
        const QImage attendue = image(nu->standardIcon(sp, &o));
        delete nu;
        QPointer<style_appli> s(new style_appli(QStyleFactory::create(QStringLiteral("Fusion"))));
        const QIcon i = s->standardIcon(sp, &o);
        const QIcon copie = i; // copies share the picture once made
        QVERIFY(!i.isNull());
        QCOMPARE(image(i), attendue);
        QCOMPARE(image(copie), attendue);
        QVERIFY(!i.availableSizes().isEmpty());
        // Made after its style is gone, the arrow is empty, never a crash.
        const QIcon tardive = s->standardIcon(sp, &o);
        delete s.data();
        if (sp != QStyle::SP_TitleBarCloseButton)
            QVERIFY(tardive.pixmap(16, 16).isNull());
    }
};

QTEST_MAIN(test_style_appli)
#include "test_style_appli.moc"
