#include "noyau/decodage.h"
#include "noyau/scanner.h"
#include "outils/horloge_fixe.h"

#include <benchmark/benchmark.h>

#include <cstring>

using namespace zapo;

namespace {

// A schedule page of about `taille` characters: 100 programme rows spread
// evenly through ordinary markup (menus, summaries, links), as real sites are.
// taille 0 gives the 100 rows alone.
QString page_synthetique(qsizetype taille) {
    QString lignes[100];
    qsizetype taille_lignes = 0;
    for (int i = 0; i < 100; ++i) {
        const int m = 6 * 60 + i * 13;
        lignes[i] =
            QStringLiteral("<tr class=\"prog\">\r\n  <td class=\"heure\">%1h%2</td>\r\n"
                           "  <td class=\"titre\"><a href=\"/programme/%3\">Émission numéro %3</a></td>\r\n"
                           "  <td class=\"genre\">Magazine</td>\r\n</tr>\r\n")
                .arg(m / 60 % 24, 2, 10, QLatin1Char('0'))
                .arg(m % 60, 2, 10, QLatin1Char('0'))
                .arg(i + 1);
        taille_lignes += lignes[i].size();
    }
    const QString bloc = QStringLiteral(
        "<div class=\"resume\"><span class=\"info\">Résumé : une soirée de reportages, d'invités et de "
        "musique.</span> <a href=\"/chaine/fiche?id=42&amp;jour=1\">Voir la fiche</a><br/></div>\n");
    const qsizetype blocs = taille > taille_lignes ? (taille - taille_lignes) / bloc.size() : 0;
    QString p;
    p.reserve(taille + 1024);
    p += QStringLiteral("<html><head><title>Programme TV</title></head><body><table>\r\n");
    for (int i = 0; i < 100; ++i) {
        for (qsizetype k = blocs * i / 100; k < blocs * (i + 1) / 100; ++k)
            p += bloc;
        p += lignes[i];
    }
    p += QStringLiteral("</table></body></html>\r\n");
    return p;
}

const horloge_fixe horloge_banc(QDateTime(QDate(2026, 6, 12), QTime(14, 0)));

void BM_scanner(benchmark::State& etat) {
    const QString page = page_synthetique(etat.range(0));
    for (auto _ : etat) {
        auto r = decouper_page(page, horloge_banc);
        benchmark::DoNotOptimize(r);
        if (r.nb_programmes() != 100)
            etat.SkipWithError("page mal lue");
    }
    etat.SetBytesProcessed(etat.iterations() * page.size() * qsizetype(sizeof(QChar)));
    etat.counters["caracteres"] = double(page.size());
}

// Baseline: visit every "<" of the same buffer with memchr and nothing else.
void BM_memchr(benchmark::State& etat) {
    const QString page = page_synthetique(etat.range(0));
    const char* debut = reinterpret_cast<const char*>(page.utf16());
    const char* fin = debut + page.size() * qsizetype(sizeof(QChar));
    for (auto _ : etat) {
        std::size_t n = 0;
        for (const char* p = debut; (p = static_cast<const char*>(std::memchr(p, '<', std::size_t(fin - p))));
             ++p)
            ++n;
        benchmark::DoNotOptimize(n);
    }
    etat.SetBytesProcessed(etat.iterations() * page.size() * qsizetype(sizeof(QChar)));
    etat.counters["caracteres"] = double(page.size());
}

// The bytes as fetched turned into text; part of every page's cost.
void BM_decodage_utf8(benchmark::State& etat) {
    const QByteArray octets = page_synthetique(etat.range(0)).toUtf8();
    for (auto _ : etat) {
        QString t = decoder_page(octets, "text/html");
        benchmark::DoNotOptimize(t);
    }
    etat.SetBytesProcessed(etat.iterations() * octets.size());
}

void tailles(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_scanner)->Apply(tailles);
BENCHMARK(BM_memchr)->Apply(tailles);
BENCHMARK(BM_decodage_utf8)->Apply(tailles);
