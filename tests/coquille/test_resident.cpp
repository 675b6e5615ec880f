// The program as a resident: two hundred update runs in one process, as the
// timer would start them over days, against a local server. Whatever a run
// takes (sockets, database handles, windows, memory) it must give back.

#include "outils/banc_maj.h"
#include "outils/base_essai.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZAPO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAPO_ASAN 1
#endif
#endif
#ifdef ZAPO_ASAN
#include <sanitizer/lsan_interface.h>
#endif

using namespace zapo;
using namespace zapo::essais;
using maj::fin_maj;

namespace {

const QByteArray flux = R"(<?xml version="1.0" encoding="UTF-8"?>
<tv>
  <programme start="20260612063000 +0200" stop="20260612090000 +0200" channel="Quatre.fr"><title>Matin</title></programme>
  <programme start="20260612204500 +0200" channel="Quatre.fr"><title>Soirée</title></programme>
  <programme start="20260612223000 +0200" stop="20260612233000 +0200" channel="Quatre.fr"><title>Nuit</title></programme>
</tv>
)";

// A page the size of a real one: most of it is the site's own markup.
QByteArray page_lourde(const chaine_essai& c) {
    QByteArray p = page_programmes(c.programmes);
    QByteArray habillage;
    for (int i = 0; i < 1500; ++i)
        habillage += "<div class=\"bandeau\"><a href=\"/rubrique\">Accueil</a></div>\r\n";
    return p.insert(p.indexOf("<table>"), habillage);
}

// What one run leaves in the process once the event loop has had its turn.
struct releve {
    qint64 resident_ko = 0; // resident set
    qint64 tas_ko = 0;      // heap blocks in use
    int descripteurs = 0;
    int fenetres = 0;
};

releve relever() {
    // What the main loop of the resident program does between two runs.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    malloc_trim(0);
    releve r;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> champs = statm.readAll().split(' ');
        if (champs.size() > 1)
            r.resident_ko = champs[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
    }
    r.tas_ko = qint64(mallinfo2().uordblks / 1024);
    r.descripteurs =
        int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
    r.fenetres = int(QApplication::topLevelWidgets().size());
    return r;
}

// Every tenth run has a channel whose page is gone, every tenth another is
// off line: the paths a resident meets besides the plain one.
enum class sorte { complete, page_absente, hors_ligne };
sorte sorte_du_run(int i) {
    if (i % 10 == 3)
        return sorte::page_absente;
    if (i % 10 == 7)
        return sorte::hors_ligne;
    return sorte::complete;
}

} // namespace

class test_resident : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deux_cents_runs();
};

void test_resident::deux_cents_runs() {
    constexpr int nb_runs = 200;
    constexpr int run_reference = 20; // caches and pools are full by then
    banc_maj b;
    const auto chaines = trois_chaines();
    for (const auto& c : chaines) {
        b.ajouter(c, false);
        b.serveur.definir_page(c.chemin, page_lourde(c));
    }
    b.serveur.definir_page(QStringLiteral("/xmltv.xml.gz"), compresser_gzip(flux), "application/gzip");
    {
        donnees::base_programmes base(b.base());
        base.ajouter_chaine(
            {6, QStringLiteral("Quatre"), b.serveur.url(QStringLiteral("/xmltv.xml.gz#Quatre.fr")), 4});
    }
    qsizetype nb_lignes = 3; // the feed's
    for (const auto& c : chaines)
        nb_lignes += qsizetype(c.programmes.size());
    serveur_http::reponse absente;
    absente.statut = 404;

    releve reference;
    for (int i = 1; i <= nb_runs; ++i) {
        const sorte s = sorte_du_run(i);
        if (s == sorte::page_absente)
            b.serveur.definir(chaines[1].chemin, absente);
        b.connexion.en_ligne = s != sorte::hors_ligne;

        const fin_maj fin = b.lancer();

        QCOMPARE(fin, s == sorte::hors_ligne ? fin_maj::echec_connexion : fin_maj::complete);
        if (s == sorte::page_absente) {
            QVERIFY(b.cours.contains(QStringLiteral("ECHEC ") + chaines[1].nom));
            b.serveur.definir_page(chaines[1].chemin, page_lourde(chaines[1]));
        }
        QVERIFY2(b.boites.vues.empty(), qPrintable(QStringLiteral("run %1").arg(i)));
        // The recorders would grow with the test, not with the program.
        b.progres1.clear();
        b.progres2.clear();
        b.cours.clear();
        b.etats_pendant.clear();
        b.etats_principal.clear();
        if (i == run_reference)
            reference = relever();
    }
    const releve fin = relever();
    qInfo("après %d runs : %lld Kio résidents, %lld Kio de tas, %d descripteurs, %d fenêtres", run_reference,
          reference.resident_ko, reference.tas_ko, reference.descripteurs, reference.fenetres);
    qInfo("après %d runs : %lld Kio résidents, %lld Kio de tas, %d descripteurs, %d fenêtres", nb_runs,
          fin.resident_ko, fin.tas_ko, fin.descripteurs, fin.fenetres);

    // The last run stored everything, and nothing else.
    QCOMPARE(qsizetype(essais::lire_liste(b.base()).size()), nb_lignes);
    QCOMPARE(fin.descripteurs, reference.descripteurs);
    QCOMPARE(fin.fenetres, reference.fenetres);
#ifdef ZAPO_ASAN
    // Freed blocks wait in AddressSanitizer's quarantine, so sizes say nothing
    // here; what is lost is looked for directly.
    QCOMPARE(__lsan_do_recoverable_leak_check(), 0);
#else
    QVERIFY2(fin.resident_ko <= reference.resident_ko + reference.resident_ko / 10,
             "la mémoire résidente grandit");
    // Finer than the resident set: a kilobyte kept per run shows here.
    QVERIFY2(fin.tas_ko <= reference.tas_ko + 256, "le tas grandit d'un run à l'autre");
#endif
}

QTEST_MAIN(test_resident)
#include "test_resident.moc"
