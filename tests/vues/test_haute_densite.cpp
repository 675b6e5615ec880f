// Pictures painted for the screen's pixel ratio, nothing cut, and a screenshot
// of the main window kept with the artefacts. Run once at scale 1 and once with
// QT_SCALE_FACTOR=2.
#include "modele/guide.h"
#include "outils/banc_fenetre.h"

#include "apropos/fl_propos.h"
#include "chaines/fl_chaine.h"
#include "composants/dessin_fixe.h"
#include "composants/dessins.h"
#include "composants/haute_densite.h"
#include "coquille/fl_premiere.h"
#include "outils/controles.h"
#include "suivi/fl_connect.h"
#include "suivi/fl_maj.h"
#include "vues/fl_ce_soir.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

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
    // A tick box's text beside its box.
    for (QCheckBox* c : fenetre->findChildren<QCheckBox*>())
        if (c->isVisibleTo(fenetre) && !c->text().isEmpty() &&
            c->fontMetrics().horizontalAdvance(c->text()) + 20 > c->width())
            coupes << c->objectName() + QStringLiteral(" « ") + c->text() + QStringLiteral(" »");
    return coupes;
}

// The widgets of a fixed-colour area that a dark theme would have drawn dark.
QStringList sombres(QWidget* zone) {
    QStringList res;
    QList<QWidget*> tous = zone->findChildren<QWidget*>();
    tous.prepend(zone);
    for (QWidget* w : tous) {
        // A control given colours of its own keeps the drawing's.
        if (!w->styleSheet().isEmpty())
            continue;
        const QPalette& p = w->palette();
        if (p.color(QPalette::Button).lightness() < 128 || p.color(QPalette::Base).lightness() < 128 ||
            p.color(QPalette::ButtonText).lightness() > 128)
            res << w->objectName() + QLatin1Char(':') + QString::fromLatin1(w->metaObject()->className());
    }
    return res;
}

