#include "donnees/semaine.h"

#include "donnees/lecture_details.h"
#include "donnees/transaction.h"
#include "noyau/soirees.h"

#include <QHash>

#include <algorithm>

namespace zapo::donnees {

namespace {

constexpr const char* colonnes_semaine = "chaine, hdeb, hfin, duree, titre, sous_titre, description, "
                                         "categories, episode_ns, episode_ecran, annee, "
                                         "realisateur, acteurs, classement, rediffusion, inedit, etoiles";

programme_semaine lire_ligne(requete& r) {
    programme_semaine p;
    p.chaine = int(r.entier(0));
    p.hdeb = date_heure::depuis_secondes(r.entier(1));
    p.hfin = date_heure::depuis_secondes(r.entier(2));
    if (!r.est_nul(3))
        p.duree = date_heure::depuis_secondes(r.entier(3));
    p.titre = r.texte(4);
    return p;
}

} // namespace

void creer_semaine(base_programmes& b) {
    requete(
        b.connexion(),
        "CREATE TABLE IF NOT EXISTS semaine (chaine INTEGER NOT NULL, hdeb INTEGER NOT NULL, "
        "hfin INTEGER NOT NULL, duree INTEGER, titre TEXT NOT NULL, sous_titre TEXT, description TEXT, "
        "categories TEXT, episode_ns TEXT, episode_ecran TEXT, annee TEXT, realisateur TEXT, acteurs TEXT, "
        "classement TEXT, rediffusion INTEGER NOT NULL DEFAULT 0, inedit INTEGER NOT NULL DEFAULT 0, "
        "etoiles TEXT)",
        b.chemin())
        .executer();
    requete(b.connexion(), "CREATE INDEX IF NOT EXISTS semaine_chaine ON semaine (chaine, hdeb)", b.chemin())
        .executer();
}

void mettre_a_niveau(base_programmes& b) {
    const bool details_anciens =
        b.a_table("details_programmes") && !a_colonne(b, "details_programmes", "etoiles");
    if (b.a_table("semaine") && !details_anciens)
        return;
    transaction t(b);
    creer_semaine(b);
    completer_details(b);
    t.valider();
}

void remplacer_semaine(base_programmes& b, int num_chaine, std::span<const fiche_programme> programmes) {
    creer_semaine(b);
    requete(b.connexion(), "DELETE FROM semaine WHERE chaine = ?1", b.chemin())
        .lier(1, num_chaine)
        .executer();
    requete r(
        b.connexion(),
        "INSERT INTO semaine (chaine, hdeb, hfin, duree, titre, sous_titre, description, categories, "
        "episode_ns, episode_ecran, annee, realisateur, acteurs, classement, rediffusion, inedit, etoiles) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)",
        b.chemin());
    // The readers bound it already; a source of another kind must not fill the disk either.
    const auto n = std::min<size_t>(programmes.size(), size_t(max_programmes_semaine));
    for (const fiche_programme& p : programmes.first(n)) {
        r.lier(1, num_chaine).lier(2, qint64(p.hdeb.secondes())).lier(3, qint64(p.hfin.secondes()));
        r.lier(4, qint64(p.duree.secondes())).lier(5, couper_titre(p.programme).toString());
        lier_details(r, 6, p.details);
        r.executer();
    }
}

std::vector<fiche_programme> lire_semaine_chaine(base_programmes& b, int num_chaine) {
    std::vector<fiche_programme> res;
    if (!b.a_table("semaine"))
        return res;
    const QByteArray sql =
        QByteArray("SELECT ") + colonnes_semaine + " FROM semaine WHERE chaine = ?1 ORDER BY hdeb, rowid";
    requete r(b.connexion(), sql.constData(), b.chemin());
    r.lier(1, num_chaine);
    while (r.pas()) {
        const programme_semaine p = lire_ligne(r);
        res.push_back(
            {p.titre, p.hdeb, p.duree.value_or(p.hfin - p.hdeb), p.hfin, lire_colonnes_details(r, 5, true)});
    }
    return res;
}

void effacer_semaine_orphelins(base_programmes& b) {
    if (!b.a_table("semaine"))
        return;
    requete(b.connexion(), "DELETE FROM semaine WHERE chaine NOT IN (SELECT num_chaine FROM chaines)",
            b.chemin())
        .executer();
}

namespace {

// `liste`'s rows, then the week's rows after each channel's last one.
// `details_liste` gives a `liste` row's details; `fin_liste` runs between the two.
void parcourir(base_programmes& b, bool avec_details,
               const std::function<details_programme(const ligne_liste&)>& details_liste,
               const std::function<void()>& fin_liste,
               const std::function<void(const programme_semaine&)>& f) {
    // The last start of each channel's `liste` rows: the week goes on after it.
    QHash<int, qint64> derniers;
    QHash<int, int> positions;
    programme_semaine p;
    b.parcourir_liste([&](const ligne_liste& l) {
        p.chaine = l.chaine;
        p.hdeb = l.hdeb;
        p.hfin = l.hfin;
        p.duree = l.duree;
        p.titre = l.programme;
        p.position = ++positions[l.chaine];
        p.details = avec_details ? details_liste(l) : details_programme{};
        auto d = derniers.find(l.chaine);
        if (d == derniers.end())
            derniers.insert(l.chaine, l.hdeb.secondes());
        else
            *d = std::max<qint64>(*d, l.hdeb.secondes());
        f(p);
    });
    fin_liste();
    if (!b.a_table("semaine"))
        return;
    // A channel's week is written at once, in time order: stored order keeps it.
    const QByteArray sql = QByteArray("SELECT ") +
                           (avec_details ? colonnes_semaine : "chaine, hdeb, hfin, duree, titre") +
                           " FROM semaine ORDER BY rowid";
    requete r(b.connexion(), sql.constData(), b.chemin());
    while (r.pas()) {
        const qint64 hdeb = r.entier(1);
        const auto d = derniers.constFind(int(r.entier(0)));
        if (d != derniers.cend() && hdeb <= *d)
            continue;
        p = lire_ligne(r);
        if (avec_details)
            p.details = lire_colonnes_details(r, 5, true);
        f(p);
    }
}

} // namespace

void parcourir_semaine(base_programmes& b, bool avec_details,
                       const std::function<void(const programme_semaine&)>& f) {
    QHash<int, QHash<qint64, details_programme>> details;
    if (avec_details)
        details = lire_tous_details(b);
    parcourir(
        b, avec_details,
        [&](const ligne_liste& l) {
            const auto c = details.constFind(l.chaine);
            return c != details.cend() ? c->value(l.hdeb.secondes()) : details_programme{};
        },
        [&] { details.clear(); }, f);
}

void parcourir_semaine_flux(base_programmes& b, const std::function<void(const programme_semaine&)>& f) {
    lecteur_details lecteur(b);
    parcourir(
        b, true,
        [&](const ligne_liste& l) { return lecteur.lire(l.chaine, l.hdeb).value_or(details_programme{}); },
        [] {}, f);
}

std::vector<std::vector<ligne_panneau>> lire_soirees(base_programmes& b, std::span<const int> chaines,
                                                     date_heure maintenant, int k) {
    if (k == 0) {
        // Tonight's day is the first stored row's; SQLite hands over only the rows
        // that may be in its evening.
        const std::optional<date_heure> premier = b.premier_debut_liste();
        if (!premier)
            return soirees(chaines, maintenant).resultat();
        const date_heure jour = jour_programmes(*premier, maintenant);
        soirees s(chaines, maintenant, jour);
        const auto [debut, fin] = debuts_soir(jour);
        b.parcourir_peut_etre_au_soir(
            debut, fin, maintenant, [&](const ligne_liste& r) { s.ajouter(r); },
            [&](const ligne_liste& r) { return s.titre_utile(r); });
        return s.resultat();
    }
    const date_heure jour = maintenant.jour() + date_heure::duree_hm(24 * k, 0);
    const date_heure apres = jour + date_heure::duree_hm(48, 0);
    soirees s(chaines, maintenant, jour);
    parcourir_semaine(b, false, [&](const programme_semaine& p) {
        if (p.hdeb >= jour && p.hdeb < apres)
            s.ajouter({p.hdeb, p.hfin, p.titre, p.chaine, p.duree});
    });
    return s.resultat();
}

std::optional<date_heure> dernier_debut_semaine(base_programmes& b) {
    if (!b.a_table("semaine"))
        return std::nullopt;
    // One look-up per channel down its index, not a pass over the whole week.
    requete r(b.connexion(),
              "SELECT max((SELECT max(hdeb) FROM semaine WHERE chaine = c.chaine)) "
              "FROM (SELECT DISTINCT num_chaine AS chaine FROM chaines) AS c",
              b.chemin());
    if (!r.pas() || r.est_nul(0))
        return std::nullopt;
    return date_heure::depuis_secondes(r.entier(0));
}

std::vector<std::optional<details_programme>>
lire_details_semaine_de(base_programmes& b, std::span<const std::pair<int, date_heure>> programmes) {
    std::vector<std::optional<details_programme>> res(programmes.size());
    if (programmes.empty() || !b.a_table("semaine"))
        return res;
    const QByteArray sql =
        QByteArray("SELECT ") + colonnes_semaine + " FROM semaine WHERE chaine = ?1 AND hdeb = ?2 LIMIT 1";
    requete r(b.connexion(), sql.constData(), b.chemin());
    for (size_t i = 0; i < programmes.size(); ++i) {
        r.lier(1, programmes[i].first).lier(2, qint64(programmes[i].second.secondes()));
        if (r.pas())
            res[i] = lire_colonnes_details(r, 5, true);
        r.reinitialiser();
    }
    return res;
}

std::optional<programme_semaine> lire_programme_semaine(base_programmes& b, int num_chaine, date_heure hdeb) {
    std::optional<programme_semaine> res;
    if (b.a_table("semaine")) {
        const QByteArray sql = QByteArray("SELECT ") + colonnes_semaine +
                               " FROM semaine WHERE chaine = ?1 AND hdeb = ?2 LIMIT 1";
        requete r(b.connexion(), sql.constData(), b.chemin());
        r.lier(1, num_chaine).lier(2, qint64(hdeb.secondes()));
        if (r.pas()) {
            res = lire_ligne(r);
            res->details = lire_colonnes_details(r, 5, true);
        }
    }
    // `liste` wins for the day it holds, with its details.
    int position = 0;
    b.parcourir_chaine(num_chaine, [&](const ligne_liste& l) {
        ++position;
        if (l.hdeb != hdeb || (res && res->position > 0))
            return;
        const details_programme d = res ? res->details : details_programme{};
        res = programme_semaine{l.chaine, l.hdeb, l.hfin, l.duree, l.programme, position, d};
    });
    if (res && res->position > 0)
        if (auto d = lire_details(b, num_chaine, hdeb))
            res->details = std::move(*d);
    return res;
}

} // namespace zapo::donnees
