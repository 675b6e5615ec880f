#include "data/details.h"

namespace zapo::donnees {

namespace {

constexpr const char* colonnes =
    "chaine, hdeb, sous_titre, description, categories, episode_ns, episode_ecran, "
    "annee, realisateur, acteurs, classement";

details_programme lire_ligne(requete& r, int premier) {
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
    return d;
}

QByteArray choisir(const char* suite) {
    return QByteArray("SELECT ") + colonnes + " FROM details_programmes " + suite;
}

} // namespace

void creer_details(base_programmes& b) {
    requete(b.connexion(),
            "CREATE TABLE IF NOT EXISTS details_programmes (chaine INTEGER NOT NULL, hdeb INTEGER NOT NULL, "
            "sous_titre TEXT, description TEXT, categories TEXT, episode_ns TEXT, episode_ecran TEXT, "
            "annee TEXT, realisateur TEXT, acteurs TEXT, classement TEXT, PRIMARY KEY (chaine, hdeb))",
            b.chemin())
        .executer();
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
    requete r(b.connexion(),
              "INSERT OR REPLACE INTO details_programmes (chaine, hdeb, sous_titre, description, categories, "
              "episode_ns, episode_ecran, annee, realisateur, acteurs, classement) "
              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
              b.chemin());
    for (const fiche_programme& p : programmes) {
        const details_programme& d = p.details;
        if (d.vide())
            continue;
        r.lier(1, num_chaine).lier(2, qint64(p.hdeb.secondes())).lier(3, d.sous_titre).lier(4, d.description);
        r.lier(5, joindre(d.categories)).lier(6, d.episode_ns).lier(7, d.episode_ecran).lier(8, d.annee);
        r.lier(9, d.realisateur).lier(10, joindre(d.acteurs)).lier(11, d.classement);
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
    const QByteArray sql = choisir("WHERE chaine = ?1");
    requete r(b.connexion(), sql.constData(), b.chemin());
    r.lier(1, num_chaine);
    while (r.pas())
        res.insert(r.entier(1), lire_ligne(r, 2));
    return res;
}

std::optional<details_programme> lire_details(base_programmes& b, int num_chaine, date_heure hdeb) {
    if (!b.a_table("details_programmes"))
        return std::nullopt;
    const QByteArray sql = choisir("WHERE chaine = ?1 AND hdeb = ?2");
    requete r(b.connexion(), sql.constData(), b.chemin());
    r.lier(1, num_chaine).lier(2, qint64(hdeb.secondes()));
    if (!r.pas())
        return std::nullopt;
    return lire_ligne(r, 2);
}

std::vector<std::optional<details_programme>>
lire_details_de(base_programmes& b, std::span<const std::pair<int, date_heure>> programmes) {
    std::vector<std::optional<details_programme>> res(programmes.size());
    if (programmes.empty() || !b.a_table("details_programmes"))
        return res;
    const QByteArray sql = choisir("WHERE chaine = ?1 AND hdeb = ?2");
    requete r(b.connexion(), sql.constData(), b.chemin());
    for (size_t i = 0; i < programmes.size(); ++i) {
        r.lier(1, programmes[i].first).lier(2, qint64(programmes[i].second.secondes()));
        if (r.pas())
            res[i] = lire_ligne(r, 2);
        r.reinitialiser();
    }
    return res;
}

lecteur_details::lecteur_details(base_programmes& b) {
    if (!b.a_table("details_programmes"))
        return;
    if (!requete(b.connexion(), "SELECT 1 FROM details_programmes LIMIT 1", b.chemin()).pas())
        return;
    const QByteArray sql = choisir("WHERE chaine = ?1 AND hdeb = ?2");
    r_.emplace(b.connexion(), sql.constData(), b.chemin());
}

std::optional<details_programme> lecteur_details::lire(int num_chaine, date_heure hdeb) {
    if (!r_)
        return std::nullopt;
    r_->lier(1, num_chaine).lier(2, qint64(hdeb.secondes()));
    std::optional<details_programme> d;
    if (r_->pas())
        d = lire_ligne(*r_, 2);
    r_->reinitialiser();
    return d;
}

} // namespace zapo::donnees
