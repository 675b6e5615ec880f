#pragma once

// What the update runs' tests share, with or without the update window: dumps of
// tables, three channels and their schedule pages, the rows a failed run must
// leave alone, one-channel XMLTV feeds.

#include "donnees/base_programmes.h"
#include "outils/serveur_http.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

namespace zapo::essais {

// Every row of a table (or those `condition` keeps), rowid first, each value with
// its storage type and exact bytes: two equal dumps mean byte-for-byte equal tables.
inline QByteArray vider_table(const QString& chemin_base, const char* table,
                              const QByteArray& condition = {}) {
    sqlite3* db = nullptr;
    QByteArray res;
    if (sqlite3_open_v2(chemin_base.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "ouverture impossible";
    }
    // The program may still be closing its own connection (and folding its journal back).
    sqlite3_busy_timeout(db, 5000);
    const QByteArray sql = QByteArray("SELECT rowid, * FROM ") + table +
                           (condition.isEmpty() ? QByteArray() : " WHERE " + condition) + " ORDER BY rowid";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "requete impossible";
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const int type = sqlite3_column_type(st, i);
            res += QByteArray::number(type) + ':';
            if (type == SQLITE_FLOAT) {
                const double d = sqlite3_column_double(st, i);
                res += QByteArray(reinterpret_cast<const char*>(&d), sizeof d).toHex();
            } else if (type != SQLITE_NULL) {
                res += QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                  sqlite3_column_bytes(st, i))
                           .toHex();
            }
            res += '|';
        }
        res += '\n';
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return res;
}

inline QString verifier_integrite(const QString& chemin_base) {
    sqlite3* db = nullptr;
    QString res = QStringLiteral("ouverture impossible");
    if (sqlite3_open_v2(chemin_base.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
            res.clear();
            while (sqlite3_step(st) == SQLITE_ROW)
                res += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
        }
    }
    sqlite3_close(db);
    return res;
}

// A schedule page in the format the scanner reads: "hh" "h" "mm" then the title.
inline QByteArray page_programmes(const std::vector<std::pair<QString, QString>>& lignes) {
    QByteArray p = "<html><body><table>\r\n";
    for (const auto& [heure, titre] : lignes)
        p += "<tr><td>" + heure.toUtf8() + "</td><td>" + titre.toUtf8() + "</td></tr>\r\n";
    p += "</table></body></html>\r\n";
    return p;
}

struct chaine_essai {
    int num = 0;
    QString nom;
    QString chemin; // on the test server
    std::vector<std::pair<QString, QString>> programmes;
};

// The three channels of most runs: the times 06h00, 12h30, 20h50 at a clock of 14:00.
inline std::vector<chaine_essai> trois_chaines() {
    return {
        {2,
         QStringLiteral("Télé Une"),
         QStringLiteral("/une"),
         {{"06h00", "Réveil"}, {"12h30", "Journal de midi"}, {"20h50", "Film du soir"}}},
        {3,
         QStringLiteral("Deuxième Chaîne"),
         QStringLiteral("/deux"),
         {{"06h30", "Matinale"}, {"20h45", "Série"}}},
        {5,
         QStringLiteral("Canal Trois"),
         QStringLiteral("/trois"),
         {{"07h00", "Dessins animés"}, {"13h00", "Météo"}, {"21h00", "Débat"}, {"23h10", "Nuit"}}},
    };
}

// Rows and a stamp that a failed run must leave alone, on channels 2 and 3.
inline void ecrire_anciennes_donnees(const QString& chemin_base) {
    donnees::base_programmes b(chemin_base);
    const date_heure d = date_heure::depuis_date(QDate(2026, 6, 11), 6, 0);
    for (int i = 0; i < 4; ++i) {
        fiche_programme p{QStringLiteral("Ancien %1").arg(i), d + date_heure::duree_hm(i, 7, 13),
                          date_heure::duree_hm(0, 53), d + date_heure::duree_hm(i + 1, 0, 13)};
        b.ajouter_programme(p, 2 + i % 2);
    }
    b.ecrire_maj(date_heure::depuis_date(QDate(2026, 6, 11), 9, 41, 7));
}

// A one-channel XMLTV feed whose programmes fall on 12 June 2026 (or on `jour`).
inline QByteArray flux_xmltv(const QString& id, int nb, const QByteArray& jour = "20260612") {
    QByteArray f = "<?xml version=\"1.0\"?><tv><channel id=\"" + id.toUtf8() + "\"/>";
    for (int i = 0; i < nb; ++i)
        f += "<programme start=\"" + jour + "15" + QByteArray::number(10 + i) + "00 +0200\" channel=\"" +
             id.toUtf8() + "\"><title>Émission " + QByteArray::number(i) + "</title></programme>";
    return f + "</tv>";
}

// The server answers `chemin` with this status and a short body.
inline void repondre(serveur_http& s, const QString& chemin, int statut) {
    serveur_http::reponse r;
    r.statut = statut;
    r.corps = "indisponible";
    s.definir(chemin, r);
}

// A channel's titles in `liste`, in order.
inline QStringList titres(const QString& base, int chaine) {
    QStringList res;
    donnees::base_programmes(base).parcourir_chaine(
        chaine, [&](const donnees::ligne_liste& l) { res << l.programme; });
    return res;
}

} // namespace zapo::essais
