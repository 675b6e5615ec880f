// Pictures painted for the screen's pixel ratio, nothing cut, and a screenshot
// of the main window kept with the artefacts. Run once at scale 1 and once with
// QT_SCALE_FACTOR=2.
#include "outils/banc_fenetre.h"

#include "about/fl_propos.h"
#include "channels/fl_chaine.h"
#include "outils/controles.h"
#include "shell/fl_premiere.h"
#include "update/fl_connect.h"
#include "update/fl_maj.h"
#include "widgets/dessins.h"
#include "widgets/haute_densite.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

qreal rapport_ecran() {
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

// A picture painted for ratio r has r device pixels to each logical one.
QString defaut_image(const QPixmap& p, QSize logique, qreal r) {
    if (p.isNull())
        return QStringLiteral("image vide");
    if (!qFuzzyCompare(p.devicePixelRatio(), r))
        return QStringLiteral("rapport %1 au lieu de %2").arg(p.devicePixelRatio()).arg(r);
    if (p.size() != logique * r)
        return QStringLiteral("%1x%2 pixels au lieu de %3x%4")
            .arg(p.width())
            .arg(p.height())
            .arg(qCeil(logique.width() * r))
            .arg(qCeil(logique.height() * r));
    return {};
}

// Fixed texts (headings, buttons) fit their controls whole.
QStringList textes_coupes(QWidget* fenetre, const QStringList& variables) {
    QStringList coupes;
    for (QLabel* l : fenetre->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(fenetre) || l->text().isEmpty() || variables.contains(l->objectName()) ||
            l->textFormat() == Qt::RichText)
            continue;
        const QRect place = l->contentsRect();
        const bool tient = l->wordWrap() ? l->heightForWidth(place.width()) <= place.height() + 1
                                         : l->fontMetrics().horizontalAdvance(l->text()) <= place.width();
        if (!tient)
            coupes << l->objectName() + QStringLiteral(" « ") + l->text() + QStringLiteral(" »");
    }
    for (QPushButton* b : fenetre->findChildren<QPushButton*>())
        if (b->isVisibleTo(fenetre) && b->fontMetrics().horizontalAdvance(b->text()) + 8 > b->width())
            coupes << b->objectName() + QStringLiteral(" « ") + b->text() + QStringLiteral(" »");
    return coupes;
}

} // namespace

class test_haute_densite : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // The ratio the run was asked for (by QT_SCALE_FACTOR) is the screen's.
        const qreal attendu = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                  ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                  : 1.0;
        QCOMPARE(rapport_ecran(), attendu);
        QCOMPARE(composants::rapport_pixels(), attendu);
    }

    void logos_et_marques() {
        contexte ctx;
        vues::fl_main f(ctx);
        const qreal r = rapport_ecran();
        QCOMPARE(f.lst_images().size(), size_t(16));
        for (const QPixmap& p : f.lst_images())
            QVERIFY2(defaut_image(p, QSize(48, 35), r).isEmpty(), qPrintable(defaut_image(p, {48, 35}, r)));
        QVERIFY2(defaut_image(essais::controle<QLabel>(f, "Image1")->pixmap(), QSize(129, 28), r).isEmpty(),
                 qPrintable(defaut_image(essais::controle<QLabel>(f, "Image1")->pixmap(), {129, 28}, r)));
        // Icons carry a painted picture for the ratio asked, never an enlarged one.
        for (const QIcon& i : f.lst_icone())
            QVERIFY(defaut_image(i.pixmap(QSize(16, 16), r), QSize(16, 16), r).isEmpty());
        QVERIFY(defaut_image(f.windowIcon().pixmap(QSize(48, 48), r), QSize(48, 48), r).isEmpty());
    }

    // At 2x, the icon's own 2x picture differs from its 1x picture enlarged.
    void icone_nette() {
        const QIcon i = composants::icone_programme();
        const QImage double_peint =
            i.pixmap(QSize(48, 48), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage agrandie = i.pixmap(QSize(48, 48), 1.0)
                                    .toImage()
                                    .scaled(96, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                    .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(double_peint.size(), QSize(96, 96));
        QVERIFY(double_peint != agrandie);
    }

    void images_des_dialogues() {
        const qreal r = rapport_ecran();
        contexte ctx;
        coquille::fl_premiere premiere(ctx, {}, {});
        QVERIFY(
            defaut_image(essais::controle<QLabel>(premiere, "Image1")->pixmap(), QSize(48, 48), r).isEmpty());
        QPointer<apropos::fl_propos> propos =
            apropos::fl_propos::afficher(ctx, [](const QUrl&) { return true; });
        QVERIFY(
            defaut_image(essais::controle<QLabel>(*propos, "Image1")->pixmap(), QSize(48, 48), r).isEmpty());
        maj::fl_maj progression;
        progression.show();
        maj::fl_connect invite(ctx);
        invite.show();
        dossier_essai dossier;
        ctx.dossier_appli = dossier.chemin();
        QPointer<chaines::fl_chaine> ajout =
            chaines::fl_chaine::afficher(ctx, {composants::dessiner_logo(1)});
        QVERIFY(QTest::qWaitForWindowExposed(ajout));
        QVERIFY(defaut_image(essais::controle<QLabel>(*ajout, "img")->pixmap(), QSize(48, 35), r).isEmpty());
        QStringList coupes = textes_coupes(&premiere, {});
        coupes << textes_coupes(propos, {}) << textes_coupes(&progression, {}) << textes_coupes(&invite, {})
               << textes_coupes(ajout, {});
        delete ajout;
        QVERIFY2(coupes.isEmpty(), qPrintable(coupes.join('\n')));
        delete propos;
    }

    // The screenshot of the main window with data, at this run's scale.
    void capture_fenetre_principale() {
        banc_principal b;
        b.remplir();
        QVERIFY(QTest::qWaitForWindowExposed(b.f.get()));
        const qreal r = rapport_ecran();
        const QStringList coupes =
            textes_coupes(b.f.get(), {"txt1", "txt2", "txt3", "txt4", "txt_etat", "txt_date"});
        QVERIFY2(coupes.isEmpty(), qPrintable(coupes.join('\n')));
        const QPixmap capture = b.f->grab();
        QCOMPARE(capture.devicePixelRatio(), r);
        QCOMPARE(capture.size(), b.f->size() * r);
        // The logo of the first row is drawn from device pixels at this ratio.
        const QIcon logo = essais::controle<QTreeWidget>(*b.f, "lst_chaines")->topLevelItem(0)->icon(0);
        QVERIFY(defaut_image(logo.pixmap(QSize(48, 35), r), QSize(48, 35), r).isEmpty());
        QDir().mkpath(QStringLiteral(ZAPO_ARTEFACTS));
        const QString fichier = QStringLiteral(ZAPO_ARTEFACTS "/fenetre_principale_x%1.png").arg(qRound(r));
        QVERIFY(capture.save(fichier, "PNG"));
        QVERIFY(QImage(fichier).size() == b.f->size() * r);
    }
};

QTEST_MAIN(test_haute_densite)
#include "test_haute_densite.moc"
