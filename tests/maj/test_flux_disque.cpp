// A feed shared by several channels, taken to disk as it arrives and read once:
// each channel gets its own programmes however the feed lays them out, and a
// feed that is not whole renews none of its channels.
#include "donnees/semaine.h"

#include "outils/banc_pilote.h"
#include "outils/compression.h"
#include "outils/flux_semaine.h"

#include <QLoggingCategory>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

QStringList semaine_de(const QString& base, int chaine) {
    donnees::base_programmes b(base);
    QStringList r;
    donnees::parcourir_semaine(b, false, [&](const donnees::programme_semaine& p) {
        if (p.chaine == chaine)
            r << p.titre;
    });
    return r;
}

// The run's log says when it reads a document: counted here.
int lectures = 0;
QtMessageHandler suivant = nullptr;
void compter(QtMsgType t, const QMessageLogContext& c, const QString& m) {
    if (m.startsWith(QStringLiteral("lecture de")))
        ++lectures;
    else if (suivant)
        suivant(t, c, m);
}

QStringList huit_jours(const char* suffixe) {
    QStringList r;
    for (int k = 0; k < 8; ++k)
        r << QStringLiteral("J%1 matin%2").arg(k).arg(QLatin1String(suffixe))
          << QStringLiteral("J%1 soir%2").arg(k).arg(QLatin1String(suffixe));
    return r;
}

} // namespace

class test_flux_disque : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("zapo.maj.info=true"));
        suivant = qInstallMessageHandler(compter);
    }
    void cleanupTestCase() { qInstallMessageHandler(suivant); }

    void par_chaine_data() {
        QTest::addColumn<QByteArray>("corps");
        QTest::addColumn<bool>("renouvele"); // false: every channel keeps its old week
        const QByteArray groupe = flux_ab(dix_jours("A.fr", " neuf") + dix_jours("B.fr", " neuf B"));
        QTest::newRow("groupé") << groupe << true;
        const QByteArray a = dix_jours("A.fr", " neuf");
        const qsizetype milieu = a.indexOf("<programme", a.size() / 2);
        QTest::newRow("A en deux morceaux")
            << flux_ab(a.mid(milieu) + dix_jours("B.fr", " neuf B") + a.left(milieu)) << true;
        QTest::newRow("gzip") << compresser_gzip(groupe) << true;
        // Cut in the middle of B: B's programmes so far are sound, A's whole; neither is renewed.
        QTest::newRow("coupé dans B") << groupe.left(groupe.size() - 400) << false;
        QTest::newRow("coupé entre A et B")
            << groupe.left(groupe.indexOf("channel=\"B.fr\"><title>") - 30) << false;
        QTest::newRow("mal formé dans B")
            << flux_ab(dix_jours("A.fr", " neuf") +
                       "<programme channel=\"B.fr\"><title>x</titre></programme>")
            << false;
    }
    void par_chaine() {
        QFETCH(QByteArray, corps);
        QFETCH(bool, renouvele);
        banc_pilote b(midi_semaine);
        QVERIFY(b.pret());
        // Three channels on one feed, two of them on the same id.
        b.remplacer_chaines({{1, QStringLiteral("A"), QStringLiteral("/f.xml#A.fr")},
                             {2, QStringLiteral("B"), QStringLiteral("/f.xml#B.fr")},
                             {3, QStringLiteral("A bis"), QStringLiteral("/f.xml#A.fr")}});
        b.serveur.definir_page(QStringLiteral("/f.xml"),
                               flux_ab(dix_jours("A.fr", " ancien") + dix_jours("B.fr", " ancien B")),
                               "application/xml");
        QCOMPARE(b.lancer(), maj::fin_maj::complete);

        b.serveur.definir_page(QStringLiteral("/f.xml"), corps, "application/xml");
        lectures = 0;
        QCOMPARE(b.lancer(), renouvele ? maj::fin_maj::complete : maj::fin_maj::echec_chaines);
        // Fetched once and read at most once for the three channels.
        QCOMPARE(b.serveur.nb_requetes(QStringLiteral("/f.xml")), 2);
        QCOMPARE(lectures, 1);
        // Each channel's week is its own whole one, never a mix.
        const QStringList a = huit_jours(renouvele ? " neuf" : " ancien");
        QCOMPARE(semaine_de(b.d.base(), 1), a);
        QCOMPARE(semaine_de(b.d.base(), 2), huit_jours(renouvele ? " neuf B" : " ancien B"));
        QCOMPARE(semaine_de(b.d.base(), 3), a);
    }
};

QTEST_GUILESS_MAIN(test_flux_disque)
#include "test_flux_disque.moc"
