#include "noyau/repli.h"

#include <QTest>

using namespace zapo;

class test_repli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repli_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("accents") << QStringLiteral("Été à Noël") << QStringLiteral("ete a noel");
        QTest::newRow("majuscules accentuées") << QStringLiteral("ÉCOLE ÇA") << QStringLiteral("ecole ca");
        QTest::newRow("ligatures") << QStringLiteral("Œuvre, cæcum") << QStringLiteral("oeuvre, caecum");
        QTest::newRow("apostrophe typographique") << QStringLiteral("L’Équipe") << QStringLiteral("l'equipe");
        QTest::newRow("exposant et chiffres") << QStringLiteral("N° 2ᵉ") << QStringLiteral("n° 2e");
        // Folded letter by letter, these must come out as the whole text would.
        QTest::newRow("accent déjà décomposé") << QStringLiteral("E\u0301te\u0301") << QStringLiteral("ete");
        QTest::newRow("ligature typographique") << QStringLiteral("\uFB01n") << QStringLiteral("fin");
        QTest::newRow("i à point") << QStringLiteral("\u0130stanbul") << QStringLiteral("istanbul");
        QTest::newRow("hors du plan de base") << QStringLiteral("\U0001D400BC") << QStringLiteral("abc");
        QTest::newRow("vide") << QString() << QString();
        QTest::newRow("autres écritures gardées") << QStringLiteral("Ελλάδα") << QStringLiteral("ελλαδα");
    }
    void repli() {
        QFETCH(QString, texte);
        QFETCH(QString, attendu);
        QCOMPARE(replier(texte), attendu);
    }
    void recherche() {
        QVERIFY(contient_replie(replier(QStringLiteral("Un été à Paris")), replier(QStringLiteral("ETE"))));
        QVERIFY(
            !contient_replie(replier(QStringLiteral("Un été à Paris")), replier(QStringLiteral("hiver"))));
    }
};

QTEST_APPLESS_MAIN(test_repli)
#include "test_repli.moc"
