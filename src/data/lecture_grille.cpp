#include "data/lecture_grille.h"

#include "data/details.h"

#include <QHash>

namespace zapo::donnees {

void parcourir_periode(base_programmes& b, date_heure debut, date_heure fin,
                       const std::function<void(const programme_semaine&)>& f) {
    // `liste` is a day or so per channel: read whole, for the last start of each
    // channel's rows (the week goes on after it) and its rows in the period.
    QHash<int, qint64> derniers;
    std::vector<programme_semaine> de_liste;
    std::vector<std::pair<int, date_heure>> cles;
    QHash<int, int> positions;
    b.parcourir_liste([&](const ligne_liste& l) {
        const int position = ++positions[l.chaine];
        auto d = derniers.find(l.chaine);
        if (d == derniers.end())
            derniers.insert(l.chaine, l.hdeb.secondes());
        else
            *d = std::max<qint64>(*d, l.hdeb.secondes());
        if (l.hdeb < fin && std::max(l.hfin, l.hdeb) > debut) {
            de_liste.push_back({l.chaine, l.hdeb, l.hfin, l.duree, l.programme, position, {}});
            cles.emplace_back(l.chaine, l.hdeb);
        }
    });
    const auto details = lire_details_de(b, cles);
    for (size_t i = 0; i < de_liste.size(); ++i) {
        if (const auto& d = details[i]) {
            de_liste[i].details.categories = d->categories;
            de_liste[i].details.rediffusion = d->rediffusion;
            de_liste[i].details.inedit = d->inedit;
        }
        f(de_liste[i]);
    }
    de_liste.clear();
    if (!b.a_table("semaine"))
        return;
    // A programme of the day before may still be on: a day's margin on the start.
    requete r(b.connexion(),
              "SELECT chaine, hdeb, hfin, duree, titre, categories, rediffusion, inedit FROM semaine "
              "WHERE hdeb >= ?1 AND hdeb < ?2 AND hfin > ?3 ORDER BY rowid",
              b.chemin());
    r.lier(1, qint64((debut - un_jour).secondes())).lier(2, qint64(fin.secondes()));
    r.lier(3, qint64(debut.secondes()));
    programme_semaine p;
    while (r.pas()) {
        const int chaine = int(r.entier(0));
        const qint64 hdeb = r.entier(1);
        const auto d = derniers.constFind(chaine);
        if (d != derniers.cend() && hdeb <= *d)
            continue;
        p.chaine = chaine;
        p.hdeb = date_heure::depuis_secondes(hdeb);
        p.hfin = date_heure::depuis_secondes(r.entier(2));
        p.duree = r.est_nul(3) ? std::nullopt : std::optional(date_heure::depuis_secondes(r.entier(3)));
        p.titre = r.texte(4);
        p.position = 0;
        p.details.categories = separer(r.texte(5));
        p.details.rediffusion = r.entier(6) != 0;
        p.details.inedit = r.entier(7) != 0;
        f(p);
    }
}

} // namespace zapo::donnees
