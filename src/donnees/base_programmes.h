#pragma once

#include "noyau/date_heure.h"
#include "noyau/fiche_programme.h"
#include "noyau/panneau.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zapo::donnees {

// A database failure, worded in French for the user.
class erreur_base : public std::runtime_error {
public:
    explicit erreur_base(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

struct chaine {
    int num_chaine = 0;
    QString nom;
    QString adresse;
    int num_image = 0;
};

struct entree_modele {
    QString nom;
    QString url;
};

// One row of `liste` as the views read it; the panel's rules take the same rows.
using ligne_liste = ligne_panneau;

// A channel's last update: how many programmes it brought, or why it failed.
// Kept in `sante_chaines`, a table of its own that older files do not have.
struct sante_chaine {
    int num_chaine = 0;
    date_heure quand;
    bool succes = false;
    int nb_programmes = 0;
    QString raison;        // French, when it failed
    bool signalee = false; // already named in a desktop notification
};

// A prepared statement with bound values; reset and reusable.
class requete {
public:
    requete(sqlite3* db, const char* sql, const QString& chemin);
    ~requete();
    requete(const requete&) = delete;
    requete& operator=(const requete&) = delete;

    requete& lier(int index, int valeur);
    requete& lier(int index, qint64 valeur);
    requete& lier(int index, double valeur);
    requete& lier(int index, const QString& valeur);
    requete& lier_octets(int index, const QByteArray& valeur); // a blob

    // Next row; false at the end. Throws on error.
    bool pas();
    void executer(); // run to the end, then reset
    void reinitialiser();

    int nb_colonnes() const;
    QString nom_colonne(int i) const;
    bool est_nul(int i) const;
    qint64 entier(int i) const;
    double reel(int i) const;
    QString texte(int i) const;
    // The column's UTF-8 bytes, valid until the next step: for texts compared, not kept.
    std::string_view vue_texte(int i) const;
    QByteArray octets(int i) const;
    QVariant valeur(int i) const;

private:
    void verifier_liaison(int rc);

    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    QString chemin_;
};

// "programmes.mdb": opened by each procedure that needs it and closed when the
// object goes. WAL journal, busy time-out, prepared statements throughout. Every
// scan yields rows in stored (insertion) order.
class base_programmes {
public:
    // How long a write waits for another connection's transaction.
    static constexpr int attente_occupee_ms = 5000;
    // `verification`: the file is only read and its journal mode left as it is,
    // so that a file refused by verifier_structure is never changed.
    // `lecture_seule`: opened read-only; `figee`: read-only and taken as unchanging
    // (no lock, no -wal or -shm beside it), for a file nobody writes to.
    enum class ouverture { normale, verification, lecture_seule, figee };
    explicit base_programmes(const QString& chemin, ouverture mode = ouverture::normale);
    ~base_programmes();
    base_programmes(const base_programmes&) = delete;
    base_programmes& operator=(const base_programmes&) = delete;

    // Checks the length of the file, the four tables, their columns, the three
    // positions read by number and the `maj` row, and reads every page of the
    // four tables' trees; throws erreur_base naming the file and what is wrong.
    // Without `avec_liste`, the pages of `liste`, the one that grows, are left
    // to verifier_pages_liste (see verification_differee).
    void verifier_structure(bool avec_liste = true);
    void verifier_pages_liste();

    const QString& chemin() const { return chemin_; }
    // The raw handle, for the tables beside the four (details, week, reminders...)
    // through `requete`; transactions go through `transaction` (transaction.h).
    sqlite3* connexion() const { return db_; }

    // maj: the date of the last complete update (column 0), empty when never stamped.
    std::optional<date_heure> lire_maj();
    void ecrire_maj(date_heure quand);

    std::vector<chaine> lire_chaines();
    void ajouter_chaine(const chaine& c);
    void renommer_chaine(int num_chaine, const QString& nom);
    std::vector<entree_modele> lire_modele();

    // liste, in stored order; the callback sees each row once.
    void parcourir_liste(const std::function<void(const ligne_liste&)>& f);
    // The same, each title decoded only when `titre_utile` asks for it on the
    // row's other columns (else left empty): most readers show few of them.
    void parcourir_liste(const std::function<void(const ligne_liste&)>& f,
                         const std::function<bool(const ligne_liste&)>& titre_utile);
    // Only one channel's rows, in stored order: the others are never decoded.
    void parcourir_chaine(int num_chaine, const std::function<void(const ligne_liste&)>& f);
    // The rows that may be on at `maintenant`, in stored order: the others are
    // left to the engine and never decoded. The caller still applies the exact rule.
    void parcourir_peut_etre_en_cours(date_heure maintenant,
                                      const std::function<void(const ligne_liste&)>& f);
    // The first stored row's start, read as every pass reads it; none for an empty table.
    std::optional<date_heure> premier_debut_liste();
    // The rows that may start from `debut` to before `fin` and still be on after
    // `maintenant`, in stored order: the others are left to the engine and never
    // decoded. The caller still applies the exact rule.
    void parcourir_peut_etre_au_soir(date_heure debut, date_heure fin, date_heure maintenant,
                                     const std::function<void(const ligne_liste&)>& f,
                                     const std::function<bool(const ligne_liste&)>& titre_utile);
    // What the panel uses, in stored order, each row with its rowid and that of the
    // row stored just before it (given for `chaine`'s rows only): the first row of
    // the table, `chaine`'s rows and those that may be on at `maintenant`. The
    // others are left to the engine and never decoded.
    void parcourir_panneau(int chaine, date_heure maintenant,
                           const std::function<void(const ligne_liste&, qint64, std::optional<qint64>)>& f,
                           const std::function<bool(const ligne_liste&)>& titre_utile);
    void vider_liste();
    void ajouter_programme(const fiche_programme& p, int num_chaine);
    qint64 nb_lignes(const QString& table);

    // A channel's rows go and its new ones come, inside the caller's transaction.
    void remplacer_programmes(int num_chaine, std::span<const fiche_programme> programmes);
    // Rows of channels that are no longer in `chaines`.
    void effacer_orphelins();

    bool a_table(const char* nom);
    void creer_sante();
    // Empty when the file has no `sante_chaines` table.
    std::map<int, sante_chaine> lire_sante();
    void ecrire_sante(const sante_chaine& s);

    // A channel's programmes and its row, in one transaction: never half removed.
    void effacer_chaine(int num_chaine);
    // Every channel, each with all it had, in one transaction: none or all removed.
    void effacer_chaines();

    // Wraps an SQLite failure into a French message naming the file.
    [[noreturn]] void echouer(const QString& quoi) const;

private:
    void verifier_longueur();
    // effacer_chaine's deletes, inside the caller's transaction.
    void effacer_lignes_chaine(int num_chaine);

    QString chemin_;
    sqlite3* db_ = nullptr;
};

// Builds "Impossible d'utiliser la base « … » : …" from an SQLite result code.
QString message_sqlite(const QString& chemin, int code, const char* detail);

} // namespace zapo::donnees
