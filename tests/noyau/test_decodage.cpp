#include "noyau/decodage.h"

#include <QBuffer>
#include <QTest>

using namespace zapo;

class test_decodage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodage_data();
    void decodage();
    void nettoyage_data();
    void nettoyage();
    void inerte_data();
    void inerte();
};

void test_decodage::decodage_data() {
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("attendu");

    const QString accents = QStringLiteral("Télématin L'œuvre 5 €");
    const QByteArray cp1252 = "T\xE9l\xE9matin L'\x9Cuvre 5 \x80";
    const QByteArray utf8 = accents.toUtf8();

    QTest::newRow("utf-8 annoncé") << utf8 << QByteArray("text/html; charset=UTF-8") << accents;
    QTest::newRow("utf-8 sans étiquette") << utf8 << QByteArray("text/html") << accents;
    QTest::newRow("latin-1 annoncé lu en windows-1252")
        << cp1252 << QByteArray("text/html; charset=ISO-8859-1") << accents;
    QTest::newRow("étiquette entre guillemets")
        << cp1252 << QByteArray("text/html;charset=\"iso-8859-1\"") << accents;
    QTest::newRow("windows-1252 sans étiquette") << cp1252 << QByteArray() << accents;
    QTest::newRow("en-tête avant meta")
        << QByteArray("<meta charset=utf-8>") + cp1252 << QByteArray("text/html; charset=windows-1252")
        << QStringLiteral("<meta charset=utf-8>") + accents;
    QTest::newRow("meta charset") << QByteArray("<head><meta charset=\"iso-8859-1\"></head>\xE9")
                                  << QByteArray("text/html")
                                  << QStringLiteral("<head><meta charset=\"iso-8859-1\"></head>é");
    // Valid UTF-8 that the page says is Latin-1: the label wins, as in a browser.
    QTest::newRow("meta http-equiv")
        << QByteArray("<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=ISO-8859-1'>\xC3\xA9")
        << QByteArray()
        << QStringLiteral("<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=ISO-8859-1'>Ã©");
    QTest::newRow("meta dans un commentaire ignoré")
        << QByteArray("<!-- <meta charset=iso-8859-1> -->\xC3\xA9") << QByteArray()
        << QStringLiteral("<!-- <meta charset=iso-8859-1> -->é");
    QTest::newRow("iso-8859-15") << QByteArray("\xA4") << QByteArray("text/html; charset=iso-8859-15")
                                 << QStringLiteral("€");
    QTest::newRow("étiquette inconnue")
        << cp1252 << QByteArray("text/html; charset=n-importe-quoi") << accents;
    QTest::newRow("bom utf-8 plus fort que l'étiquette")
        << QByteArray("\xEF\xBB\xBF") + utf8 << QByteArray("text/html; charset=iso-8859-1") << accents;
    QTest::newRow("bom utf-16le") << QByteArray("\xFF\xFE\xE9\x00", 4) << QByteArray() << QStringLiteral("é");
    QTest::newRow("utf-8 tronqué") << QByteArray("abc\xC3") << QByteArray() << QStringLiteral("abcÃ");
    // A file is read in 64 KB pieces: a character across two of them, an error in the second.
    const QByteArray long_a(65535, 'a');
    QTest::newRow("utf-8 entre deux morceaux")
        << long_a + utf8 << QByteArray() << QString::fromLatin1(long_a) + accents;
    QTest::newRow("windows-1252 après un long début utf-8")
        << long_a + long_a + cp1252 << QByteArray() << QString::fromLatin1(long_a + long_a) + accents;
}

void test_decodage::decodage() {
    QFETCH(QByteArray, octets);
    QFETCH(QByteArray, type);
    QFETCH(QString, attendu);
    QCOMPARE(decoder_page(octets, type), attendu);
    // The same bytes kept in a device give the same text.
    QBuffer fichier(&octets);
    QVERIFY(fichier.open(QIODevice::ReadOnly));
    QCOMPARE(decoder_page(fichier, type), attendu);
}

void test_decodage::nettoyage_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("propre") << QStringLiteral("Télématin\tà 6h\n") << QStringLiteral("Télématin\tà 6h\n");
    QTest::newRow("c1 en windows-1252")
        << QStringLiteral("L\u0092été \u0085 \u0080 \u009C") << QStringLiteral("L’été … € œ");
    QTest::newRow("c1 non attribués")
        << QStringLiteral("a\u0081\u008D\u008F\u0090\u009Db") << QStringLiteral("ab");
    QTest::newRow("retours chariot") << QStringLiteral("a\rb\r\nc\r") << QStringLiteral("a b\nc ");
    QTest::newRow("autres contrôles")
        << QStringLiteral("a\u0000b\u0001\u001B[0m\u007Fc\u000B") << QStringLiteral("ab[0mc");
    QTest::newRow("bidirectionnels") << QStringLiteral(
                                            "\u202Aa\u202Bb\u202Cc\u202Dd\u202Ee\u2066f\u2067g\u2068h\u2069")
                                     << QStringLiteral("abcdefgh");
    QTest::newRow("marques de sens gardées")
        << QStringLiteral("a\u200Eb\u200Fc\u061C") << QStringLiteral("a\u200Eb\u200Fc\u061C");
    QTest::newRow("vide") << QString() << QString();
}

void test_decodage::nettoyage() {
    QFETCH(QString, texte);
    QFETCH(QString, attendu);
    QCOMPARE(nettoyer_texte(texte), attendu);
}

// What a window shows of a stored text: every control but tab and line feed,
// and every override, embedding or isolate, is a space; a clean text is shared.
void test_decodage::inerte_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("propre") << QStringLiteral("Télématin\tà 6h\n") << QStringLiteral("Télématin\tà 6h\n");
    QTest::newRow("c0 et del") << QStringLiteral("a\u001B[0m\rb\u007F") << QStringLiteral("a [0m b ");
    QTest::newRow("c1") << QStringLiteral("a\u0080b\u009Bc\u009Fd") << QStringLiteral("a b c d");
    QTest::newRow("bidirectionnels") << QStringLiteral("\u202Ea\u202Ab\u2066c\u2069")
                                     << QStringLiteral(" a b c ");
    QTest::newRow("marques de sens gardées") << QStringLiteral("a\u200Fb") << QStringLiteral("a\u200Fb");
}

void test_decodage::inerte() {
    QFETCH(QString, texte);
    QFETCH(QString, attendu);
    const QString montre = texte_inerte(texte);
    QCOMPARE(montre, attendu);
    QCOMPARE(texte_inerte(montre), montre);
    if (texte == attendu)
        QCOMPARE(montre.constData(), texte.constData());
}

QTEST_GUILESS_MAIN(test_decodage)
#include "test_decodage.moc"
