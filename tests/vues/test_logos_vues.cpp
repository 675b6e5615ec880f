// A channel's kept logo stands where its badge stood, in every window that
// draws channels; the badge stays for the others.
#include "composants/dessins.h"
#include "donnees/base_logos.h"
#include "vues/fl_ce_soir.h"

#include "outils/banc_fenetre.h"
#include "outils/controles.h"

#include <QBuffer>
#include <QTest>
#include <QTreeWidget>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QColor vert(0, 160, 0);

QByteArray png_vert() {
    QImage i(144, 105, QImage::Format_ARGB32);
    i.fill(vert);
    QByteArray o;
    QBuffer b(&o);
    b.open(QIODevice::WriteOnly);
    i.save(&b, "PNG");
    return o;
}

// The picture of each channel's first row, by channel number.
QHash<int, QImage> logos(QTreeWidget* l) {
    QHash<int, QImage> res;
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = l->topLevelItem(i);
        const int num = it->data(0, Qt::UserRole).toInt();
        if (!it->icon(0).isNull() && !res.contains(num))
            res.insert(num, it->icon(0).pixmap(QSize(48, 35)).toImage());
    }
    return res;
}

} // namespace

class test_logos_vues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void logo_ou_badge_data() {
        QTest::addColumn<QString>("fenetre");
        QTest::newRow("principale") << "principale";
        QTest::newRow("Ce soir") << "Ce soir";
    }
    void logo_ou_badge() {
        QFETCH(QString, fenetre);
        banc_principal b;
        {
            donnees::base_programmes base(b.dossier.base());
            donnees::ecrire_logo(base,
                                 {2, QStringLiteral("http://127.0.0.1/2.png"), png_vert(), {}, {}, {}, true});
            // Not a picture of ours: the badge stays.
            donnees::ecrire_logo(
                base, {3, QStringLiteral("http://127.0.0.1/3.png"), "pas une image", {}, {}, {}, true});
        }
        b.remplir();
        QHash<int, QImage> vus;
        if (fenetre == QLatin1String("principale")) {
            vus = logos(controle<QTreeWidget>(*b.f, "lst_chaines"));
        } else {
            QPointer<vues::fl_ce_soir> soir = vues::fl_ce_soir::afficher(b.ctx, [](int, qint64) {});
            QVERIFY(soir);
            vus = logos(controle<QTreeWidget>(*soir, "lst_soir"));
            delete soir;
        }
        QCOMPARE(vus.size(), 4);
        QCOMPARE(vus.value(2).pixelColor(24, 17), vert);
        for (int n : {1, 3, 4})
            QCOMPARE(vus.value(n), composants::dessiner_logo(n).toImage());
    }
};

QTEST_MAIN(test_logos_vues)
#include "test_logos_vues.moc"
