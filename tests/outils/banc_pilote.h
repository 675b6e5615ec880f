#pragma once
// What a windowless update run needs around it: a copy of the delivered base,
// a local HTTP server, a fixed clock, a connection that says what it is told,
// no pacing, and the context that hands them to the run.
#include "core/contexte.h"
#include "core/horloge.h"
#include "data/base_programmes.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/serveur_http.h"

#include <QDateTime>

#include <initializer_list>

namespace zapo::essais {

struct banc_pilote {
    dossier_essai d;
    serveur_http serveur;
    horloge_fixe h;
    fausse_connexion cx;
    rythme_nul pas;
    contexte ctx;

    explicit banc_pilote(const QDateTime& maintenant = QDateTime(QDate(2026, 6, 12), QTime(14, 0)))
        : h(maintenant) {
        ctx.dossier_appli = d.chemin();
        ctx.horloge_ = &h;
        ctx.connexion = &cx;
        ctx.pas = &pas;
    }
    bool pret() { return d.valide() && serveur.demarrer(); }

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
