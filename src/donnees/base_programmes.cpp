#include "donnees/base_programmes.h"

#include "donnees/journal_base.h"
#include "donnees/raison_ecriture.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "donnees/verification_differee.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <limits>
#include <string_view>

namespace zapo::donnees {

namespace {

QString guillemets(const QString& s) {
    return QStringLiteral("« %1 »").arg(s);
}

QString identifiant(const QString& nom) {
    QString q = nom;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

QString message_sqlite(const QString& chemin, int code, const char* detail) {
    QString raison;
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        raison = QStringLiteral("ce fichier n'est pas une base de données.");
        break;
    case SQLITE_CORRUPT:
        raison = QStringLiteral("la base est endommagée.");
        break;
    case SQLITE_CANTOPEN:
        raison = QStringLiteral("le fichier est introuvable ou ne peut pas être ouvert.");
        break;
    case SQLITE_READONLY:
        raison = QStringLiteral("le fichier est en lecture seule.");
        break;
    case SQLITE_FULL:
        raison = QStringLiteral("le disque est plein.");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        raison = QStringLiteral("la base est occupée par un autre programme.");
        break;
    case SQLITE_IOERR:
        raison = QStringLiteral("erreur de lecture ou d'écriture sur le disque.");
        break;
    case SQLITE_PERM:
        raison = QStringLiteral("accès refusé.");
        break;
    default:
        raison = QStringLiteral("%1.").arg(QString::fromUtf8(detail ? detail : sqlite3_errstr(code)));
    }
    const QString message = QStringLiteral("Impossible d'utiliser la base des programmes %1 : %2")
                                .arg(guillemets(chemin), raison);
    // The box may go unseen (agent without a window, closed at once): the journal keeps it.
    qCWarning(zapo_base, "%s (SQLite %d)", qUtf8Printable(message), code);
    return message;
}

// ---- requete

requete::requete(sqlite3* db, const char* sql, const QString& chemin) : db_(db), chemin_(chemin) {
    const int rc = sqlite3_prepare_v2(db_, sql, -1, &st_, nullptr);
    if (rc != SQLITE_OK)
        throw erreur_base(message_sqlite(chemin_, sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)));
}

requete::~requete() {
    sqlite3_finalize(st_);
}

// A value SQLite refuses (too long, out of range) must stop the write, never become NULL.
void requete::verifier_liaison(int rc) {
    if (rc == SQLITE_OK)
        return;
    const char* detail = rc == SQLITE_TOOBIG ? "une valeur est trop longue" : sqlite3_errstr(rc);
    throw erreur_base(message_sqlite(chemin_, rc, detail));
}

requete& requete::lier(int index, int valeur) {
    verifier_liaison(sqlite3_bind_int(st_, index, valeur));
    return *this;
}
requete& requete::lier(int index, qint64 valeur) {
    verifier_liaison(sqlite3_bind_int64(st_, index, valeur));
    return *this;
}
requete& requete::lier(int index, double valeur) {
    verifier_liaison(sqlite3_bind_double(st_, index, valeur));
    return *this;
}
requete& requete::lier(int index, const QString& valeur) {
    const QByteArray u = valeur.toUtf8();
    if (u.size() > std::numeric_limits<int>::max())
        verifier_liaison(SQLITE_TOOBIG);
    verifier_liaison(sqlite3_bind_text(st_, index, u.constData(), int(u.size()), SQLITE_TRANSIENT));
    return *this;
}

requete& requete::lier_octets(int index, const QByteArray& valeur) {
    if (valeur.size() > std::numeric_limits<int>::max())
        verifier_liaison(SQLITE_TOOBIG);
    verifier_liaison(sqlite3_bind_blob(st_, index, valeur.constData(), int(valeur.size()), SQLITE_TRANSIENT));
    return *this;
}

bool requete::pas() {
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = sqlite3_extended_errcode(db_);
    const QString msg = message_sqlite(chemin_, code, sqlite3_errmsg(db_));
    sqlite3_reset(st_);
    throw erreur_base(msg);
}

void requete::executer() {
    while (pas()) {
    }
    reinitialiser();
}

void requete::reinitialiser() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

int requete::nb_colonnes() const {
    return sqlite3_column_count(st_);
}
QString requete::nom_colonne(int i) const {
    return QString::fromUtf8(sqlite3_column_name(st_, i));
}
bool requete::est_nul(int i) const {
    return sqlite3_column_type(st_, i) == SQLITE_NULL;
}
qint64 requete::entier(int i) const {
    return sqlite3_column_int64(st_, i);
}
double requete::reel(int i) const {
    return sqlite3_column_double(st_, i);
}
QString requete::texte(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st_, i)) : QString();
}
std::string_view requete::vue_texte(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(st_, i))) : std::string_view();
}
QByteArray requete::octets(int i) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(st_, i));
    return p ? QByteArray(p, sqlite3_column_bytes(st_, i)) : QByteArray();
}
QVariant requete::valeur(int i) const {
    switch (sqlite3_column_type(st_, i)) {
    case SQLITE_INTEGER:
        return QVariant(entier(i));
    case SQLITE_FLOAT:
        return QVariant(reel(i));
    case SQLITE_TEXT:
        return QVariant(texte(i));
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char*>(sqlite3_column_blob(st_, i)), sqlite3_column_bytes(st_, i)));
    default:
        return QVariant();
    }
}

