#include "donnees/lecture_details.h"
#include "donnees/semaine.h"

namespace zapo::donnees {

namespace {

constexpr const char* colonnes =
    "chaine, hdeb, sous_titre, description, categories, episode_ns, episode_ecran, "
    "annee, realisateur, acteurs, classement";
// Kept since the week came; an older table gets them when the file is opened.
constexpr const char* colonnes_marques = ", rediffusion, inedit, etoiles";

} // namespace

bool a_colonne(base_programmes& b, const char* table, const char* colonne) {
    requete r(b.connexion(), "SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2", b.chemin());
    r.lier(1, QString::fromLatin1(table)).lier(2, QString::fromLatin1(colonne));
    return r.pas();
}

details_programme lire_colonnes_details(requete& r, int premier, bool marques) {
    details_programme d;
    d.sous_titre = r.texte(premier);
    d.description = r.texte(premier + 1);
    d.categories = separer(r.texte(premier + 2));
    d.episode_ns = r.texte(premier + 3);
    d.episode_ecran = r.texte(premier + 4);
    d.annee = r.texte(premier + 5);
    d.realisateur = r.texte(premier + 6);
    d.acteurs = separer(r.texte(premier + 7));
    d.classement = r.texte(premier + 8);
    if (marques) {
        d.rediffusion = r.entier(premier + 9) != 0;
        d.inedit = r.entier(premier + 10) != 0;
        d.etoiles = r.texte(premier + 11);
    }
    return d;
}

void lier_details(requete& r, int premier, const details_programme& d) {
    r.lier(premier, d.sous_titre).lier(premier + 1, d.description).lier(premier + 2, joindre(d.categories));
    r.lier(premier + 3, d.episode_ns).lier(premier + 4, d.episode_ecran).lier(premier + 5, d.annee);
    r.lier(premier + 6, d.realisateur).lier(premier + 7, joindre(d.acteurs)).lier(premier + 8, d.classement);
    r.lier(premier + 9, d.rediffusion ? 1 : 0)
        .lier(premier + 10, d.inedit ? 1 : 0)
        .lier(premier + 11, d.etoiles);
}

namespace {

details_programme lire_ligne(requete& r, int premier, bool marques) {
    return lire_colonnes_details(r, premier, marques);
}

// A file opened read-only may still have the table without the marks.
struct choix {
    QByteArray sql;
    bool marques;
};
choix choisir(base_programmes& b, const char* suite) {
    const bool marques = a_colonne(b, "details_programmes", "etoiles");
    return {QByteArray("SELECT ") + colonnes + (marques ? colonnes_marques : "") +
                " FROM details_programmes " + suite,
            marques};
}

} // namespace

void creer_details(base_programmes& b) {
    requete(b.connexion(),
            "CREATE TABLE IF NOT EXISTS details_programmes (chaine INTEGER NOT NULL, hdeb INTEGER NOT NULL, "
            "sous_titre TEXT, description TEXT, categories TEXT, episode_ns TEXT, episode_ecran TEXT, "
            "annee TEXT, realisateur TEXT, acteurs TEXT, classement TEXT, rediffusion INTEGER NOT NULL "
            "DEFAULT 0, inedit INTEGER NOT NULL DEFAULT 0, etoiles TEXT, PRIMARY KEY (chaine, hdeb))",
            b.chemin())
        .executer();
    completer_details(b);
}

void completer_details(base_programmes& b) {
    if (!b.a_table("details_programmes") || a_colonne(b, "details_programmes", "etoiles"))
        return;
    const std::pair<const char*, const char*> ajouts[] = {
        {"rediffusion", "ALTER TABLE details_programmes ADD COLUMN rediffusion INTEGER NOT NULL DEFAULT 0"},
        {"inedit", "ALTER TABLE details_programmes ADD COLUMN inedit INTEGER NOT NULL DEFAULT 0"},
        {"etoiles", "ALTER TABLE details_programmes ADD COLUMN etoiles TEXT"}};
    for (const auto& [colonne, sql] : ajouts)
        if (!a_colonne(b, "details_programmes", colonne))
            requete(b.connexion(), sql, b.chemin()).executer();
}

void remplacer_details(base_programmes& b, int num_chaine, std::span<const fiche_programme> programmes) {
    const bool a_ecrire = std::any_of(programmes.begin(), programmes.end(),
                                      [](const fiche_programme& p) { return !p.details.vide(); });
    // Pages bring none: a file that never had details is left as it is.
    if (!a_ecrire) {
        effacer_details(b, num_chaine);
        return;
    }
    creer_details(b);
    effacer_details(b, num_chaine);
    requete r(
        b.connexion(),
        "INSERT OR REPLACE INTO details_programmes (chaine, hdeb, sous_titre, description, categories, "
        "episode_ns, episode_ecran, annee, realisateur, acteurs, classement, rediffusion, inedit, etoiles) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
        b.chemin());
    for (const fiche_programme& p : programmes) {
        const details_programme& d = p.details;
        if (d.vide())
            continue;
        r.lier(1, num_chaine).lier(2, qint64(p.hdeb.secondes()));
        lier_details(r, 3, d);
        r.executer();
    }
}

void effacer_details_orphelins(base_programmes& b) {
    if (!b.a_table("details_programmes"))
        return;
    requete(b.connexion(),
            "DELETE FROM details_programmes WHERE chaine NOT IN (SELECT num_chaine FROM chaines)", b.chemin())
        .executer();
}

void effacer_details(base_programmes& b, int num_chaine) {
    if (!b.a_table("details_programmes"))
        return;
    requete(b.connexion(), "DELETE FROM details_programmes WHERE chaine = ?1", b.chemin())
        .lier(1, num_chaine)
        .executer();
}

QHash<qint64, details_programme> lire_details_chaine(base_programmes& b, int num_chaine) {
    QHash<qint64, details_programme> res;
    if (!b.a_table("details_programmes"))
        return res;
    const choix c = choisir(b, "WHERE chaine = ?1");
    requete r(b.connexion(), c.sql.constData(), b.chemin());
    r.lier(1, num_chaine);
    while (r.pas())
        res.insert(r.entier(1), lire_ligne(r, 2, c.marques));
    return res;
}

std::optional<details_programme> lire_details(base_programmes& b, int num_chaine, date_heure hdeb) {
    if (!b.a_table("details_programmes"))
        return std::nullopt;
    const choix c = choisir(b, "WHERE chaine = ?1 AND hdeb = ?2");
    requete r(b.connexion(), c.sql.constData(), b.chemin());
    r.lier(1, num_chaine).lier(2, qint64(hdeb.secondes()));
    if (!r.pas())
        return std::nullopt;
    return lire_ligne(r, 2, c.marques);
}

std::vector<std::optional<details_programme>>
lire_details_de(base_programmes& b, std::span<const std::pair<int, date_heure>> programmes) {
    std::vector<std::optional<details_programme>> res(programmes.size());
    if (programmes.empty() || !b.a_table("details_programmes"))
        return res;
    const choix c = choisir(b, "WHERE chaine = ?1 AND hdeb = ?2");
    requete r(b.connexion(), c.sql.constData(), b.chemin());
    for (size_t i = 0; i < programmes.size(); ++i) {
        r.lier(1, programmes[i].first).lier(2, qint64(programmes[i].second.secondes()));
        if (r.pas())
            res[i] = lire_ligne(r, 2, c.marques);
        r.reinitialiser();
    }
    return res;
}

std::vector<QStringList> lire_categories_de(base_programmes& b, source_details source,
                                            std::span<const std::pair<int, date_heure>> programmes) {
    std::vector<QStringList> res(programmes.size());
    const char* table = source == source_details::liste ? "details_programmes" : "semaine";
    if (programmes.empty() || !b.a_table(table))
        return res;
    // The week's damaged rows are skipped there as everywhere.
    const QByteArray sql =
        QByteArray("SELECT categories FROM ") + table + " WHERE chaine = ?1 AND hdeb = ?2" +
        (source == source_details::liste ? "" : QByteArray(" AND ") + condition_semaine_saine) + " LIMIT 1";
    requete r(b.connexion(), sql.constData(), b.chemin());
    for (size_t i = 0; i < programmes.size(); ++i) {
        r.lier(1, programmes[i].first).lier(2, qint64(programmes[i].second.secondes()));
        if (r.pas())
            res[i] = separer(r.texte(0));
        r.reinitialiser();
    }
    return res;
}

std::optional<details_programme> lire_details_source(base_programmes& b, source_details source,
                                                     int num_chaine, date_heure hdeb) {
    if (source == source_details::liste)
        return lire_details(b, num_chaine, hdeb);
    const std::pair<int, date_heure> cle{num_chaine, hdeb};
    return lire_details_semaine_de(b, std::span(&cle, 1)).front();
}

QHash<int, QHash<qint64, details_programme>> lire_tous_details(base_programmes& b) {
    QHash<int, QHash<qint64, details_programme>> res;
    if (!b.a_table("details_programmes"))
        return res;
    const choix c = choisir(b, "");
    requete r(b.connexion(), c.sql.constData(), b.chemin());
    while (r.pas())
        res[int(r.entier(0))].insert(r.entier(1), lire_ligne(r, 2, c.marques));
    return res;
}

lecteur_details::lecteur_details(base_programmes& b) {
    if (!b.a_table("details_programmes"))
        return;
    if (!requete(b.connexion(), "SELECT 1 FROM details_programmes LIMIT 1", b.chemin()).pas())
        return;
    const choix c = choisir(b, "WHERE chaine = ?1 AND hdeb = ?2");
    marques_ = c.marques;
    r_.emplace(b.connexion(), c.sql.constData(), b.chemin());
}

std::optional<details_programme> lecteur_details::lire(int num_chaine, date_heure hdeb) {
    if (!r_)
        return std::nullopt;
    r_->lier(1, num_chaine).lier(2, qint64(hdeb.secondes()));
    std::optional<details_programme> d;
    if (r_->pas())
        d = lire_ligne(*r_, 2, marques_);
    r_->reinitialiser();
    return d;
}

} // namespace zapo::donnees
