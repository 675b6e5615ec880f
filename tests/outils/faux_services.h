#pragma once

#include "noyau/services.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace zapo::essais {

// Records every message box and answers from a queue (OK when it runs dry).
class fausses_boites final : public boites_message {
public:
    struct boite {
        QString titre;
        QString texte;
        icone_boite icone;
        boutons_boite boutons;
    };
    reponse_boite afficher(const QString& titre, const QString& texte, icone_boite icone,
                           boutons_boite boutons) override {
        vues.push_back({titre, texte, icone, boutons});
        if (reponses.empty())
            return boutons == boutons_boite::oui_non ? reponse_boite::oui : reponse_boite::ok;
        const auto r = reponses.front();
        reponses.pop_front();
        return r;
    }
    std::vector<boite> vues;
    std::deque<reponse_boite> reponses;
};

// A connection whose answers the test sets; counts the calls.
class fausse_connexion final : public service_connexion {
public:
    bool en_ligne = true;
    bool numerotation_reussit = true;
    int nb_tests = 0;
    int nb_connexions = 0;
    int nb_deconnexions = 0;
    bool est_connecte() override {
        ++nb_tests;
        return en_ligne;
    }
    void connecter() override {
        ++nb_connexions;
        if (numerotation_reussit)
            en_ligne = true;
    }
    void deconnecter() override { ++nb_deconnexions; }
};

// The application around the windows: each request calls its function when set.
class fausse_appli final : public application_zapo {
public:
    std::function<void()> lancer, charger, enregistrer;
    void lancer_maj() override { appeler(lancer); }
    void charger_fenetre() override { appeler(charger); }
    void enregistrer_options() override { appeler(enregistrer); }

private:
    static void appeler(const std::function<void()>& f) {
        if (f)
            f();
    }
};

// No pacing at all.
class rythme_nul final : public rythme {
public:
    void attendre(double secondes) override {
        total += secondes;
        ++nb;
    }
    double total = 0;
    int nb = 0;
};

} // namespace zapo::essais
