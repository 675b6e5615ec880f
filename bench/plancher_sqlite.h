#pragma once
// The floor every reader of `liste` is compared with: open the file, step every
// row in stored order, read the five columns. One definition, so that every
// benchmark measures against the same thing.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QByteArray>

namespace zapo::bancs {

inline void balayer_liste(const QByteArray& chemin) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(chemin.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT hdeb, hfin, programme, chaine, duree FROM liste ORDER BY rowid", -1, &st,
                       nullptr);
    double somme = 0;
    qint64 octets = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        somme += sqlite3_column_double(st, 0) + sqlite3_column_double(st, 1) + sqlite3_column_double(st, 4);
        octets += sqlite3_column_bytes(st, 2) + sqlite3_column_int(st, 3);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    benchmark::DoNotOptimize(somme);
    benchmark::DoNotOptimize(octets);
}

// The floor of a reader of the kept week: `liste` as above, then every row of
// `semaine` in stored order, its five columns, and with `details` every text
// the search looks into.
inline void balayer_semaine(const QByteArray& chemin, bool details) {
    balayer_liste(chemin);
    sqlite3* db = nullptr;
    sqlite3_open_v2(chemin.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       details
                           ? "SELECT chaine, hdeb, hfin, duree, titre, sous_titre, categories, realisateur, "
                             "acteurs, description FROM semaine ORDER BY rowid"
                           : "SELECT chaine, hdeb, hfin, duree, titre FROM semaine ORDER BY rowid",
                       -1, &st, nullptr);
    const int colonnes = details ? 10 : 5;
    qint64 somme = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        somme += sqlite3_column_int64(st, 0) + sqlite3_column_int64(st, 1) + sqlite3_column_int64(st, 2) +
                 sqlite3_column_int64(st, 3);
        for (int k = 4; k < colonnes; ++k) {
            benchmark::DoNotOptimize(sqlite3_column_text(st, k));
            somme += sqlite3_column_bytes(st, k);
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    benchmark::DoNotOptimize(somme);
}

// The floor as a benchmark: `lignes` rows stepped per iteration.
inline void mesurer_plancher(benchmark::State& state, const QByteArray& chemin, qint64 lignes) {
    for (auto _ : state)
        balayer_liste(chemin);
    state.SetItemsProcessed(state.iterations() * lignes);
}

} // namespace zapo::bancs
