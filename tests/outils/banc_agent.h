#pragma once

// One agent over a fresh copy of the database, every outside piece replaced.

#include "coquille/application.h"
#include "donnees/base_programmes.h"
#include "modele/guide.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/horloge_fixe.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <memory>

namespace zapo::essais {

inline QByteArray lire(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

inline void ecrire(const QString& chemin, const QByteArray& contenu) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contenu);
}

inline QDateTime le(int jour, int h, int m) {
    return QDateTime(QDate(2026, 12, jour), QTime(h, m));
}

struct banc_agent {
    dossier_essai dossier;
    horloge_fixe horloge{le(7, 14, 0)};
    fausses_boites boites;
    fausse_connexion connexion;
    rythme_nul pas;
    contexte ctx;
    // Shared by the agents a test makes one after the other on this context.
    modele::guide guide{ctx};
    bool zone = true;
    int nb_maj = 0;
    int nb_inscrire = 0;
    int nb_retirer = 0;
    int nb_premiere = 0;
    std::function<void()> premiere = [] {};
    std::function<void()> sur_maj; // inside the (fake) run
    std::unique_ptr<coquille::fl_init> agent;

    explicit banc_agent(const QByteArray& options = "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n") {
        ctx.dossier_appli = dossier.chemin();
        ctx.horloge_ = &horloge;
        ctx.boites = &boites;
        ctx.connexion = &connexion;
        ctx.pas = &pas;
        ctx.guide = &guide;
        if (!options.isNull())
            ecrire(ctx.chemin_options(), options);
        coquille::branchements_agent b;
        b.zone_notification = [this] { return zone; };
        b.montrer_premiere = [this] {
            ++nb_premiere;
            premiere();
        };
        b.inscrire_demarrage = [this] { ++nb_inscrire; };
        b.retirer_demarrage = [this] { ++nb_retirer; };
        // A run tells the guide its start and end, as pilote_maj does; this one
        // leaves the status line as it found it.
        b.executer_maj = [this](maj::etat_maj&) {
            ++nb_maj;
            const modele::statut_maj avant = guide.statut();
            guide.commencer_maj();
            if (sur_maj)
                sur_maj();
            guide.definir_statut(avant);
            guide.finir_maj(true);
        };
        // A desktop without a notification area is told apart quickly here.
        b.attente_zone_ms = 300;
        agent = std::make_unique<coquille::fl_init>(ctx, b);
    }
    void stamper(QDateTime quand) {
        donnees::base_programmes(ctx.chemin_base()).ecrire_maj(date_heure::depuis_qdatetime(quand));
    }
};

} // namespace zapo::essais