// The desktop's font and palette for one case, put back afterwards.
class apparence_bureau {
public:
    apparence_bureau(int points, bool sombre)
        : police_(QApplication::font()), palette_(QApplication::palette()) {
        if (points > 0) {
            QFont f = police_;
            f.setPointSize(points);
            QApplication::setFont(f);
        }
        if (sombre) {
            QPalette p(QColor(53, 53, 53));
            p.setColor(QPalette::WindowText, Qt::white);
            p.setColor(QPalette::Base, QColor(35, 35, 35));
            p.setColor(QPalette::Text, Qt::white);
            p.setColor(QPalette::ButtonText, Qt::white);
            QApplication::setPalette(p);
        }
    }
    ~apparence_bureau() {
        QApplication::setFont(police_);
        QApplication::setPalette(palette_);
    }

private:
    QFont police_;
    QPalette palette_;
};

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
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
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

    // The tray's icon: every size desktops ask for, each painted for this
    // screen's ratio, never a smaller picture enlarged.
    void icone_toutes_tailles() {
        const QIcon i = composants::icone_programme();
        const qreal r = rapport_ecran();
        const QList<QSize> tailles = i.availableSizes();
        for (int t : composants::tailles_icone_programme) {
            QVERIFY2(tailles.contains(QSize(t, t)), qPrintable(QString::number(t)));
            QVERIFY(defaut_image(i.pixmap(QSize(t, t), r), QSize(t, t), r).isEmpty());
        }
        // At 2x, 22 is painted at 44 pixels, not enlarged from its 22.
        const QImage nette = i.pixmap(QSize(22, 22), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage agrandie = i.pixmap(QSize(22, 22), 1.0)
                                    .toImage()
                                    .scaled(44, 44, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                    .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(nette.size(), QSize(44, 44));
        QVERIFY(nette != agrandie);
    }

    void images_des_dialogues() {
        const qreal r = rapport_ecran();
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        coquille::fl_premiere premiere(ctx, {}, {});
        QVERIFY(
            defaut_image(essais::controle<QLabel>(premiere, "Image1")->pixmap(), QSize(48, 48), r).isEmpty());
        QPointer<apropos::fl_propos> propos =
            apropos::fl_propos::afficher(ctx, [](const QUrl&) { return true; });
        QVERIFY(
            defaut_image(essais::controle<QLabel>(*propos, "Image1")->pixmap(), QSize(48, 48), r).isEmpty());
        suivi::fl_maj progression;
        progression.show();
        suivi::fl_connect invite(ctx);
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

    // Every window drawn at fixed places, as the desktop's font grows or its theme
    // turns dark: no text cut, no dark control on a fixed light background, and a
    // screenshot of each kept with the artefacts.
    void dessins_fixes_data() {
        QTest::addColumn<QString>("fenetre");
        QTest::addColumn<int>("points"); // the desktop's font size; 0: as it is
        QTest::addColumn<bool>("sombre");
        for (const char* f : {"principale", "principale_vide", "premiere", "propos", "maj", "connexion",
                              "chaine", "ce_soir"}) {
            QTest::addRow("%s", f) << QString::fromLatin1(f) << 0 << false;
            QTest::addRow("%s 12 pt", f) << QString::fromLatin1(f) << 12 << false;
            QTest::addRow("%s sombre", f) << QString::fromLatin1(f) << 0 << true;
        }
    }
    void dessins_fixes() {
        QFETCH(QString, fenetre);
        QFETCH(int, points);
        QFETCH(bool, sombre);
        const apparence_bureau bureau(points, sombre);
        banc_principal b;
        std::unique_ptr<banc_main> vide;
        std::unique_ptr<QWidget> propre;
        QPointer<QWidget> w;
        QWidget* zone = nullptr; // the area of fixed colours, if any
        QStringList variables;
        if (fenetre.startsWith(QLatin1String("principale"))) {
            if (fenetre == QLatin1String("principale")) {
                b.remplir();
                // The longest date the clock shows.
                essais::controle<QLabel>(*b.f, "txt_date")
                    ->setText(QStringLiteral("mercredi 30 septembre 2026   22:22"));
                w = b.f.get();
            } else {
                vide = std::make_unique<banc_main>();
                vide->f->remplir_chaines();
                w = vide->f.get();
            }
            zone = static_cast<QMainWindow*>(w.data())->centralWidget();
            variables = {"txt1", "txt2", "txt3", "txt4", "txt_etat"};
        } else if (fenetre == QLatin1String("premiere")) {
            propre = std::make_unique<coquille::fl_premiere>(b.ctx, std::function<void()>{},
                                                             std::function<void()>{});
            w = propre.get();
            zone = w;
        } else if (fenetre == QLatin1String("propos")) {
            w = apropos::fl_propos::afficher(b.ctx, [](const QUrl&) { return true; });
            zone = w;
        } else if (fenetre == QLatin1String("maj")) {
            propre = std::make_unique<suivi::fl_maj>();
            w = propre.get();
        } else if (fenetre == QLatin1String("connexion")) {
            propre = std::make_unique<suivi::fl_connect>(b.ctx);
            w = propre.get();
        } else if (fenetre == QLatin1String("chaine")) {
            w = chaines::fl_chaine::afficher(b.ctx, {composants::dessiner_logo(1)});
        } else {
            w = vues::fl_ce_soir::afficher(b.ctx, {});
            zone = w;
        }
        QVERIFY(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QDir().mkpath(QStringLiteral(ZAPO_ARTEFACTS));
        const QString nom = QStringLiteral(ZAPO_ARTEFACTS "/dessin_%1%2%3_x%4.png")
                                .arg(fenetre, points ? QStringLiteral("_%1pt").arg(points) : QString(),
                                     sombre ? QStringLiteral("_sombre") : QString())
                                .arg(qRound(rapport_ecran()));
        QVERIFY(w->grab().save(nom, "PNG"));
        QStringList coupes = textes_coupes(w, variables);
        // The form's menus are windows of their own: they keep the drawing's font
        // only when each is given it.
        if (fenetre.startsWith(QLatin1String("principale"))) {
            const QFontInfo dessin(composants::police_dessin());
            for (const char* nom : {"menua", "menud", "menuc", "menub"}) {
                auto* m = w->findChild<QMenu*>(QString::fromLatin1(nom));
                QVERIFY(m);
                const QFontInfo vue(m->font());
                if (vue.family() != dessin.family() || vue.pointSizeF() != dessin.pointSizeF())
                    coupes << QStringLiteral("%1 : %2 %3 pt").arg(nom, vue.family()).arg(vue.pointSizeF());
            }
        }
        const QStringList s = zone ? sombres(zone) : QStringList();
        // "Ce soir": every column whole, with no sideways scroll bar.
        if (auto* l = w->findChild<QTreeWidget*>(QStringLiteral("lst_soir"))) {
            if (l->horizontalScrollBar()->isVisible())
                coupes << QStringLiteral("lst_soir : barre de défilement horizontale");
            for (int i = 0; i < l->topLevelItemCount(); ++i)
                for (int c = 0; c < l->columnCount(); ++c) {
                    const QString texte = l->topLevelItem(i)->text(c);
                    const int place = l->columnWidth(c) - (c == 0 ? l->iconSize().width() : 0);
                    if (l->fontMetrics().horizontalAdvance(texte) >= place)
                        coupes << QStringLiteral("lst_soir « %1 »").arg(texte);
                }
        }
        if (!propre && !fenetre.startsWith(QLatin1String("principale")))
            delete w.data();
        QVERIFY2(coupes.isEmpty(), qPrintable(coupes.join('\n')));
        QVERIFY2(s.isEmpty(), qPrintable(s.join(QLatin1Char(' '))));
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
