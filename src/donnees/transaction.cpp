#include "donnees/transaction.h"

#include <sqlite3.h>

namespace zapo::donnees {

namespace {

[[noreturn]] void refuser(const base_programmes& b, const char* pourquoi) {
    throw erreur_base(message_sqlite(b.chemin(), SQLITE_MISUSE, pourquoi));
}

} // namespace

transaction::transaction(base_programmes& b, genre g) : base_(b) {
    // SQLite would refuse a nested BEGIN too, but with its own words; say it plainly.
    if (!sqlite3_get_autocommit(b.connexion()))
        refuser(b, "une transaction est déjà ouverte sur cette connexion");
    requete(b.connexion(), g == genre::ecriture ? "BEGIN IMMEDIATE" : "BEGIN", b.chemin()).executer();
    ouverte_ = true;
}

transaction::~transaction() {
    annuler();
}

void transaction::valider() {
    if (!ouverte_)
        refuser(base_, "la transaction est déjà close");
    try {
        requete(base_.connexion(), "COMMIT", base_.chemin()).executer();
    } catch (...) {
        annuler();
        throw;
    }
    ouverte_ = false;
}

void transaction::annuler() noexcept {
    if (!ouverte_)
        return;
    ouverte_ = false;
    // A failed statement may already have rolled the whole transaction back.
    if (!sqlite3_get_autocommit(base_.connexion()))
        sqlite3_exec(base_.connexion(), "ROLLBACK", nullptr, nullptr, nullptr);
}

} // namespace zapo::donnees
