// A feed read from a file with its channels set aside on disk gives exactly what
// the reading in memory gives, however the feed lays its programmes out.
#include "noyau/xmltv.h"

#include <QBuffer>
#include <QDateTime>
#include <QTemporaryFile>
#include <QTest>

#include <cstring>
#include <limits>

using namespace zapo;

namespace {

const QDateTime lundi(QDate(2026, 12, 7), QTime(0, 0));

// The n-th programme of a channel: every 10 minutes from 00:00 today (the
// week's end passes after 1,152 of them), a stop on odd ones, a description.
QByteArray programme(const QByteArray& chaine, int n) {
    const QByteArray debut = lundi.addSecs(600LL * n).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    const QByteArray fin =
        lundi.addSecs(600LL * n + 300).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    return "<programme start=\"" + debut + " +0100\"" + (n % 2 ? " stop=\"" + fin + " +0100\"" : "") +
           " channel=\"" + chaine + "\"><title>" + chaine + " " + QByteArray::number(n) +
           "</title><desc>Résumé " + QByteArray::number(n) + "</desc></programme>";
}

QByteArray suite(const QByteArray& chaine, int de, int a) {
    QByteArray r;
    for (int n = de; n < a; ++n)
        r += programme(chaine, n);
    return r;
}

QByteArray document(const QByteArray& programmes) {
    return "<tv><channel id=\"A.fr\"><display-name>Une</display-name><icon src=\"a.png\"/></channel>"
           "<channel id=\"B.fr\"><display-name>Deux</display-name></channel>"
           "<channel id=\"C.fr\"><display-name>Trois</display-name></channel>" +
           programmes + "</tv>";
}

// A spill on a disk that fills up: the first `place` bytes go in, the write that
// passes them goes in part, every later one fails, as a full file system does.
class disque_plein final : public QIODevice {
public:
    explicit disque_plein(qint64 place) : place_(place) {
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    qint64 size() const override { return octets_.size(); }
    bool seek(qint64 pos) override { return pos <= octets_.size() && QIODevice::seek(pos); }

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = std::max<qint64>(0, std::min(max, octets_.size() - pos()));
        std::memcpy(data, octets_.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char* data, qint64 n) override {
        const qint64 libre = place_ - pos();
        if (libre <= 0)
            return -1;
        const qint64 ecrits = std::min(n, libre);
        if (pos() + ecrits > octets_.size())
            octets_.resize(pos() + ecrits);
        std::memcpy(octets_.data() + pos(), data, size_t(ecrits));
        return ecrits;
    }

private:
    QByteArray octets_;
    qint64 place_;
};

const QByteArrayList ids_six{"A.fr", "B.fr", "C.fr", "D.fr", "E.fr", "F.fr"};

QByteArray document_six(bool entrelace) {
    QByteArray d = "<tv>";
    for (const QByteArray& id : ids_six)
        d += "<channel id=\"" + id + "\"><display-name>" + id + "</display-name></channel>";
    if (entrelace) {
        // Each channel in three pieces: its segments lie among the others'.
        for (int k = 0; k < 3; ++k)
            for (const QByteArray& id : ids_six)
                d += suite(id, 30 * k, 30 * k + 30);
    } else {
        for (const QByteArray& id : ids_six)
            d += suite(id, 0, 90);
    }
    return d + "</tv>";
}

} // namespace

class test_xmltv_differee : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void comme_en_memoire_data() {
        QTest::addColumn<QByteArray>("doc");
        QByteArray alterne;
        for (int n = 0; n < 40; ++n)
            alterne += programme("A.fr", n) + programme("B.fr", n) + programme("C.fr", n);
        QTest::newRow("groupé") << document(suite("A.fr", 0, 40) + suite("B.fr", 0, 40) +
                                            suite("C.fr", 0, 9));
        QTest::newRow("entrelacé") << document(alterne);
        QTest::newRow("une chaîne en deux morceaux")
            << document(suite("A.fr", 20, 40) + suite("B.fr", 0, 40) + suite("A.fr", 0, 20));
        // More than the week's 1,500 in two pieces, and days after the week.
        QTest::newRow("plafond sur deux morceaux")
            << document(suite("A.fr", 900, 1700) + suite("B.fr", 0, 3) + suite("A.fr", 0, 900));
        QTest::newRow("au-delà de la semaine") << document(suite("A.fr", 1100, 1200) + suite("B.fr", 0, 3));
        QTest::newRow("rien pour une chaîne") << document(suite("A.fr", 0, 5));
        QTest::newRow("mal formé après la première chaîne")
            << document(suite("A.fr", 0, 40) + "<programme channel=\"B.fr\"><title>x</titre></programme>");
        QTest::newRow("coupé") << document(suite("A.fr", 0, 40) + suite("B.fr", 0, 40)).chopped(200);
    }
    void comme_en_memoire() {
        QFETCH(QByteArray, doc);
        const date_heure maintenant = date_heure::depuis_qdatetime(lundi.addSecs(14 * 3600));
        // By id, by id ignoring case, by display-name.
        const std::vector<chaine_voulue> voulues{{QStringLiteral("A.fr"), {}},
                                                 {QStringLiteral("b.FR"), {}},
                                                 {QStringLiteral("Trois.fr"), QStringLiteral("trois")}};
        const lecture_xmltv attendu = lire_xmltv(doc, maintenant, voulues);

        QBuffer fichier(&doc);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        QTemporaryFile debord;
        QVERIFY(debord.open());
        const lecture_xmltv_differee l(fichier, debord, maintenant, voulues);
        const lecture_xmltv& e = l.entete();
        QCOMPARE(e.ok, attendu.ok);
        QCOMPARE(e.erreur, attendu.erreur);
        QCOMPARE(e.chaines, attendu.chaines);
        QCOMPARE(e.correspondances, attendu.correspondances);
        QCOMPARE(e.icones, attendu.icones);
        QVERIFY(e.programmes.isEmpty() && e.semaine.isEmpty());
        for (const chaine_voulue& v : voulues) {
            const lecture_xmltv_differee::chaine_lue c = l.extraire(v.id);
            QVERIFY(c.programmes == attendu.programmes.value(v.id));
            QVERIFY(c.semaine == attendu.semaine.value(v.id));
            QCOMPARE(c.au_dela, attendu.au_dela.contains(v.id));
            // Asked again (two channels of the base on one id), the same.
            QVERIFY(l.extraire(v.id).semaine == c.semaine);
        }
    }

