// What an update reads from a realistic feed: 10 MB, 26 channels, a week of
// programmes with descriptions. The reading for the 26 chosen channels beside a
// bare QXmlStreamReader pass over the same bytes; the process's resident
// memory before the feed exists and its peak after the readings are reported
// as counters (kB).
#include "commun_banc.h"
#include "noyau/xmltv.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>

namespace {

const qint64 rss_repos = zapo::bancs::ligne_status("VmRSS:");

constexpr int nb_chaines = 26;

const QByteArray& flux_10_mo() {
    static const QByteArray flux = [] {
        QByteArray f = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"banc\">\n";
        for (int c = 0; c < nb_chaines; ++c)
            f += "  <channel id=\"Chaine" + QByteArray::number(c) + ".fr\"><display-name>Chaîne " +
                 QByteArray::number(c) + "</display-name></channel>\n";
        const QDateTime debut(QDate(2026, 12, 3), QTime(0, 0));
        // A week for each channel, channel after channel, as the public feeds are laid out.
        const int par_chaine = 10 * 1024 * 1024 / nb_chaines;
        for (int c = 0; c < nb_chaines; ++c) {
            const qsizetype depart = f.size();
            for (int n = 0; f.size() - depart < par_chaine; ++n) {
                const QDateTime a = debut.addSecs(qint64(n) * 1500);
                const QDateTime b = a.addSecs(1500);
                f += "  <programme start=\"" + a.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                     " +0100\" stop=\"" + b.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                     " +0100\" channel=\"Chaine" + QByteArray::number(c) +
                     ".fr\">\n    <title lang=\"fr\">Émission n° " + QByteArray::number(n) +
                     " &amp; suite</title>\n    <sub-title lang=\"fr\">Épisode</sub-title>\n"
                     "    <desc lang=\"fr\">Une description assez longue de l'émission, comme en donnent les "
                     "guides : intrigue, invités, lieux, détails et distribution complète.</desc>\n"
                     "    <category lang=\"fr\">Divertissement</category>\n  </programme>\n";
            }
        }
        f += "</tv>\n";
        return f;
    }();
    return flux;
}

void passage_nu_10_mo(benchmark::State& etat) {
    const QByteArray& f = flux_10_mo();
    for (auto _ : etat) {
        QXmlStreamReader x(f);
        qint64 n = 0;
        while (!x.atEnd())
            n += x.readNext();
        benchmark::DoNotOptimize(n);
    }
    etat.SetBytesProcessed(etat.iterations() * f.size());
}

void lecture_26_chaines(benchmark::State& etat) {
    const QByteArray& f = flux_10_mo();
    std::vector<zapo::chaine_voulue> voulues;
    for (int c = 0; c < nb_chaines; ++c)
        voulues.push_back({QStringLiteral("Chaine%1.fr").arg(c), QStringLiteral("Chaîne %1").arg(c)});
    const auto maintenant = zapo::date_heure::depuis_date(QDate(2026, 12, 5), 14, 0);
    for (auto _ : etat) {
        const auto l = zapo::lire_xmltv(f, maintenant, voulues);
        if (l.programmes.size() != nb_chaines)
            etat.SkipWithError("chaînes manquantes");
        benchmark::DoNotOptimize(l.programmes.size());
    }
    etat.SetBytesProcessed(etat.iterations() * f.size());
    etat.counters["rss_repos_ko"] = double(rss_repos);
    etat.counters["pic_ko"] = double(zapo::bancs::ligne_status("VmHWM:"));
}

} // namespace

BENCHMARK(passage_nu_10_mo)->Unit(benchmark::kMillisecond);
BENCHMARK(lecture_26_chaines)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
