#include "donnees/base_logos.h"

namespace zapo::donnees {

void creer_logos(base_programmes& b) {
    requete(b.connexion(),
            "CREATE TABLE IF NOT EXISTS logos_chaines (num_chaine INTEGER PRIMARY KEY, adresse TEXT, "
            "image BLOB, etag BLOB, modifie_le BLOB, verifie INTEGER, reussi INTEGER)",
            b.chemin())
        .executer();
}

std::map<int, logo_chaine> lire_etats_logos(base_programmes& b) {
    std::map<int, logo_chaine> res;
    if (!b.a_table("logos_chaines"))
        return res;
    requete r(b.connexion(),
              "SELECT num_chaine, adresse, image, etag, modifie_le, verifie, reussi FROM logos_chaines",
              b.chemin());
    while (r.pas()) {
        logo_chaine l;
        l.num_chaine = int(r.entier(0));
        l.adresse = r.texte(1);
        l.image = r.octets(2);
        l.etag = r.octets(3);
        l.modifie_le = r.octets(4);
        l.verifie = date_heure::depuis_secondes(r.entier(5));
        l.reussi = r.entier(6) != 0;
        res.emplace(l.num_chaine, std::move(l));
    }
    return res;
}

void ecrire_logo(base_programmes& b, const logo_chaine& l) {
    creer_logos(b);
    requete r(b.connexion(),
              "INSERT OR REPLACE INTO logos_chaines (num_chaine, adresse, image, etag, modifie_le, verifie, "
              "reussi) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
              b.chemin());
    r.lier(1, l.num_chaine).lier(2, l.adresse).lier_octets(3, l.image).lier_octets(4, l.etag);
    r.lier_octets(5, l.modifie_le).lier(6, qint64(l.verifie.secondes())).lier(7, l.reussi ? 1 : 0);
    r.executer();
}

void effacer_logo(base_programmes& b, int num_chaine) {
    if (!b.a_table("logos_chaines"))
        return;
    requete(b.connexion(), "DELETE FROM logos_chaines WHERE num_chaine = ?1", b.chemin())
        .lier(1, num_chaine)
        .executer();
}

void effacer_logos_orphelins(base_programmes& b) {
    if (!b.a_table("logos_chaines"))
        return;
    requete(b.connexion(),
            "DELETE FROM logos_chaines WHERE num_chaine NOT IN (SELECT num_chaine FROM chaines)", b.chemin())
        .executer();
}

QHash<int, QByteArray> lire_logos(base_programmes& b) {
    QHash<int, QByteArray> res;
    if (!b.a_table("logos_chaines"))
        return res;
    requete r(b.connexion(), "SELECT num_chaine, image FROM logos_chaines WHERE length(image) > 0",
              b.chemin());
    while (r.pas())
        res.insert(int(r.entier(0)), r.octets(1));
    return res;
}

QHash<int, QString> lire_adresses_logos(base_programmes& b) {
    QHash<int, QString> res;
    if (!b.a_table("logos_chaines"))
        return res;
    requete r(b.connexion(), "SELECT num_chaine, adresse FROM logos_chaines WHERE length(adresse) > 0",
              b.chemin());
    while (r.pas())
        res.insert(int(r.entier(0)), r.texte(1));
    return res;
}

} // namespace zapo::donnees
