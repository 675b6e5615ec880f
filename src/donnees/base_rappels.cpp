#include "donnees/base_rappels.h"

#include "donnees/semaine.h"
#include "donnees/transaction.h"

#include <QSet>

#include <sqlite3.h>

namespace zapo::donnees {

namespace {

requete ordre(base_programmes& b, const char* sql) {
    return requete(b.connexion(), sql, b.chemin());
}

// A reminder keeps its programme's wall-clock times. Where the clocks go back,
// its channel's programmes (`liste`'s, then the week's after them, in time
// order) tell which reading of the repeated hour they are; rare, so looked up
// only then.
void situer_heure_repetee(base_programmes& b, std::vector<rappel>& rappels) {
    fuseau_local f;
    QSet<int> chaines;
    for (const rappel& r : rappels)
        if (!r.envoye && !r.retire && (f.lire(r.debut).ambigue() || f.lire(r.fin).ambigue()))
            chaines.insert(r.chaine);
    for (const int c : std::as_const(chaines)) {
        suite_instants suite;
        const auto situer = [&](date_heure hdeb, date_heure hfin, std::optional<date_heure> duree) {
            const auto [debut, fin] = suite.lire(f, hdeb, hfin, duree);
            for (rappel& r : rappels)
                if (r.chaine == c && r.debut == hdeb) {
                    r.instant_debut = debut;
                    if (r.fin == hfin)
                        r.instant_fin = fin;
                }
        };
        std::optional<date_heure> dernier;
        b.parcourir_chaine(c, [&](const ligne_liste& l) {
            situer(l.hdeb, l.hfin, l.duree);
            dernier = dernier ? std::max(*dernier, l.hdeb) : l.hdeb;
        });
        for (const fiche_programme& p : lire_semaine_chaine(b, c))
            if (!dernier || p.hdeb > *dernier)
                situer(p.hdeb, p.hfin, p.duree);
    }
}

} // namespace

void creer_tables_rappels(base_programmes& b) {
    ordre(b, "CREATE TABLE IF NOT EXISTS rappels (id INTEGER PRIMARY KEY, chaine INTEGER NOT NULL, "
             "debut INTEGER NOT NULL, fin INTEGER NOT NULL, titre TEXT NOT NULL, "
             "envoye INTEGER NOT NULL DEFAULT 0, automatique INTEGER NOT NULL DEFAULT 0, "
             "retire INTEGER NOT NULL DEFAULT 0)")
        .executer();
    ordre(b, "CREATE TABLE IF NOT EXISTS reglages (cle TEXT PRIMARY KEY, valeur TEXT)").executer();
    ordre(b, "CREATE TABLE IF NOT EXISTS mots_favoris (id INTEGER PRIMARY KEY, mot TEXT NOT NULL)")
        .executer();
}

std::vector<rappel> lire_rappels(base_programmes& b) {
    std::vector<rappel> res;
    if (!b.a_table("rappels"))
        return res;
    auto r = ordre(b, "SELECT id, chaine, debut, fin, titre, envoye, automatique, retire FROM rappels "
                      "ORDER BY id");
    while (r.pas()) {
        rappel x;
        x.id = r.entier(0);
        x.chaine = int(r.entier(1));
        x.debut = date_heure::depuis_secondes(r.entier(2));
        x.fin = date_heure::depuis_secondes(r.entier(3));
        x.titre = r.texte(4);
        x.envoye = r.entier(5) != 0;
        x.automatique = r.entier(6) != 0;
        x.retire = r.entier(7) != 0;
        res.push_back(std::move(x));
    }
    situer_heure_repetee(b, res);
    return res;
}

void ajouter_rappel(base_programmes& b, const rappel& r) {
    creer_tables_rappels(b);
    auto revivre =
        ordre(b, "UPDATE rappels SET retire = 0, envoye = 0, automatique = 0, fin = ?3, titre = ?4 "
                 "WHERE chaine = ?1 AND debut = ?2");
    revivre.lier(1, r.chaine).lier(2, qint64(r.debut.secondes())).lier(3, qint64(r.fin.secondes()));
    revivre.lier(4, r.titre).executer();
    if (sqlite3_changes(b.connexion()) > 0)
        return;
    ajouter_rappels(b, std::span(&r, 1));
}

void ajouter_rappels(base_programmes& b, std::span<const rappel> rappels) {
    if (rappels.empty())
        return;
    creer_tables_rappels(b);
    auto r = ordre(b, "INSERT INTO rappels (chaine, debut, fin, titre, envoye, automatique, retire) "
                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const auto& x : rappels) {
        r.lier(1, x.chaine).lier(2, qint64(x.debut.secondes())).lier(3, qint64(x.fin.secondes()));
        r.lier(4, x.titre).lier(5, x.envoye ? 1 : 0).lier(6, x.automatique ? 1 : 0).lier(7, x.retire ? 1 : 0);
        r.executer();
    }
}

void retirer_rappel(base_programmes& b, int chaine, date_heure debut) {
    if (!b.a_table("rappels"))
        return;
    ordre(b, "UPDATE rappels SET retire = 1 WHERE chaine = ?1 AND debut = ?2")
        .lier(1, chaine)
        .lier(2, qint64(debut.secondes()))
        .executer();
}

void marquer_envoye(base_programmes& b, qint64 id) {
    if (!b.a_table("rappels"))
        return;
    ordre(b, "UPDATE rappels SET envoye = 1 WHERE id = ?1").lier(1, id).executer();
}

bool marquer_envoyes(base_programmes& b, std::span<const qint64> ids, bool attendre) {
    if (ids.empty() || !b.a_table("rappels"))
        return true;
    if (!attendre)
        sqlite3_busy_timeout(b.connexion(), 0);
    bool fait = false;
    try {
        transaction t(b);
        auto r = ordre(b, "UPDATE rappels SET envoye = 1 WHERE id = ?1");
        for (qint64 id : ids)
            r.lier(1, id).executer();
        t.valider();
        fait = true;
    } catch (const erreur_base&) {
    }
    sqlite3_busy_timeout(b.connexion(), base_programmes::attente_occupee_ms);
    return fait;
}

void deplacer_rappel(base_programmes& b, qint64 id, const programme_rappel& p) {
    if (!b.a_table("rappels"))
        return;
    auto r = ordre(b, "UPDATE rappels SET debut = ?2, fin = ?3, titre = ?4 WHERE id = ?1");
    r.lier(1, id).lier(2, qint64(p.debut.secondes())).lier(3, qint64(p.fin.secondes())).lier(4, p.titre);
    r.executer();
}

void effacer_rappels_finis(base_programmes& b, date_heure avant) {
    if (!b.a_table("rappels"))
        return;
    ordre(b, "DELETE FROM rappels WHERE fin < ?1 AND debut < ?1")
        .lier(1, qint64(avant.secondes()))
        .executer();
}

int lire_minutes_avant(base_programmes& b) {
    if (!b.a_table("reglages"))
        return minutes_avant_defaut;
    auto r = ordre(b, "SELECT valeur FROM reglages WHERE cle = 'minutes_avant'");
    if (!r.pas())
        return minutes_avant_defaut;
    bool ok = false;
    const int n = r.texte(0).trimmed().toInt(&ok);
    return ok ? minutes_avant_valides(n) : minutes_avant_defaut;
}

void ecrire_minutes_avant(base_programmes& b, int minutes) {
    creer_tables_rappels(b);
    ordre(b, "INSERT OR REPLACE INTO reglages (cle, valeur) VALUES ('minutes_avant', ?1)")
        .lier(1, QString::number(minutes_avant_valides(minutes)))
        .executer();
}

bool agent_propose(base_programmes& b) {
    if (!b.a_table("reglages"))
        return false;
    return ordre(b, "SELECT 1 FROM reglages WHERE cle = 'agent_propose'").pas();
}

void noter_agent_propose(base_programmes& b) {
    creer_tables_rappels(b);
    ordre(b, "INSERT OR REPLACE INTO reglages (cle, valeur) VALUES ('agent_propose', '1')").executer();
}

QStringList lire_mots_favoris(base_programmes& b) {
    QStringList res;
    if (!b.a_table("mots_favoris"))
        return res;
    auto r = ordre(b, "SELECT mot FROM mots_favoris ORDER BY id");
    while (r.pas())
        res << r.texte(0);
    // A file edited by hand may hold anything: the rules only see clean words.
    return nettoyer_mots(res);
}

void ecrire_mots_favoris(base_programmes& b, const QStringList& mots) {
    creer_tables_rappels(b);
    transaction t(b);
    ordre(b, "DELETE FROM mots_favoris").executer();
    auto r = ordre(b, "INSERT INTO mots_favoris (mot) VALUES (?1)");
    for (const QString& m : nettoyer_mots(mots))
        r.lier(1, m).executer();
    t.valider();
}

std::vector<programme_rappel> lire_programmes_rappel(base_programmes& b) {
    std::vector<programme_rappel> res;
    parcourir_semaine(b, false, [&](const programme_semaine& p) {
        res.push_back({p.chaine, p.hdeb, p.hfin, p.titre});
    });
    return res;
}

void ajuster_rappels(base_programmes& b, date_heure maintenant) {
    const QStringList mots = lire_mots_favoris(b);
    if (!b.a_table("rappels") && mots.isEmpty())
        return;
    const auto programmes = lire_programmes_rappel(b);
    transaction t(b);
    auto rappels = lire_rappels(b);
    for (auto& r : rappels) {
        if (r.envoye || r.retire)
            continue;
        const auto p = suivre_rappel(r, programmes);
        if (!p || (p->debut == r.debut && p->fin == r.fin && p->titre == r.titre))
            continue;
        deplacer_rappel(b, r.id, *p);
        r.debut = p->debut;
        r.fin = p->fin;
        r.titre = p->titre;
    }
    ajouter_rappels(b, rappels_des_mots(programmes, mots, rappels, maintenant));
    effacer_rappels_finis(b, maintenant - un_jour);
    t.valider();
}

} // namespace zapo::donnees
