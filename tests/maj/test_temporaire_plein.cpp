// A feed read while the temporary folder fills up: a channel whose programmes
// could not all be set aside keeps its old rows and says why; no channel ever
// gets another's programmes, and none is cut short.
#include "donnees/semaine.h"
#include "noyau/xmltv.h"

#include "outils/banc_pilote.h"
#include "outils/compression.h"
#include "outils/flux_semaine.h"
#include "outils/montage_essai.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

constexpr int nb_chaines = 26;

QByteArray id_chaine(int c) {
    return "C" + QByteArray::number(c).rightJustified(2, '0') + ".fr";
}

// Every channel grouped, each programme with a description that weighs in the spill.
QByteArray flux_26(const QByteArray& suffixe) {
    QByteArray d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>";
    for (int c = 1; c <= nb_chaines; ++c)
        d += "<channel id=\"" + id_chaine(c) + "\"><display-name>" + id_chaine(c) +
             "</display-name></channel>";
    const QByteArray remplissage(600, 'r');
    for (int c = 1; c <= nb_chaines; ++c)
        for (int k = 0; k < 8; ++k)
            for (int h = 0; h < 24; h += 2)
                d += programme_flux(midi_semaine.date().addDays(k), h, 0,
                                    "J" + QByteArray::number(k) + "h" + QByteArray::number(h) + suffixe +
                                        " " + id_chaine(c),
                                    "<desc>" + remplissage + "</desc>", id_chaine(c));
    return d + "</tv>";
}

// What the spill of that feed weighs, read as the run reads it.
qint64 poids_debord(const QByteArray& flux) {
    QByteArray copie = flux;
    QBuffer doc(&copie);
    doc.open(QIODevice::ReadOnly);
    QBuffer debord;
    debord.open(QIODevice::ReadWrite);
    std::vector<chaine_voulue> voulues;
    for (int c = 1; c <= nb_chaines; ++c)
        voulues.push_back({QString::fromLatin1(id_chaine(c)), {}});
    const lecture_xmltv_differee l(doc, debord, date_heure::depuis_qdatetime(midi_semaine), voulues);
    return debord.size();
}

QStringList titres_liste(donnees::base_programmes& b, int c) {
    QStringList r;
    b.parcourir_chaine(c, [&](const donnees::ligne_liste& l) { r << l.programme; });
    return r;
}

QStringList titres_semaine(donnees::base_programmes& b, int c) {
    QStringList r;
    for (const fiche_programme& p : donnees::lire_semaine_chaine(b, c))
        r << p.programme;
    return r;
}

} // namespace

class test_temporaire_plein : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!espace_montage_prive())
            QSKIP("a full temporary folder needs root (private mount namespace)");
        // SQLite's own temporary files stay out of the full folder.
        QVERIFY(sqlite_.isValid());
        qputenv("SQLITE_TMPDIR", sqlite_.path().toLocal8Bit());
    }

    void plein_data() {
        QTest::addColumn<double>("part"); // of the spill that fits beside the body
        QTest::addColumn<bool>("corps");  // the body itself fits
        QTest::addColumn<bool>("gzip");   // the body compressed: its inflated copy must fit too
        QTest::newRow("le corps ne tient pas") << 0.0 << false << false;
        QTest::newRow("la copie décompressée ne tient pas") << 0.0 << false << true;
        for (const double part : {0.0, 0.1, 0.5, 0.9})
            QTest::newRow(qPrintable(QStringLiteral("débord à %1 %").arg(part * 100)))
                << part << true << false;
        QTest::newRow("tout tient") << 1.5 << true << false;
        QTest::newRow("tout tient, compressé") << 1.5 << true << true;
    }
    void plein() {
        QFETCH(double, part);
        QFETCH(bool, corps);
        QFETCH(bool, gzip);
        banc_pilote b(midi_semaine);
        QVERIFY(b.d.valide());
        QVERIFY(b.serveur.demarrer());
        executer_sql(b.base(), "DELETE FROM chaines");
        for (int c = 1; c <= nb_chaines; ++c) {
            const QString id = QString::fromLatin1(id_chaine(c));
            donnees::base_programmes(b.base()).ajouter_chaine(
                {c, id, b.serveur.url(QStringLiteral("/f.xml#") + id), 1});
        }
        b.serveur.definir_page(QStringLiteral("/f.xml"), flux_26(" ancien"), "application/xml");
        QCOMPARE(b.lancer(), maj::fin_maj::complete);

        const QByteArray neuf = flux_26(" neuf");
        const QByteArray envoye = gzip ? compresser_gzip(neuf) : neuf;
        b.serveur.definir_page(QStringLiteral("/f.xml"), envoye, "application/xml");
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(monter_tmpfs(tmp.path(), 64LL * 1024 * 1024));
        // Room for the body as sent, its inflated copy, then that part of the spill.
        const qint64 reste =
            !corps ? (gzip ? envoye.size() : 0) + neuf.size() / 2
                   : envoye.size() + (gzip ? neuf.size() : 0) + qint64(double(poids_debord(neuf)) * part);
        remplir(tmp.path(), QStringLiteral("plein"), reste);
        const QByteArray tmpdir = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        const maj::fin_maj fin = b.lancer();
        qputenv("TMPDIR", tmpdir);
        demonter(tmp.path());

        donnees::base_programmes base(b.base());
        const auto sante = base.lire_sante();
        int echouees = 0;
        for (int c = 1; c <= nb_chaines; ++c) {
            const QString id = QString::fromLatin1(id_chaine(c));
            const QStringList liste = titres_liste(base, c);
            const QStringList semaine = titres_semaine(base, c);
            QVERIFY2(!liste.isEmpty() && !semaine.isEmpty(), qPrintable(id));
            // Whole and its own: the new rows or the old ones, never a mix.
            const QString suffixe =
                (liste.front().contains(QStringLiteral(" neuf ")) ? QStringLiteral(" neuf ")
                                                                  : QStringLiteral(" ancien ")) +
                id;
            for (const QString& t : liste + semaine)
                QVERIFY2(t.endsWith(suffixe), qPrintable(id + QStringLiteral(" : ") + t));
            if (suffixe.startsWith(QStringLiteral(" ancien"))) {
                ++echouees;
                QVERIFY(!sante.at(c).succes);
                QVERIFY2(sante.at(c).raison.contains(QStringLiteral("dossier temporaire est plein")),
                         qPrintable(sante.at(c).raison));
            } else {
                QVERIFY(sante.at(c).succes);
            }
        }
        QCOMPARE(echouees > 0, part < 1.0);
        // The run fails when no channel was renewed, as for any other cause.
        QCOMPARE(fin, echouees == nb_chaines ? maj::fin_maj::echec_chaines : maj::fin_maj::complete);
    }

private:
    QTemporaryDir sqlite_;
};

QTEST_GUILESS_MAIN(test_temporaire_plein)
#include "test_temporaire_plein.moc"
