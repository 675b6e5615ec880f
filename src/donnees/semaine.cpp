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

const char* const condition_semaine_saine =
    "typeof(hdeb) = 'integer' AND typeof(hfin) = 'integer' AND hfin > hdeb AND hfin - hdeb <= 691200 "
    "AND (duree IS NULL OR (typeof(duree) = 'integer' AND duree > 0 AND duree <= 691200))";
static_assert(longueur_max_semaine == 691200);

namespace {

// Where each channel's week begins: its first sane start, found down the index
// (chaine, hdeb). Its eight days end every read of the channel, as a run wrote them.
class debuts_semaine {
public:
    explicit debuts_semaine(base_programmes& b)
        : r_(b.connexion(),
             (QByteArray("SELECT hdeb FROM semaine WHERE chaine = ?1 AND hdeb >= ?2 AND hdeb < ?3 AND ") +
              condition_semaine_saine + " ORDER BY hdeb LIMIT 1")
                 .constData(),
             b.chemin()) {}
    std::optional<qint64> premier(int chaine) {
        r_.lier(1, chaine).lier(2, debut_min_semaine).lier(3, debut_max_semaine);
        std::optional<qint64> res;
        if (r_.pas())
            res = r_.entier(0);
        r_.reinitialiser();
        return res;
    }

private:
    requete r_;
};

} // namespace

void lire_semaine_bornee(base_programmes& b, const char* colonnes, std::span<const fenetre_semaine> fenetres,
                         const std::function<void(int, requete&)>& f) {
    if (fenetres.empty() || !b.a_table("semaine"))
        return;
    debuts_semaine debuts(b);
    // Each bound is one SQLite walks the index by: at most a run's worth of
    // rows, none past the channel's week.
    const QByteArray sql = QByteArray("SELECT ") + colonnes +
                           " FROM semaine WHERE chaine = ?1 AND hdeb > ?2 AND hdeb < ?3 AND " +
                           condition_semaine_saine + " ORDER BY hdeb, rowid LIMIT ?4";
    requete r(b.connexion(), sql.constData(), b.chemin());
    for (const fenetre_semaine& w : fenetres) {
        const std::optional<qint64> premier = debuts.premier(w.chaine);
        if (!premier)
            continue;
        const qint64 apres = std::max(w.apres, *premier - 1);
        const qint64 avant = std::min(w.avant, *premier + longueur_max_semaine);
        if (avant <= apres + 1)
            continue;
        r.lier(1, w.chaine).lier(2, apres).lier(3, avant).lier(4, max_programmes_semaine);
        while (r.pas())
            f(w.chaine, r);
        r.reinitialiser();
    }
}

std::optional<qint64> dernier_debut_sain(base_programmes& b, std::span<const int> chaines) {
    std::optional<qint64> res;
    if (chaines.empty() || !b.a_table("semaine"))
        return res;
    debuts_semaine debuts(b);
    const QByteArray sql =
        QByteArray("SELECT hdeb FROM semaine WHERE chaine = ?1 AND hdeb >= ?2 AND hdeb < ?3 AND ") +
        condition_semaine_saine + " ORDER BY hdeb DESC LIMIT 1";
    requete r(b.connexion(), sql.constData(), b.chemin());
    for (const int c : chaines) {
        const std::optional<qint64> premier = debuts.premier(c);
        if (!premier)
            continue;
        r.lier(1, c).lier(2, *premier).lier(3, *premier + longueur_max_semaine);
        if (r.pas() && (!res || r.entier(0) > *res))
            res = r.entier(0);
        r.reinitialiser();
    }
    return res;
}

std::vector<int> chaines_de_la_base(base_programmes& b) {
    std::vector<int> res;
    requete r(b.connexion(), "SELECT num_chaine FROM chaines ORDER BY rowid", b.chemin());
    while (r.pas())
        if (std::find(res.begin(), res.end(), int(r.entier(0))) == res.end())
            res.push_back(int(r.entier(0)));
    return res;
}

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
    const fenetre_semaine w{num_chaine};
    lire_semaine_bornee(b, colonnes_semaine, std::span(&w, 1), [&](int, requete& r) {
        const programme_semaine p = lire_ligne(r);
        res.push_back(
            {p.titre, p.hdeb, p.duree.value_or(p.hfin - p.hdeb), p.hfin, lire_colonnes_details(r, 5, true)});
    });
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
               const std::function<void()>& fin_liste, const std::function<void(const programme_semaine&)>& f,
               qint64 de = debut_min_semaine, qint64 a = debut_max_semaine) {
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
    // Each channel's week after its last `liste` row, within the reader's days.
    std::vector<fenetre_semaine> fenetres;
    for (const int c : chaines_de_la_base(b)) {
        const auto d = derniers.constFind(c);
        fenetres.push_back({c, std::max(de - 1, d != derniers.cend() ? *d : debut_min_semaine - 1), a});
    }
    lire_semaine_bornee(b, avec_details ? colonnes_semaine : "chaine, hdeb, hfin, duree, titre", fenetres,
                        [&](int, requete& r) {
                            p = lire_ligne(r);
                            if (avec_details)
                                p.details = lire_colonnes_details(r, 5, true);
                            f(p);
                        });
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
    // Only those two days of the week are asked of SQLite.
    parcourir(
        b, false, [](const ligne_liste&) { return details_programme{}; }, [] {},
        [&](const programme_semaine& p) {
            if (p.hdeb >= jour && p.hdeb < apres)
                s.ajouter({p.hdeb, p.hfin, p.titre, p.chaine, p.duree});
        },
        jour.secondes(), apres.secondes());
    return s.resultat();
}

std::optional<date_heure> dernier_debut_semaine(base_programmes& b) {
    std::optional<date_heure> res;
    if (!b.a_table("semaine"))
        return res;
    // One look-up per channel down its index, not a pass over the whole week.
    if (const std::optional<qint64> d = dernier_debut_sain(b, chaines_de_la_base(b)))
        res = date_heure::depuis_secondes(*d);
    return res;
}

std::vector<std::optional<details_programme>>
lire_details_semaine_de(base_programmes& b, std::span<const std::pair<int, date_heure>> programmes) {
    std::vector<std::optional<details_programme>> res(programmes.size());
    if (programmes.empty() || !b.a_table("semaine"))
        return res;
    const QByteArray sql = QByteArray("SELECT ") + colonnes_semaine +
                           " FROM semaine WHERE chaine = ?1 AND hdeb = ?2 AND " + condition_semaine_saine +
                           " LIMIT 1";
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
                               " FROM semaine WHERE chaine = ?1 AND hdeb = ?2 AND " +
                               condition_semaine_saine + " LIMIT 1";
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