    // Whatever byte the disk fills up at, a channel is given whole or lost,
    // never short and never with another's programmes.
    void debord_plein_data() {
        QTest::addColumn<bool>("entrelace");
        QTest::addColumn<double>("part"); // of the room the whole spill needs
        for (const bool entrelace : {false, true})
            for (const double part : {0.0, 0.001, 0.2, 0.5, 0.75, 0.999, 1.0}) {
                const QByteArray nom = QByteArray(entrelace ? "entrelacé" : "groupé") + ", plein à " +
                                       QByteArray::number(part * 100) + " %";
                QTest::newRow(nom.constData()) << entrelace << part;
            }
    }
    void debord_plein() {
        QFETCH(bool, entrelace);
        QFETCH(double, part);
        QByteArray doc = document_six(entrelace);
        const date_heure maintenant = date_heure::depuis_qdatetime(lundi.addSecs(14 * 3600));
        std::vector<chaine_voulue> voulues;
        for (const QByteArray& id : ids_six)
            voulues.push_back({QString::fromLatin1(id), {}});
        const lecture_xmltv attendu = lire_xmltv(doc, maintenant, voulues);

        qint64 besoin = 0;
        {
            QBuffer fichier(&doc);
            QVERIFY(fichier.open(QIODevice::ReadOnly));
            disque_plein sans_limite(std::numeric_limits<qint64>::max());
            const lecture_xmltv_differee l(fichier, sans_limite, maintenant, voulues);
            besoin = sans_limite.size();
        }
        QVERIFY(besoin > 0);
        QBuffer fichier(&doc);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        disque_plein debord(qint64(double(besoin) * part));
        const lecture_xmltv_differee l(fichier, debord, maintenant, voulues);
        QVERIFY(l.entete().ok);
        int perdues = 0;
        for (const chaine_voulue& v : voulues) {
            const lecture_xmltv_differee::chaine_lue c = l.extraire(v.id);
            if (c.perdue) {
                ++perdues;
                QVERIFY(c.programmes.empty() && c.semaine.empty());
                continue;
            }
            QVERIFY2(c.semaine == attendu.semaine.value(v.id), qPrintable(v.id));
            QVERIFY(c.programmes == attendu.programmes.value(v.id));
        }
        QCOMPARE(perdues > 0, part < 1.0);
    }
};

QTEST_GUILESS_MAIN(test_xmltv_differee)
#include "test_xmltv_differee.moc"
