// A week table of 10 million rows (an older or hand-edited file): 26 channels'
// weeks as a run writes them, and as many rows again as it takes, spread over
// the same eight days. The search index, a grid day and "Ce soir" read no more
// than a full week's table gives them: each read stays within the bound below
// in time and in memory, or the benchmark says so.
#include "commun_banc.h"
#include "donnees/base_programmes.h"
#include "donnees/lecture_grille.h"
#include "donnees/lecture_recherche.h"
#include "donnees/semaine.h"
#include "noyau/recherche.h"
#include "semaine_banc.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace zapo;

namespace {

constexpr int nb_chaines = 26;
constexpr qint64 lignes_totales = 10'000'000;
const QDate jour(2026, 12, 7);

// The bound every read keeps over that table: what it costs over a full week's
// table of the same channels is a few milliseconds; a second and 64 MB leave
// room for a loaded machine, where the unbounded reads took tens of seconds
// and gigabytes.
constexpr double secondes_max = 1.0;
constexpr qint64 memoire_max_ko = 64 * 1024;

struct table_banc {
    QTemporaryDir dossier;
    QString chemin;
    qint64 lignes = 0;
    date_heure maintenant = date_heure::depuis_date(jour, 18, 0);

    table_banc() : chemin(dossier.path() + QStringLiteral("/programmes.mdb")) {
        QElapsedTimer t;
        t.start();
        const qint64 semaine = bancs::remplir_semaine_banc(chemin, nb_chaines, jour);
        // The rest in one statement: channel after channel, every two seconds
        // from 00:00 of the first day, half an hour long each.
        const qint64 en_plus = lignes_totales - semaine;
        const qint64 par_chaine = en_plus / nb_chaines;
        const QByteArray depart = QByteArray::number(date_heure::depuis_date(jour).secondes());
        const QByteArray pas = QByteArray::number(par_chaine);
        const QByteArray sql =
            "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN; "
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " +
            QByteArray::number(par_chaine * nb_chaines) +
            ") INSERT INTO semaine (chaine, hdeb, hfin, duree, titre, description) SELECT 1 + i / " + pas +
            ", " + depart + " + (i % " + pas + ") * 2, " + depart + " + (i % " + pas +
            ") * 2 + 1800, 1800, 'Rediffusion ' || i, 'Une ligne de trop.' FROM n; COMMIT;";
        sqlite3* db = nullptr;
        sqlite3_open(chemin.toUtf8().constData(), &db);
        char* erreur = nullptr;
        if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &erreur) != SQLITE_OK)
            std::fprintf(stderr, "remplissage : %s\n", erreur);
        sqlite3_free(erreur);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM semaine", -1, &s, nullptr);
        if (sqlite3_step(s) == SQLITE_ROW)
            lignes = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        sqlite3_close(db);
        std::fprintf(stderr, "%lld lignes dans la semaine, %.1f Mo, faites en %.1f s\n", lignes,
                     double(QFile(chemin).size()) / 1e6, double(t.elapsed()) / 1000.0);
    }
};

table_banc& table() {
    static table_banc t;
    return t;
}

// The peak resident memory starts again from here (Linux: clear_refs 5).
qint64 remettre_pic() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
    return bancs::ligne_status("VmHWM:");
}

// Runs `lire` as a benchmark, reporting the slowest iteration and the peak
// memory it added, and failing when either passes the bound.
template <typename F> void mesurer(benchmark::State& state, F lire) {
    auto& t = table();
    const qint64 avant = remettre_pic();
    double pire = 0;
    for (auto _ : state) {
        QElapsedTimer e;
        e.start();
        donnees::base_programmes base(t.chemin, donnees::base_programmes::ouverture::lecture_seule);
        benchmark::DoNotOptimize(lire(base));
        pire = std::max(pire, double(e.nsecsElapsed()) / 1e9);
    }
    const qint64 pic = std::max<qint64>(0, bancs::ligne_status("VmHWM:") - avant);
    state.counters["pire_s"] = pire;
    state.counters["memoire_en_plus_Mo"] = double(pic) / 1024.0;
    state.counters["lignes_table"] = double(t.lignes);
    if (pire > secondes_max || pic > memoire_max_ko)
        state.SkipWithError("borne dépassée (1 s, 64 Mo)");
}

// The search window's index: every kept programme with its details.
void index_recherche_trop_plein(benchmark::State& state) {
    mesurer(state,
            [](donnees::base_programmes& b) { return donnees::lire_index_recherche(b).entrees().size(); });
}

// The grid's shown day (the second one).
void jour_grille_trop_plein(benchmark::State& state) {
    const date_heure debut = date_heure::depuis_date(jour.addDays(1));
    mesurer(state, [&](donnees::base_programmes& b) {
        size_t n = 0;
        donnees::parcourir_periode(b, debut, debut + date_heure::duree_hm(24, 0),
                                   [&](const donnees::programme_semaine&) { ++n; });
        return n;
    });
}

// "Ce soir" as the window fills it: the evenings offered, tonight, then the
// evening `range(0)` days ahead.
void ce_soir_trop_plein(benchmark::State& state) {
    const date_heure maintenant = table().maintenant;
    const int k = int(state.range(0));
    mesurer(state, [&](donnees::base_programmes& b) {
        std::vector<int> nums;
        for (const auto& c : b.lire_chaines())
            nums.push_back(c.num_chaine);
        const auto dernier = donnees::dernier_debut_semaine(b);
        return donnees::lire_soirees(b, nums, maintenant, k).size() + size_t(dernier.has_value());
    });
}

} // namespace

BENCHMARK(index_recherche_trop_plein)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(jour_grille_trop_plein)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ce_soir_trop_plein)->Arg(0)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    table();
    return bancs::lancer_bancs(argc, argv);
}
