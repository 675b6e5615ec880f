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

// The floor as a benchmark: `lignes` rows stepped per iteration.
inline void mesurer_plancher(benchmark::State& state, const QByteArray& chemin, qint64 lignes) {
    for (auto _ : state)
        balayer_liste(chemin);
    state.SetItemsProcessed(state.iterations() * lignes);
}

} // namespace zapo::bancs
