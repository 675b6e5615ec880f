// Reading a 5 MB XMLTV feed of 25 channels for all of them, beside a bare
// QXmlStreamReader pass over the same bytes.
#include "noyau/xmltv.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QXmlStreamReader>

namespace {

const QByteArray& flux_5_mo() {
    static const QByteArray flux = [] {
        QByteArray f = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"banc\">\n";
        for (int c = 0; c < 25; ++c)
            f += "  <channel id=\"Chaine" + QByteArray::number(c) + ".fr\"><display-name>Chaîne " +
                 QByteArray::number(c) + "</display-name></channel>\n";
        const QDateTime debut(QDate(2026, 12, 1), QTime(0, 0));
        int n = 0;
        while (f.size() < 5 * 1024 * 1024) {
            for (int c = 0; c < 25 && f.size() < 5 * 1024 * 1024; ++c) {
                const QDateTime a = debut.addSecs(qint64(n) * 1800);
                const QDateTime b = a.addSecs(1800);
                f += "  <programme start=\"" + a.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                     " +0100\" stop=\"" + b.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                     " +0100\" channel=\"Chaine" + QByteArray::number(c) +
                     ".fr\">\n    <title lang=\"fr\">Émission n° " + QByteArray::number(n) +
                     " &amp; suite</title>\n    <sub-title lang=\"fr\">Épisode</sub-title>\n"
                     "    <desc lang=\"fr\">Une description assez longue de l'émission, comme en donnent les "
                     "guides : intrigue, invités, lieux et détails.</desc>\n"
                     "    <category lang=\"fr\">Divertissement</category>\n  </programme>\n";
            }
            ++n;
        }
        f += "</tv>\n";
        return f;
    }();
    return flux;
}

void passage_nu(benchmark::State& etat) {
    const QByteArray& f = flux_5_mo();
    for (auto _ : etat) {
        QXmlStreamReader x(f);
        qint64 n = 0;
        while (!x.atEnd())
            n += x.readNext();
        benchmark::DoNotOptimize(n);
    }
    etat.SetBytesProcessed(etat.iterations() * f.size());
}

void lecture_xmltv(benchmark::State& etat) {
    const QByteArray& f = flux_5_mo();
    const auto maintenant = zapo::date_heure::depuis_date(QDate(2026, 12, 3), 14, 0);
    for (auto _ : etat) {
        const auto l = zapo::lire_xmltv(f, maintenant);
        benchmark::DoNotOptimize(l.programmes.size());
    }
    etat.SetBytesProcessed(etat.iterations() * f.size());
}

} // namespace

BENCHMARK(passage_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(lecture_xmltv)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
