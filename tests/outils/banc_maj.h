#pragma once

// An update run through its window: a copy of the delivered database with
// channels pointing at a local HTTP server, fake services, and recorders for
// what the progress window and the main window's status line show. The run's
// rules alone are tested without a window (banc_pilote.h).

#include "donnees/base_programmes.h"
#include "maj/recup.h"
#include "modele/guide.h"
#include "noyau/contexte.h"
#include "outils/horloge_fixe.h"
#include "suivi/executer_maj.h"
#include "suivi/fl_maj.h"

#include "outils/base_essai.h"
#include "outils/chaines_essai.h"
#include "outils/compression.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/serveur_http.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace zapo::essais {

// What an update run leaves, channel by channel.
struct etat_maj_chaines {
    std::map<int, QByteArray> chaines; // each channel's rows of `liste`
    QByteArray liste;                  // the whole table
    QByteArray maj;
    bool operator==(const etat_maj_chaines&) const = default;
};

inline etat_maj_chaines lire_etat_chaines(const QString& base, const std::vector<int>& nums) {
    etat_maj_chaines e;
    for (int n : nums)
        e.chaines[n] = vider_table(base, "liste", "chaine = " + QByteArray::number(n));
    e.liste = vider_table(base, "liste");
    e.maj = vider_table(base, "maj");
    return e;
}

// What a run stopped at any moment (killed, cancelled) may leave: each channel
// all its old rows or all its new ones, the old stamp unless every channel is
// renewed and the whole run done. Empty when it holds, else what is wrong.
inline QString ecart_par_chaine(const etat_maj_chaines& ancien, const etat_maj_chaines& nouveau,
                                const etat_maj_chaines& vu) {
    for (const auto& [num, lignes] : vu.chaines)
        if (lignes != ancien.chaines.at(num) && lignes != nouveau.chaines.at(num))
            return QStringLiteral("la chaîne %1 n'a ni toutes ses anciennes lignes ni toutes ses nouvelles")
                .arg(num);
    if (vu.maj == ancien.maj)
        return {};
    if (vu.maj != nouveau.maj && vu.maj.count('\n') != 1)
        return QStringLiteral("la table maj n'a pas une seule ligne");
    if (vu.liste != nouveau.liste)
        return QStringLiteral("la base est datée mais toutes les chaînes ne sont pas renouvelées");
    return {};
}

class banc_maj {
public:
    // dossier: an existing folder holding programmes.mdb, or empty for a fresh copy.
    explicit banc_maj(const QString& dossier = {}) {
        serveur.demarrer();
        ctx.dossier_appli = dossier.isEmpty() ? copie_.chemin() : dossier;
        ctx.horloge_ = &horloge;
        ctx.boites = &boites;
        ctx.connexion = &connexion;
        ctx.pas = &pas_nul;
        ctx.appli = &appli;
        ctx.guide = &guide;
        // The status line as the main window follows it: each new sentence.
        QObject::connect(&guide, &modele::guide::etat_maj_change, &guide, [this] {
            if (etats_principal.isEmpty() || etats_principal.constLast() != guide.texte_etat())
                etats_principal << guide.texte_etat();
        });
        appli.charger = [this] {
            if (fenetre_chargee)
                return;
            ++nb_chargements;
            fenetre_chargee = true;
        };
        executer_sql(base(), "DELETE FROM chaines");
    }

    QString base() const { return ctx.chemin_base(); }

    void ajouter(const chaine_essai& c, bool avec_page = true) {
        donnees::base_programmes b(base());
        b.ajouter_chaine({c.num, c.nom, serveur.url(c.chemin), 1});
        if (avec_page)
            serveur.definir_page(c.chemin, page_programmes(c.programmes));
    }

    void anciennes_donnees() { ecrire_anciennes_donnees(base()); }

    maj::fin_maj lancer() {
        maj::branchements b;
        b.etat = &etat;
        b.fabrique_recup = [this] {
            auto r = std::make_unique<maj::recuperateur>(horloge);
            r->definir_delai(delai_ms);
            return r;
        };
        b.demander_connexion = [this] {
            ++nb_invites;
            return maj::reponse(invite ? invite() : reponse_invite);
        };
        const auto a_l_ouverture = [this](suivi::fl_maj& f) {
            fenetre = &f;
            visible_pendant_run = f.isVisible();
            QObject::connect(&f, &suivi::fl_maj::progres_ecrit, [this](int barre, float v) {
                (barre == 1 ? progres1 : progres2).push_back(v);
                if (barre == 2 && sur_progres2)
                    sur_progres2(v);
            });
            QObject::connect(&f, &suivi::fl_maj::cours_ecrit, [this, &f](const QString& t) {
                cours << t;
                etats_pendant << guide.texte_etat();
                if (sur_cours)
                    sur_cours(f, t);
            });
        };
        const maj::fin_maj fin = suivi::executer_maj(ctx, std::move(b), a_l_ouverture);
        fenetre = nullptr;
        return fin;
    }

    // The program's run state, as the application would hand it to each run.
    maj::etat_maj etat;
    dossier_essai copie_;
    serveur_http serveur;
    horloge_fixe horloge{QDateTime(QDate(2026, 6, 12), QTime(14, 0))};
    fausses_boites boites;
    fausse_connexion connexion;
    rythme_nul pas_nul;
    fausse_appli appli;
    contexte ctx;
    modele::guide guide{ctx};
    int delai_ms = 10000;

    int reponse_invite = 0;
    std::function<int()> invite;
    std::function<void(suivi::fl_maj&, const QString&)> sur_cours;
    std::function<void(float)> sur_progres2;

    suivi::fl_maj* fenetre = nullptr;
    bool visible_pendant_run = false;
    int nb_invites = 0;
    int nb_chargements = 0;
    bool fenetre_chargee = false; // as the application's main window would be
    std::vector<float> progres1, progres2;
    // etats_principal: the status line's sentences in turn, as the guide announces them.
    QStringList cours, etats_pendant, etats_principal;
};

} // namespace zapo::essais
