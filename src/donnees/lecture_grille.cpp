#include "donnees/lecture_grille.h"

#include "donnees/lecture_details.h"

#include <QHash>
#include <QSet>

#include <string>
#include <unordered_map>

namespace zapo::donnees {

namespace {

// A feed repeats a few dozen category texts: each is split once and then
// shared, without decoding the others.
class categories_lues {
public:
    QStringList lire(const requete& r, int i) {
        const std::string_view v = r.vue_texte(i);
        auto it = vues_.find(v);
        if (it == vues_.end())
            it = vues_.emplace(std::string(v), separer(QString::fromUtf8(v.data(), qsizetype(v.size()))))
                     .first;
        return it->second;
    }

private:
    struct hachage {
        using is_transparent = void;
        size_t operator()(std::string_view v) const { return std::hash<std::string_view>{}(v); }
    };
    std::unordered_map<std::string, QStringList, hachage, std::equal_to<>> vues_;
};

} // namespace

void parcourir_periode(base_programmes& b, date_heure debut, date_heure fin,
                       const std::function<void(const programme_semaine&)>& f) {
    // `liste` in one pass: the last start of each channel's rows (the week goes
    // on after it), and its rows on in the period, a second's margin for the
    // stored day fractions, the exact rule applied once read.
    QHash<int, qint64> derniers;
    std::vector<programme_semaine> de_liste;
    QHash<QPair<int, qint64>, size_t> places;
    {
        requete r(b.connexion(), "SELECT hdeb, hfin, chaine, programme, duree FROM liste ORDER BY rowid",
                  b.chemin());
        const double marge = 1.0 / 86400.0;
        const double avant = fin.en_jours() + marge;
        const double apres = debut.en_jours() - marge;
        while (r.pas()) {
            if (r.est_nul(0))
                continue;
            const double hdeb = r.reel(0);
            const int chaine = int(r.entier(2));
            const qint64 s = date_heure::depuis_jours(hdeb).secondes();
            auto d = derniers.find(chaine);
            if (d == derniers.end())
                derniers.insert(chaine, s);
            else if (s > *d)
                *d = s;
            // As SQL compared them: max() with a null end is null, never on.
            if (r.est_nul(1))
                continue;
            const double hfin = std::max(r.reel(1), hdeb);
            if (!(hdeb < avant && hfin > apres))
                continue;
            programme_semaine p;
            p.hdeb = date_heure::depuis_jours(hdeb);
            p.hfin = date_heure::depuis_jours(r.reel(1));
            if (!(p.hdeb < fin && std::max(p.hfin, p.hdeb) > debut))
                continue;
            p.titre = r.texte(3);
            p.chaine = chaine;
            if (!r.est_nul(4))
                p.duree = date_heure::depuis_jours(r.reel(4));
            places.insert({p.chaine, p.hdeb.secondes()}, de_liste.size());
            de_liste.push_back(std::move(p));
        }
    }
    QSet<int> avec_semaine;
    categories_lues categories;
    programme_semaine p;
    {
        // Every programme on in the period, however long ago it began (a sane
        // length is at most the week's), each channel's down its index.
        std::vector<fenetre_semaine> fenetres;
        for (const int c : chaines_de_la_base(b))
            fenetres.push_back({c, debut.secondes() - longueur_max_semaine - 1, fin.secondes()});
        int derniere = 0;
        auto d = derniers.constEnd();
        lire_semaine_bornee(b, "chaine, hdeb, hfin, duree, titre, categories, rediffusion, inedit", fenetres,
                            [&](int chaine, requete& r) {
                                const qint64 hdeb = r.entier(1);
                                if (r.entier(2) <= debut.secondes())
                                    return;
                                if (chaine != derniere || avec_semaine.isEmpty()) {
                                    avec_semaine.insert(chaine);
                                    d = derniers.constFind(chaine);
                                    derniere = chaine;
                                }
                                if (d != derniers.cend() && hdeb <= *d) {
                                    // `liste`'s row wins; the week holds the same programme's marks,
                                    // read here rather than by one lookup per row.
                                    if (const auto p = places.constFind({chaine, hdeb}); p != places.cend()) {
                                        details_programme& det = de_liste[*p].details;
                                        det.categories = categories.lire(r, 5);
                                        det.rediffusion = r.entier(6) != 0;
                                        det.inedit = r.entier(7) != 0;
                                    }
                                    return;
                                }
                                p.chaine = chaine;
                                p.hdeb = date_heure::depuis_secondes(hdeb);
                                p.hfin = date_heure::depuis_secondes(r.entier(2));
                                p.duree.reset();
                                if (!r.est_nul(3))
                                    p.duree = date_heure::depuis_secondes(r.entier(3));
                                p.titre = r.texte(4);
                                p.details.categories = categories.lire(r, 5);
                                p.details.rediffusion = r.entier(6) != 0;
                                p.details.inedit = r.entier(7) != 0;
                                f(p);
                            });
    }
    // A channel without a week (a file not updated since it came, a schedule
    // page): its details, if any, by lookup.
    std::vector<std::pair<int, date_heure>> cles;
    std::vector<size_t> sans_semaine;
    for (size_t i = 0; i < de_liste.size(); ++i)
        if (!avec_semaine.contains(de_liste[i].chaine)) {
            cles.emplace_back(de_liste[i].chaine, de_liste[i].hdeb);
            sans_semaine.push_back(i);
        }
    const auto details = lire_details_de(b, cles);
    for (size_t k = 0; k < sans_semaine.size(); ++k)
        if (const auto& d = details[k]) {
            details_programme& det = de_liste[sans_semaine[k]].details;
            det.categories = d->categories;
            det.rediffusion = d->rediffusion;
            det.inedit = d->inedit;
        }
    for (const programme_semaine& l : de_liste)
        f(l);
}

std::optional<date_heure> dernier_debut_chaines(base_programmes& b, std::span<const int> chaines) {
    std::optional<date_heure> res;
    if (!b.a_table("semaine"))
        return res;
    if (const std::optional<qint64> d = dernier_debut_sain(b, chaines))
        res = date_heure::depuis_secondes(*d);
    return res;
}

} // namespace zapo::donnees
