#include "donnees/validateurs.h"

namespace zapo::donnees {

void creer_validateurs(base_programmes& b) {
    requete(b.connexion(),
            "CREATE TABLE IF NOT EXISTS validateurs (num_chaine INTEGER PRIMARY KEY, adresse TEXT NOT NULL, "
            "etag BLOB, modifie_le BLOB, flux INTEGER NOT NULL DEFAULT 0, entiere INTEGER NOT NULL DEFAULT "
            "0, icone TEXT, date INTEGER)",
            b.chemin())
        .executer();
}

std::map<int, validateurs_chaine> lire_validateurs(base_programmes& b) {
    std::map<int, validateurs_chaine> res;
    if (!b.a_table("validateurs") || !b.a_table("semaine"))
        return res;
    // Without its week a channel has nothing to take its rows from when the answer is 304.
    requete r(b.connexion(),
              "SELECT num_chaine, adresse, etag, modifie_le, flux, entiere, icone, date FROM validateurs v "
              "WHERE EXISTS (SELECT 1 FROM semaine s WHERE s.chaine = v.num_chaine)",
              b.chemin());
    while (r.pas()) {
        validateurs_chaine v;
        v.num_chaine = int(r.entier(0));
        v.adresse = r.texte(1);
        v.etag = r.octets(2);
        v.modifie_le = r.octets(3);
        v.flux = r.entier(4) != 0;
        v.entiere = r.entier(5) != 0;
        v.icone = r.texte(6);
        v.date = date_heure::depuis_secondes(r.entier(7));
        res.emplace(v.num_chaine, std::move(v));
    }
    return res;
}

void ecrire_validateurs(base_programmes& b, const validateurs_chaine& v) {
    if (v.etag.isEmpty() && v.modifie_le.isEmpty()) {
        if (b.a_table("validateurs"))
            requete(b.connexion(), "DELETE FROM validateurs WHERE num_chaine = ?1", b.chemin())
                .lier(1, v.num_chaine)
                .executer();
        return;
    }
    creer_validateurs(b);
    requete r(
        b.connexion(),
        "INSERT OR REPLACE INTO validateurs (num_chaine, adresse, etag, modifie_le, flux, entiere, icone, "
        "date) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
        b.chemin());
    r.lier(1, v.num_chaine).lier(2, v.adresse).lier_octets(3, v.etag).lier_octets(4, v.modifie_le);
    r.lier(5, v.flux ? 1 : 0).lier(6, v.entiere ? 1 : 0).lier(7, v.icone).lier(8, qint64(v.date.secondes()));
    r.executer();
}

void effacer_validateurs_orphelins(base_programmes& b) {
    if (!b.a_table("validateurs"))
        return;
    requete(b.connexion(), "DELETE FROM validateurs WHERE num_chaine NOT IN (SELECT num_chaine FROM chaines)",
            b.chemin())
        .executer();
}

} // namespace zapo::donnees
