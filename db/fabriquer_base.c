/* Builds the delivered programmes.mdb from the SQL files given after the output path. */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>

static char* lire(const char* chemin) {
    FILE* f = fopen(chemin, "rb");
    if (!f) {
        perror(chemin);
        return NULL;
    }
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fseek(f, 0, SEEK_SET);
    char* s = malloc((size_t)n + 1);
    if (s && fread(s, 1, (size_t)n, f) != (size_t)n) {
        free(s);
        s = NULL;
    }
    if (s)
        s[n] = 0;
    fclose(f);
    return s;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s sortie.mdb fichier.sql...\n", argv[0]);
        return 2;
    }
    /* Built under another name and renamed at the end: a test reading the
       delivered copy during a rebuild never sees half a base. */
    char tmp[4096];
    if (snprintf(tmp, sizeof tmp, "%s.tmp", argv[1]) >= (int)sizeof tmp) {
        fprintf(stderr, "%s: chemin trop long\n", argv[1]);
        return 2;
    }
    remove(tmp);
    sqlite3* db = NULL;
    if (sqlite3_open(tmp, &db) != SQLITE_OK) {
        fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        char* sql = lire(argv[i]);
        char* err = NULL;
        if (!sql || sqlite3_exec(db, sql, NULL, NULL, &err) != SQLITE_OK) {
            fprintf(stderr, "%s: %s\n", argv[i], err ? err : "lecture impossible");
            sqlite3_free(err);
            free(sql);
            sqlite3_close(db);
            remove(tmp);
            return 1;
        }
        free(sql);
    }
    /* Fold the journal into the file so the delivered copy stands alone. */
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", NULL, NULL, NULL);
    if (sqlite3_close(db) != SQLITE_OK || rename(tmp, argv[1]) != 0) {
        remove(tmp);
        return 1;
    }
    return 0;
}
