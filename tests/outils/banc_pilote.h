#pragma once
// What a windowless update run needs around it: a copy of the delivered base,
// a local HTTP server, a fixed clock, a connection that says what it is told,
// no pacing, the guide the run tells of its start and end, and the context
// that hands them to the run.
#include "donnees/base_programmes.h"
#include "maj/maj_programmes.h"
#include "maj/recup.h"
#include "modele/guide.h"
#include "noyau/contexte.h"
#include "outils/base_essai.h"
#include "outils/chaines_essai.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/horloge_fixe.h"
#include "outils/serveur_http.h"

#include <QDateTime>
#include <QStringList>

#include <initializer_list>

namespace zapo::essais {

// A run's texts kept, its bars ignored.
class suivi_muet final : public maj::suivi_maj {
public:
    void ecrire_progres1(float) override {}
    void ecrire_progres2(float v) override { v2 = v; }
    float valeur_progres2() const override { return v2; }
    void ecrire_cours(const QString& t) override { cours << t; }
    void sur_interruption(std::function<void()>) override {}
    float v2 = 0;
    QStringList cours;
};

// One windowless run with a short transfer time-out; `cours` gets its texts.
inline maj::fin_maj lancer_pilote(contexte& ctx, const horloge& h, QStringList* cours = nullptr,
                                  int delai_ms = 10000, maj::etat_maj* etat = nullptr) {
    maj::branchements br;
    br.etat = etat;
    br.fabrique_recup = [&h, delai_ms] {
        auto r = std::make_unique<maj::recuperateur>(h);
        r->definir_delai(delai_ms);
        return r;
    };
    suivi_muet s;
    const maj::fin_maj fin = maj::pilote_maj(ctx, s, std::move(br)).maj_programmes();
    if (cours)
        *cours = s.cours;
    return fin;
}

struct banc_pilote {
    dossier_essai d;
    serveur_http serveur;
    horloge_fixe h;
    fausse_connexion cx;
    rythme_nul pas;
    fausses_boites boites;
    // The program's run state, as the application hands it to each run.
    maj::etat_maj etat;
    contexte ctx;
    // What the windows would read and listen to; no shell around it.
    modele::guide guide{ctx};

    explicit banc_pilote(const QDateTime& maintenant = QDateTime(QDate(2026, 6, 12), QTime(14, 0)))
        : h(maintenant) {
        ctx.guide = &guide;
        ctx.dossier_appli = d.chemin();
        ctx.horloge_ = &h;
        ctx.connexion = &cx;
        ctx.pas = &pas;
        ctx.boites = &boites;
    }
    bool pret() { return d.valide() && serveur.demarrer(); }
    maj::fin_maj lancer(QStringList* cours = nullptr, int delai_ms = 10000) {
        return lancer_pilote(ctx, h, cours, delai_ms, &etat);
    }
    QString base() const { return d.base(); }
    // A channel on the local server, with its schedule page unless told otherwise.
    void ajouter(const chaine_essai& c, bool avec_page = true) {
        donnees::base_programmes(d.base()).ajouter_chaine({c.num, c.nom, serveur.url(c.chemin), 1});
        if (avec_page)
            serveur.definir_page(c.chemin, page_programmes(c.programmes));
    }

    struct chaine {
        int num;
        QString nom;
        QString chemin; // on the local server, fragment included
        int image = 1;
    };
    // The delivered channels give way to these.
    void remplacer_chaines(std::initializer_list<chaine> chaines) {
        executer_sql(d.base(), "DELETE FROM chaines");
        donnees::base_programmes b(d.base());
        for (const chaine& c : chaines)
            b.ajouter_chaine({c.num, c.nom, serveur.url(c.chemin), c.image});
    }
};

} // namespace zapo::essais
