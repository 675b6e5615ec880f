#pragma once

#include "donnees/base_programmes.h"

#include <sqlite3.h>

#include <QFile>
#include <QString>

#include <vector>

namespace zapo::essais {

// A connection of the test's own to a database file, for SQL the program never runs.
class base_brute {
public:
    explicit base_brute(const QString& chemin) : chemin_(chemin) {
        if (sqlite3_open_v2(chemin.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw donnees::erreur_base(QStringLiteral("ouverture impossible : ") + chemin);
        sqlite3_busy_timeout(db_, 5000);
    }
    ~base_brute() { sqlite3_close(db_); }
    base_brute(const base_brute&) = delete;
    base_brute& operator=(const base_brute&) = delete;

    sqlite3* poignee() const { return db_; }
    void executer(const char* sql) { donnees::requete(db_, sql, chemin_).executer(); }

private:
    QString chemin_;
    sqlite3* db_ = nullptr;
};

inline void executer_sql(const QString& chemin_base, const char* sql) {
    base_brute(chemin_base).executer(sql);
}

// Every statement of `sql` in turn (executer_sql runs only the first).
inline void executer_script(const QString& chemin_base, const char* sql) {
    base_brute b(chemin_base);
    char* erreur = nullptr;
    if (sqlite3_exec(b.poignee(), sql, nullptr, nullptr, &erreur) != SQLITE_OK) {
        const QString texte = QString::fromUtf8(erreur);
        sqlite3_free(erreur);
        throw donnees::erreur_base(texte);
    }
}

// Breaks the root page of `table` in the file itself (whose changes must all be
// in it, not in a -wal): a page type no tree has, which only a read of that
// table's pages meets.
inline bool abimer_racine(const QString& chemin_base, const char* table) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    qint64 racine = 0, taille = 0;
    if (sqlite3_open_v2(chemin_base.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db,
                           "SELECT rootpage, (SELECT page_size FROM pragma_page_size()) FROM sqlite_master "
                           "WHERE name = ?1",
                           -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        racine = sqlite3_column_int64(st, 0);
        taille = sqlite3_column_int64(st, 1);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    QFile f(chemin_base);
    return racine > 1 && f.open(QIODevice::ReadWrite) && f.seek((racine - 1) * taille) &&
           f.write("\xff", 1) == 1;
}

// Every row of `liste`, in stored order.
inline std::vector<donnees::ligne_liste> lire_liste(const QString& chemin_base) {
    std::vector<donnees::ligne_liste> res;
    donnees::base_programmes(chemin_base).parcourir_liste([&](const donnees::ligne_liste& l) {
        res.push_back(l);
    });
    return res;
}

} // namespace zapo::essais
