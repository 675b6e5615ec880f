#pragma once
// An empty programmes.mdb with the four tables, as the benchmarks fill it.
#include <sqlite3.h>

#include <QString>

namespace zapo::bancs {

inline void creer_base_vide(const QString& chemin) {
    sqlite3* db = nullptr;
    sqlite3_open(chemin.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL;"
                 "CREATE TABLE maj (date_maj REAL);"
                 "INSERT INTO maj VALUES (NULL);"
                 "CREATE TABLE chaines (num_chaine INTEGER, nom TEXT, adresse TEXT, num_image INTEGER);"
                 "CREATE TABLE modele (nom TEXT, url TEXT);"
                 "CREATE TABLE liste (hdeb REAL, hfin REAL, programme TEXT, chaine INTEGER, duree REAL);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace zapo::bancs
