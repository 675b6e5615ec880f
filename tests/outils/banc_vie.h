#pragma once

// The agent with its real update run against the test's own server, where the
// test can act from inside the run's pauses and from inside open boxes: the
// moments at which clicks and ticks arrive in nested event loops.

#include "outils/banc_maj.h"

#include "coquille/application.h"
#include "vues/fl_main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace zapo::essais {

// Pauses of the run that call the test back (pause n, from 1).
class rythme_espion final : public rythme {
public:
    int nb = 0;
    std::map<int, std::function<void()>> a_la_pause;
    std::function<void(int)> chaque;
    void attendre(double) override {
        ++nb;
        if (auto it = a_la_pause.find(nb); it != a_la_pause.end()) {
            auto f = std::move(it->second);
            a_la_pause.erase(it);
            f();
        }
        if (chaque)
            chaque(nb);
        // A loop of its own, as the real pause runs: what was left for later happens here.
        QEventLoop boucle;
        QTimer::singleShot(0, &boucle, &QEventLoop::quit);
        boucle.exec();
    }
};

// Boxes recorded; while one is "open" the test may act (its nested loop).
class boites_espionnes final : public boites_message {
public:
    struct boite {
        QString texte;
        icone_boite icone;
        boutons_boite boutons;
    };
    std::vector<boite> vues;
    int ouvertes = 0;
    int max_ouvertes = 0;
    std::function<void(const boite&)> pendant;
    std::function<reponse_boite(const boite&)> reponse;
    reponse_boite afficher(const QString&, const QString& texte, icone_boite icone,
                           boutons_boite boutons) override {
        const boite b{texte, icone, boutons};
        vues.push_back(b);
        ++ouvertes;
        max_ouvertes = std::max(max_ouvertes, ouvertes);
        if (pendant)
            pendant(b);
        --ouvertes;
        if (reponse)
            return reponse(b);
        return boutons == boutons_boite::oui_non ? reponse_boite::oui : reponse_boite::ok;
    }
};

// Counts the main windows shown, and those shown once the program was told to end.
class temoin_fenetres final : public QObject {
public:
    int montrees = 0;
    int montrees_apres_sortie = 0;
    bool sortie = false;
    temoin_fenetres() { qApp->installEventFilter(this); }
    ~temoin_fenetres() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && qobject_cast<vues::fl_main*>(o)) {
            ++montrees;
            if (sortie)
                ++montrees_apres_sortie;
        }
        return false;
    }
};

// Main windows still alive (loaded, or closed and not yet freed).
inline int fenetres_vivantes() {
    int n = 0;
    for (QWidget* w : QApplication::allWidgets())
        if (qobject_cast<vues::fl_main*>(w))
            ++n;
    return n;
}

inline int fenetres_visibles() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<vues::fl_main*>(w) && w->isVisible())
            ++n;
    return n;
}

// After QCoreApplication::exit without a running loop, every later loop would
// return at once: one short turn of the main loop clears that.
inline void rearmer_boucles() {
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// "majauto connexion deconnexion agent"
inline QByteArray options_ini(bool majauto, bool connexion, bool deconnexion, bool agent) {
    QByteArray r;
    for (bool v : {majauto, connexion, deconnexion, agent})
        r += v ? "#TRUE#\r\n" : "#FALSE#\r\n";
    return r;
}

struct banc_vie {
    banc_maj m;
    rythme_espion pas;
    boites_espionnes boites;
    bool zone = true;
    std::unique_ptr<coquille::fl_init> agent;
    QByteArray liste_avant, maj_avant;

    explicit banc_vie(const QByteArray& options, int delai_serveur_ms = 0, int attente_zone_ms = 300) {
        for (auto c : trois_chaines()) {
            m.ajouter(c);
            if (delai_serveur_ms > 0) {
                serveur_http::reponse r;
                r.type_contenu = "text/html; charset=utf-8";
                r.corps = page_programmes(c.programmes);
                r.delai_ms = delai_serveur_ms;
                m.serveur.definir(c.chemin, r);
            }
        }
        m.anciennes_donnees();
        liste_avant = vider_table(m.base(), "liste");
        maj_avant = vider_table(m.base(), "maj");
        m.ctx.pas = &pas;
        m.ctx.boites = &boites;
        ecrire(m.ctx.chemin_options(), options);
        coquille::branchements_agent b;
        b.zone_notification = [this] { return zone; };
        b.montrer_premiere = [] {};
        b.inscrire_demarrage = [] {};
        b.retirer_demarrage = [] {};
        b.attente_zone_ms = attente_zone_ms;
        agent = std::make_unique<coquille::fl_init>(m.ctx, b);
    }
    ~banc_vie() {
        agent.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void clic_icone() { Q_EMIT agent->icone().activated(QSystemTrayIcon::Trigger); }

    static void ecrire(const QString& chemin, const QByteArray& contenu) {
        QFile f(chemin);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(contenu);
    }
};

} // namespace zapo::essais