// ---- base_programmes

base_programmes::base_programmes(const QString& chemin, ouverture mode) : chemin_(chemin) {
    // SQLite would happily turn an empty file into a new, empty database.
    const QFileInfo info(chemin);
    // Checked before opening: opening a FIFO waits for a writer forever.
    if (autre_chose_qu_un_fichier(chemin))
        throw erreur_base(QStringLiteral("Impossible d'utiliser la base des programmes %1 : ce n'est pas un "
                                         "fichier ordinaire.")
                              .arg(guillemets(chemin)));
    if (info.exists() && info.size() == 0)
        throw erreur_base(QStringLiteral("Le fichier %1 est vide : ce n'est pas une base de programmes.")
                              .arg(guillemets(chemin)));
    // Nothing opens a file whose pages are still being read at start before the verdict.
    if (mode != ouverture::verification)
        verification_differee::attendre_en_cours();
    // Never create the file: a missing database is an error the caller reports.
    int rc = SQLITE_OK;
    if (mode == ouverture::lecture_seule || mode == ouverture::figee) {
        QUrl url = QUrl::fromLocalFile(QFileInfo(chemin).absoluteFilePath());
        url.setQuery(mode == ouverture::figee ? QStringLiteral("mode=ro&immutable=1")
                                              : QStringLiteral("mode=ro"));
        rc = sqlite3_open_v2(url.toString(QUrl::FullyEncoded).toUtf8().constData(), &db_,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    } else {
        rc = sqlite3_open_v2(chemin.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    }
    if (rc != SQLITE_OK) {
        const QString msg = message_sqlite(chemin_, rc, db_ ? sqlite3_errmsg(db_) : nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
        throw erreur_base(msg);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, attente_occupee_ms);
    if (mode == ouverture::verification) {
        // The check reads each page once: a cache of a few pages, reused, costs
        // no allocation per page (the start's check of a week of programmes).
        sqlite3_exec(db_, "PRAGMA cache_size=16", nullptr, nullptr, nullptr);
        return;
    }
    if (mode != ouverture::normale)
        return;
    try {
        requete(db_, "PRAGMA journal_mode=WAL", chemin_).executer();
        requete(db_, "PRAGMA synchronous=NORMAL", chemin_).executer();
        // A file the user may only read is still read, as it is.
        if (sqlite3_db_readonly(db_, "main") == 0)
            mettre_a_niveau(*this);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

base_programmes::~base_programmes() {
    sqlite3_close(db_);
}

void base_programmes::echouer(const QString& quoi) const {
    throw erreur_base(QStringLiteral("Le fichier %1 n'est pas une base de programmes utilisable : %2")
                          .arg(guillemets(chemin_), quoi));
}

void base_programmes::verifier_structure(bool avec_liste) {
    verifier_longueur();
    struct attendu {
        const char* table;
        std::vector<const char*> colonnes;
        int position_cle; // column that must stand at a given position, -1 none
        const char* colonne_cle;
    };
    const attendu tables[] = {
        {"maj", {}, -1, nullptr},
        {"chaines", {"num_chaine", "nom", "adresse", "num_image"}, 0, "num_chaine"},
        {"modele", {"nom", "url"}, -1, nullptr},
        {"liste", {"hdeb", "hfin", "programme", "chaine", "duree"}, 4, "chaine"},
    };
    for (const auto& t : tables) {
        const QString table = QString::fromLatin1(t.table);
        requete info(db_, "SELECT name FROM pragma_table_info(?1)", chemin_);
        info.lier(1, table);
        QStringList colonnes;
        while (info.pas())
            colonnes << info.texte(0).toLower();
        if (colonnes.isEmpty())
            echouer(QStringLiteral("la table %1 est absente.").arg(guillemets(table)));
        for (const char* c : t.colonnes) {
            if (!colonnes.contains(QString::fromLatin1(c)))
                echouer(QStringLiteral("la colonne %1 manque dans la table %2.")
                            .arg(guillemets(QString::fromLatin1(c)), guillemets(table)));
        }
        if (t.position_cle >= 0 && colonnes.value(t.position_cle) != QString::fromLatin1(t.colonne_cle))
            echouer(QStringLiteral("la colonne %1 doit être la colonne n° %2 de la table %3.")
                        .arg(guillemets(QString::fromLatin1(t.colonne_cle)))
                        .arg(t.position_cle + 1)
                        .arg(guillemets(table)));
    }
    // Counting walks every page of a table's tree.
    for (const auto& t : tables) {
        if (std::string_view(t.table) == "liste") {
            if (avec_liste)
                verifier_pages_liste();
            continue;
        }
        const qint64 n = nb_lignes(QString::fromLatin1(t.table));
        if (n < 1 && std::string_view(t.table) == "maj")
            echouer(QStringLiteral("la table « maj » n'a pas de ligne."));
    }
}

void base_programmes::verifier_pages_liste() {
    nb_lignes(QStringLiteral("liste"));
}

void base_programmes::verifier_longueur() {
    // SQLite reads the pages missing from a file cut short as zeros, and may
    // not notice until much later. The header tells the full length; a
    // non-empty WAL beside the file may legitimately hold pages not yet in it.
    const QFileInfo wal(chemin_ + QStringLiteral("-wal"));
    if (wal.exists() && wal.size() > 0)
        return;
    QFile f(chemin_);
    if (!f.open(QIODevice::ReadOnly))
        return; // SQLite says why
    const QByteArray entete = f.read(100);
    if (!entete.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return;
    if (entete.size() < 100)
        echouer(QStringLiteral("le fichier est incomplet (il a été coupé)."));
    const auto octet = [&](int i) { return quint32(quint8(entete.at(i))); };
    const auto mot = [&](int i) {
        return octet(i) << 24 | octet(i + 1) << 16 | octet(i + 2) << 8 | octet(i + 3);
    };
    const quint32 taille_page = octet(16) << 8 | octet(17);
    const qint64 octets_page = taille_page == 1 ? 65536 : taille_page;
    // The page count is only valid when written by the same change as the counter.
    const quint32 nb_pages = mot(28);
    if (nb_pages == 0 || mot(92) != mot(24))
        return;
    if (f.size() < octets_page * nb_pages)
        echouer(QStringLiteral("le fichier est incomplet (il a été coupé)."));
}

std::optional<date_heure> base_programmes::lire_maj() {
    requete r(db_, "SELECT * FROM maj ORDER BY rowid LIMIT 1", chemin_);
    if (!r.pas())
        echouer(QStringLiteral("la table « maj » n'a pas de ligne."));
    if (r.est_nul(0))
        return std::nullopt;
    bool ok = false;
    const double jours = r.valeur(0).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return date_heure::depuis_jours(jours);
}

void base_programmes::ecrire_maj(date_heure quand) {
    // Column 0 by position, whatever its name; the one row is changed, never added.
    QString colonne;
    {
        requete info(db_, "SELECT name FROM pragma_table_info('maj') WHERE cid = 0", chemin_);
        if (!info.pas())
            echouer(QStringLiteral("la table « maj » est absente."));
        colonne = info.texte(0);
    }
    const QByteArray sql = QStringLiteral("UPDATE maj SET %1 = ?1 WHERE rowid = (SELECT min(rowid) FROM maj)")
                               .arg(identifiant(colonne))
                               .toUtf8();
    requete r(db_, sql.constData(), chemin_);
    r.lier(1, quand.en_jours());
    r.executer();
    if (sqlite3_changes(db_) != 1)
        echouer(QStringLiteral("la table « maj » n'a pas de ligne."));
}

std::vector<chaine> base_programmes::lire_chaines() {
    std::vector<chaine> res;
    requete r(db_, "SELECT num_chaine, nom, adresse, num_image FROM chaines ORDER BY rowid", chemin_);
    while (r.pas()) {
        chaine c;
        c.num_chaine = int(r.entier(0));
        c.nom = r.texte(1);
        c.adresse = r.texte(2);
        // A logo number is taken from the number at the start of the text.
        c.num_image = r.texte(3).trimmed().section(QLatin1Char(' '), 0, 0).toInt();
        if (c.num_image == 0)
            c.num_image = int(r.entier(3));
        res.push_back(std::move(c));
    }
    return res;
}

void base_programmes::ajouter_chaine(const chaine& c) {
    requete r(db_, "INSERT INTO chaines (num_chaine, nom, adresse, num_image) VALUES (?1, ?2, ?3, ?4)",
              chemin_);
    r.lier(1, c.num_chaine).lier(2, c.nom).lier(3, c.adresse).lier(4, c.num_image);
    r.executer();
}

void base_programmes::renommer_chaine(int num_chaine, const QString& nom) {
    requete(db_, "UPDATE chaines SET nom = ?1 WHERE num_chaine = ?2", chemin_)
        .lier(1, nom)
        .lier(2, num_chaine)
        .executer();
}

std::vector<entree_modele> base_programmes::lire_modele() {
    std::vector<entree_modele> res;
    requete r(db_, "SELECT nom, url FROM modele ORDER BY rowid", chemin_);
    while (r.pas())
        res.push_back({r.texte(0), r.texte(1)});
    return res;
}

namespace {

void parcourir(requete& r, const std::function<void(const ligne_liste&)>& f,
               const std::function<bool(const ligne_liste&)>& titre_utile = {}) {
    ligne_liste l;
    while (r.pas()) {
        l.hdeb = date_heure::depuis_jours(r.reel(0));
        l.hfin = date_heure::depuis_jours(r.reel(1));
        l.chaine = int(r.entier(3));
        if (r.est_nul(4))
            l.duree.reset();
        else
            l.duree = date_heure::depuis_jours(r.reel(4));
        if (!titre_utile || titre_utile(l))
            l.programme = r.texte(2);
        else
            l.programme.clear();
        f(l);
    }
}

} // namespace

void base_programmes::parcourir_liste(const std::function<void(const ligne_liste&)>& f) {
    requete r(db_, "SELECT hdeb, hfin, programme, chaine, duree FROM liste ORDER BY rowid", chemin_);
    parcourir(r, f);
}

void base_programmes::parcourir_liste(const std::function<void(const ligne_liste&)>& f,
                                      const std::function<bool(const ligne_liste&)>& titre_utile) {
    requete r(db_, "SELECT hdeb, hfin, programme, chaine, duree FROM liste ORDER BY rowid", chemin_);
    parcourir(r, f, titre_utile);
}

void base_programmes::parcourir_chaine(int num_chaine, const std::function<void(const ligne_liste&)>& f) {
    requete r(db_, "SELECT hdeb, hfin, programme, chaine, duree FROM liste WHERE chaine = ?1 ORDER BY rowid",
              chemin_);
    r.lier(1, num_chaine);
    parcourir(r, f);
}

void base_programmes::parcourir_peut_etre_en_cours(date_heure maintenant,
                                                   const std::function<void(const ligne_liste&)>& f) {
    // Only rows that surely fail "hdeb < now < hfin" once read are left out: numbers
    // within the readable years, with two seconds to spare for the rounding to the
    // second. Text and blobs sort after every number, NULL compares to nothing:
    // such rows, and any other damaged value, go through as before.
    requete r(db_,
              "SELECT hdeb, hfin, programme, chaine, duree FROM liste WHERE NOT ("
              "coalesce(hdeb >= ?1 AND hdeb < 2958466, 0) OR coalesce(hfin <= ?2, 0)) ORDER BY rowid",
              chemin_);
    // Where the clocks go back, a wall-clock time may be an hour off its place.
    const double marge = 3602.0 / 86400.0;
    r.lier(1, maintenant.en_jours() + marge).lier(2, maintenant.en_jours() - marge);
    parcourir(r, f);
}

std::optional<date_heure> base_programmes::premier_debut_liste() {
    requete r(db_, "SELECT hdeb FROM liste ORDER BY rowid LIMIT 1", chemin_);
    if (!r.pas())
        return std::nullopt;
    return date_heure::depuis_jours(r.reel(0));
}

void base_programmes::parcourir_peut_etre_au_soir(
    date_heure debut, date_heure fin, date_heure maintenant, const std::function<void(const ligne_liste&)>& f,
    const std::function<bool(const ligne_liste&)>& titre_utile) {
    // A damaged value (NULL, a number outside the readable years) reads as the
    // origin, which no evening keeps but one around it: then every row is read.
    const date_heure origine;
    if ((debut <= origine && origine < fin) || maintenant < origine) {
        parcourir_liste(f, titre_utile);
        return;
    }
    // Numbers are judged here, with two seconds to spare for the rounding to the
    // second; text and blobs, which sort after every number (and after ''), go
    // through: a text may still read as a number. The cheapest test comes first.
    requete r(db_,
              "SELECT hdeb, hfin, programme, chaine, duree FROM liste WHERE hdeb >= ?1 AND "
              "(hdeb < ?2 OR hdeb >= '') AND hfin > ?3 ORDER BY rowid",
              chemin_);
    const double marge = 2.0 / 86400.0;
    r.lier(1, debut.en_jours() - marge)
        .lier(2, fin.en_jours() + marge)
        .lier(3, maintenant.en_jours() - marge);
    parcourir(r, f, titre_utile);
}

void base_programmes::parcourir_panneau(
    int chaine, date_heure maintenant,
    const std::function<void(const ligne_liste&, qint64, std::optional<qint64>)>& f,
    const std::function<bool(const ligne_liste&)>& titre_utile) {
    // The same cast as the reading of column 3, so that a damaged number is judged
    // as it is read; the "may be on" test is parcourir_peut_etre_en_cours's.
    requete r(db_,
              "SELECT hdeb, hfin, programme, chaine, duree, rowid, CASE WHEN CAST(chaine AS INTEGER) = ?3 "
              "THEN (SELECT p.rowid FROM liste AS p WHERE p.rowid < liste.rowid ORDER BY p.rowid DESC "
              "LIMIT 1) END FROM liste WHERE CAST(chaine AS INTEGER) = ?3 OR rowid = (SELECT min(rowid) "
              "FROM liste) OR NOT (coalesce(hdeb >= ?1 AND hdeb < 2958466, 0) OR coalesce(hfin <= ?2, 0)) "
              "ORDER BY rowid",
              chemin_);
    const double marge = 3602.0 / 86400.0; // the hour the clocks repeat, and the rounding
    r.lier(1, maintenant.en_jours() + marge).lier(2, maintenant.en_jours() - marge).lier(3, chaine);
    ligne_liste l;
    while (r.pas()) {
        l.hdeb = date_heure::depuis_jours(r.reel(0));
        l.hfin = date_heure::depuis_jours(r.reel(1));
        l.chaine = int(r.entier(3));
        if (r.est_nul(4))
            l.duree.reset();
        else
            l.duree = date_heure::depuis_jours(r.reel(4));
        if (titre_utile(l))
            l.programme = r.texte(2);
        else
            l.programme.clear();
        f(l, r.entier(5), r.est_nul(6) ? std::nullopt : std::optional<qint64>(r.entier(6)));
    }
}

void base_programmes::vider_liste() {
    requete(db_, "DELETE FROM liste", chemin_).executer();
}

void base_programmes::ajouter_programme(const fiche_programme& p, int num_chaine) {
    requete r(db_, "INSERT INTO liste (hdeb, hfin, programme, chaine, duree) VALUES (?1, ?2, ?3, ?4, ?5)",
              chemin_);
    r.lier(1, p.hdeb.en_jours()).lier(2, p.hfin.en_jours()).lier(3, p.programme).lier(4, num_chaine);
    r.lier(5, p.duree.en_jours());
    r.executer();
}

void base_programmes::remplacer_programmes(int num_chaine, std::span<const fiche_programme> programmes) {
    requete(db_, "DELETE FROM liste WHERE chaine = ?1", chemin_).lier(1, num_chaine).executer();
    for (const auto& p : programmes)
        ajouter_programme(p, num_chaine);
}

void base_programmes::effacer_orphelins() {
    requete(db_, "DELETE FROM liste WHERE chaine NOT IN (SELECT num_chaine FROM chaines)", chemin_)
        .executer();
}

bool base_programmes::a_table(const char* nom) {
    requete r(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1", chemin_);
    r.lier(1, QString::fromLatin1(nom));
    return r.pas();
}

void base_programmes::creer_sante() {
    requete(db_,
            "CREATE TABLE IF NOT EXISTS sante_chaines (num_chaine INTEGER PRIMARY KEY, date REAL, "
            "succes INTEGER, nb_programmes INTEGER, raison TEXT, signalee INTEGER NOT NULL DEFAULT 0)",
            chemin_)
        .executer();
}

std::map<int, sante_chaine> base_programmes::lire_sante() {
    std::map<int, sante_chaine> res;
    if (!a_table("sante_chaines"))
        return res;
    requete r(db_, "SELECT num_chaine, date, succes, nb_programmes, raison, signalee FROM sante_chaines",
              chemin_);
    while (r.pas()) {
        sante_chaine s;
        s.num_chaine = int(r.entier(0));
        s.quand = date_heure::depuis_jours(r.reel(1));
        s.succes = r.entier(2) != 0;
        s.nb_programmes = int(r.entier(3));
        s.raison = r.texte(4);
        s.signalee = r.entier(5) != 0;
        res[s.num_chaine] = s;
    }
    return res;
}

void base_programmes::ecrire_sante(const sante_chaine& s) {
    creer_sante();
    requete r(
        db_,
        "INSERT OR REPLACE INTO sante_chaines (num_chaine, date, succes, nb_programmes, raison, signalee) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
        chemin_);
    r.lier(1, s.num_chaine).lier(2, s.quand.en_jours()).lier(3, s.succes ? 1 : 0).lier(4, s.nb_programmes);
    r.lier(5, s.raison).lier(6, s.signalee ? 1 : 0);
    r.executer();
}

qint64 base_programmes::nb_lignes(const QString& table) {
    const QByteArray sql = QStringLiteral("SELECT count(*) FROM %1").arg(identifiant(table)).toUtf8();
    requete r(db_, sql.constData(), chemin_);
    r.pas();
    return r.entier(0);
}

void base_programmes::effacer_lignes_chaine(int num_chaine) {
    requete(db_, "DELETE FROM liste WHERE chaine = ?1", chemin_).lier(1, num_chaine).executer();
    requete(db_, "DELETE FROM chaines WHERE num_chaine = ?1", chemin_).lier(1, num_chaine).executer();
    if (a_table("sante_chaines"))
        requete(db_, "DELETE FROM sante_chaines WHERE num_chaine = ?1", chemin_).lier(1, num_chaine).executer();
    const std::pair<const char*, const char*> annexes[] = {
        {"details_programmes", "DELETE FROM details_programmes WHERE chaine = ?1"},
        {"semaine", "DELETE FROM semaine WHERE chaine = ?1"},
        {"logos_chaines", "DELETE FROM logos_chaines WHERE num_chaine = ?1"},
        {"validateurs", "DELETE FROM validateurs WHERE num_chaine = ?1"}};
    for (const auto& [table, sql] : annexes)
        if (a_table(table))
            requete(db_, sql, chemin_).lier(1, num_chaine).executer();
    // Its reminders go with it (removed ones too: no word may bring them back on a later channel).
    if (a_table("rappels"))
        requete(db_, "DELETE FROM rappels WHERE chaine = ?1", chemin_).lier(1, num_chaine).executer();
}

void base_programmes::effacer_chaine(int num_chaine) {
    transaction t(*this);
    effacer_lignes_chaine(num_chaine);
    t.valider();
}

void base_programmes::effacer_chaines() {
    transaction t(*this);
    std::vector<int> numeros;
    {
        requete r(db_, "SELECT DISTINCT num_chaine FROM chaines WHERE num_chaine IS NOT NULL", chemin_);
        while (r.pas())
            numeros.push_back(int(r.entier(0)));
    }
    for (int n : numeros)
        effacer_lignes_chaine(n);
    // A row no number names is a channel of the list too.
    requete(db_, "DELETE FROM chaines", chemin_).executer();
    t.valider();
}

} // namespace zapo::donnees
