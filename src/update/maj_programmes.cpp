#include "update/maj_programmes.h"

#include "core/horloge.h"
#include "core/sante.h"
#include "data/base_programmes.h"
#include "update/fl_connect.h"
#include "update/fl_maj.h"

#include <optional>
#include <span>

namespace zapo::maj {

namespace {

// Rolls the run's transaction back unless it was committed.
class transaction {
public:
    explicit transaction(donnees::base_programmes& b) : base_(b) { base_.commencer(); }
    ~transaction() {
        if (ouverte_)
            base_.annuler();
    }
    void valider() {
        base_.valider();
        ouverte_ = false;
    }
    void annuler() {
        if (ouverte_)
            base_.annuler();
        ouverte_ = false;
    }

private:
    donnees::base_programmes& base_;
    bool ouverte_ = true;
};

const QString texte_connexion = QStringLiteral("Connection à Internet");

} // namespace

pilote_maj::pilote_maj(contexte& ctx, fl_maj& f, branchements b) : ctx_(ctx), f_(f), b_(std::move(b)) {
    if (!b_.fabrique_recup)
        b_.fabrique_recup = [this] { return std::make_unique<recup::recuperateur>(*ctx_.horloge_); };
    if (!b_.demander_connexion)
        b_.demander_connexion = [this](QWidget* parent) { return demander_connexion(ctx_, parent); };
}

void pilote_maj::pause(double secondes) {
    if (ctx_.pas)
        ctx_.pas->attendre(secondes);
}

fin_maj pilote_maj::maj_programmes() {
    auto& g = ctx_.g;
    g.arret_demande = false;
    g.texte_etat = QStringLiteral("Mise à jour en cours...");

    f_.ecrire_progres1(0);
    f_.ecrire_progres2(0);
    f_.ecrire_cours(QStringLiteral("Vidage de la base."));
    pause();

    // From here to the commit, other connections keep seeing the old rows. Each
    // channel's rows go only when its new ones have come.
    std::optional<donnees::base_programmes> base;
    base.emplace(ctx_.chemin_base());
    std::optional<transaction> t;
    t.emplace(*base);

    f_.ecrire_progres1(100);
    f_.ecrire_progres2(5);
    pause();
    f_.ecrire_progres1(0);

    g.texte_etat = texte_connexion;
    if (!etape_connexion()) {
        // Nothing of the run is kept, and the database is free before the main window reads it.
        t.reset();
        base.reset();
        echec_connexion();
        return fin_maj::echec_connexion;
    }

    pause();
    f_.ecrire_progres1(100);
    f_.ecrire_progres2(10);
    pause();

    const std::vector<donnees::chaine> chaines = base->lire_chaines();
    const std::map<int, donnees::sante_chaine> sante_avant = base->lire_sante();
    const float n = float(chaines.size());
    std::unique_ptr<recup::recuperateur> recup;
    QMetaObject::Connection lien;
    if (!chaines.empty()) {
        recup = b_.fabrique_recup();
        recup->definir_progression([this](int v) { f_.ecrire_progres1(float(v)); });
        for (const auto& c : chaines)
            recup->prevoir(c.adresse, c.nom);
        lien = QObject::connect(&f_, &fl_maj::interruption, [r = recup.get()] { r->interrompre(); });
    }
    // Cut before the fetcher goes, whichever way the run ends.
    const std::unique_ptr<QMetaObject::Connection, void (*)(QMetaObject::Connection*)> coupe(
        &lien, [](QMetaObject::Connection* c) { QObject::disconnect(*c); });
    std::vector<donnees::sante_chaine> sante;
    QStringList alertes;
    std::vector<bool> alerte;
    bool une_reussie = false;
    const date_heure debut_run = ctx_.horloge_->maintenant_dh();
    for (const auto& c : chaines) {
        if (g.arret_demande)
            return fin_maj::annulee;
        f_.ecrire_progres1(0);
        f_.ecrire_cours(QStringLiteral("Récupération ") + c.nom);
        pause();
        donnees::sante_chaine s;
        s.num_chaine = c.num_chaine;
        s.quand = debut_run;
        if (recup->recup_programmes(c.num_chaine, c.adresse)) {
            const auto& lus = recup->programmes_lus();
            const size_t nb = std::min(size_t(recup->nb_programmes()), lus.size());
            base->remplacer_programmes(c.num_chaine, std::span(lus.data(), nb));
            une_reussie = true;
            s.succes = true;
            s.nb_programmes = int(nb);
        } else {
            s.raison = recup->derniere_erreur();
            f_.ecrire_cours(QStringLiteral("ECHEC ") + c.nom);
            pause();
        }
        sante::precedent p;
        const auto it = sante_avant.find(c.num_chaine);
        if (it != sante_avant.end()) {
            p = {true, it->second.succes, it->second.nb_programmes};
            s.signalee = it->second.signalee;
        }
        const bool mauvais = sante::en_alerte(p, s.succes, s.nb_programmes);
        if (mauvais)
            alertes << c.nom;
        else
            s.signalee = false; // named again if it goes wrong later
        alerte.push_back(mauvais);
        sante.push_back(std::move(s));
        if (g.arret_demande)
            return fin_maj::annulee;
        f_.ecrire_progres1(100);
        const float v = f_.valeur_progres2();
        const float suite = v + 90.0f / n;
        f_.ecrire_progres2(suite > 100.0f ? 100.0f : suite);
        pause();
    }

    // One notification per set of channels gone wrong, not one per run: it is
    // sent when one of them was not named yet, and names them all.
    bool a_signaler = false;
    if (b_.automatique && ctx_.notifications) {
        for (size_t i = 0; i < sante.size(); ++i)
            if (alerte[i] && !sante[i].signalee)
                a_signaler = true;
        if (a_signaler)
            for (size_t i = 0; i < sante.size(); ++i)
                if (alerte[i])
                    sante[i].signalee = true;
    }
    for (const auto& s : sante)
        base->ecrire_sante(s);

    f_.ecrire_progres2(100);
    const bool tout_echoue = !chaines.empty() && !une_reussie;
    if (!tout_echoue) {
        base->effacer_orphelins();
        base->ecrire_maj(ctx_.horloge_->maintenant_dh());
    }
    t->valider();
    t.reset();
    base.reset();
    if (a_signaler)
        signaler(alertes);
    g.maj_echouee = tout_echoue;
    if (tout_echoue) {
        // Nothing was renewed: the programmes stay as they were, and the user is told at once.
        g.texte_etat = QStringLiteral("La mise à jour a échoué.");
        if (b_.afficher_etat)
            b_.afficher_etat(g.texte_etat);
        raccrocher();
        return fin_maj::echec_chaines;
    }
    g.texte_etat = QStringLiteral("Programmes à jour.");
    raccrocher();
    return fin_maj::complete;
}

void pilote_maj::raccrocher() {
    auto& g = ctx_.g;
    // Hang up only a line this run brought up; no echo is sent when that cannot be the case.
    if (!g.deja_connecte && g.opt_deconnexion && ctx_.connexion->est_connecte())
        ctx_.connexion->deconnecter();
}

void pilote_maj::signaler(const QStringList& noms) {
    const QString corps =
        noms.size() == 1
            ? QStringLiteral("Les programmes de %1 n'ont pas pu être mis à jour.").arg(noms.front())
            : QStringLiteral("Les programmes de ces chaînes n'ont pas pu être mis à jour : %1.")
                  .arg(noms.join(QStringLiteral(", ")));
    try {
        ctx_.notifications->envoyer(QStringLiteral("Zapo-TV"), corps, QStringLiteral("zapo-tv"));
    } catch (...) {
        // A notification is a courtesy: the run's result stands without it.
    }
}

bool pilote_maj::etape_connexion() {
    auto& g = ctx_.g;
    service_connexion& cx = *ctx_.connexion;
    if (cx.est_connecte()) {
        g.deja_connecte = true;
        return true;
    }
    g.deja_connecte = false;
    if (g.opt_connexion) {
        cx.connecter();
    } else {
        g.reponse_connexion = b_.demander_connexion(&f_);
        if (g.reponse_connexion == 1)
            g.maj_annulee = true;
        else if (g.reponse_connexion == 2)
            cx.connecter();
    }
    return cx.est_connecte();
}

void pilote_maj::echec_connexion() {
    auto& g = ctx_.g;
    if (!g.fenetre_chargee && ctx_.charger_fenetre)
        ctx_.charger_fenetre();
    g.maj_echouee = true;
    g.texte_etat = QStringLiteral("Erreur de connection Internet");
    if (b_.afficher_etat)
        b_.afficher_etat(g.texte_etat);
    f_.ecrire_cours(g.texte_etat);
    f_.ecrire_progres1(100);
    f_.ecrire_progres2(100);
    pause(2);
}

fin_maj executer_maj(contexte& ctx, branchements b) {
    auto& g = ctx.g;
    fin_maj fin = fin_maj::erreur;
    QString erreur;
    {
        fl_maj f;
        f.setWindowModality(Qt::ApplicationModal);
        f.show();
        g.maj_en_cours = true;
        f.commencer_run(&g.arret_demande);
        try {
            if (b.a_l_ouverture)
                b.a_l_ouverture(f);
            pilote_maj p(ctx, f, std::move(b));
            fin = p.maj_programmes();
        } catch (const std::bad_alloc&) {
            erreur = QStringLiteral("Mémoire insuffisante.");
        } catch (const std::exception& e) {
            erreur = QString::fromUtf8(e.what());
        } catch (...) {
            erreur = QStringLiteral("Une erreur inattendue est survenue.");
        }
        f.finir_run();
        f.close();
        g.maj_en_cours = false;
    }
    if (fin == fin_maj::erreur) {
        // The status line must not go on saying that a run is going.
        g.maj_echouee = true;
        g.texte_etat = QStringLiteral("La mise à jour a échoué.");
        if (ctx.boites) {
            QString texte = QStringLiteral("La mise à jour des programmes s'est arrêtée.");
            if (!erreur.isEmpty())
                texte += QLatin1Char('\r') + erreur;
            texte += QStringLiteral("\rLes programmes déjà enregistrés sont conservés.");
            try {
                ctx.boites->afficher(QStringLiteral("Zapo-TV"), texte, icone_boite::critique);
            } catch (...) {
            }
        }
    }
    return fin;
}

} // namespace zapo::maj
