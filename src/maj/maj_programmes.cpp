#include "maj/maj_programmes.h"

#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "donnees/validateurs.h"
#include "maj/maj_logos.h"
#include "noyau/horloge.h"
#include "noyau/sante.h"
#include "noyau/xmltv.h"

#include <optional>

namespace zapo::maj {

namespace {


// One channel's result, in a transaction of its own: its new rows, details and
// week when the fetch brought some (`programmes` set), what they were read from,
// and its health either way. Nothing is written while the channel is being
// fetched, so the base is never locked during a network wait.
void ecrire_chaine(donnees::base_programmes& base, int num_chaine,
                   const std::vector<fiche_programme>* programmes,
                   const std::vector<fiche_programme>* semaine, const donnees::validateurs_chaine* source,
                   const donnees::sante_chaine& sante) {
    donnees::transaction t(base);
    if (programmes) {
        base.remplacer_programmes(num_chaine, *programmes);
        donnees::remplacer_details(base, num_chaine, *programmes);
    }
    if (semaine)
        donnees::remplacer_semaine(base, num_chaine, *semaine);
    if (source)
        donnees::ecrire_validateurs(base, *source);
    base.ecrire_sante(sante);
    t.valider();
}

// The validators a channel's request may carry: those of the copy its rows were
// read from at that very address. On a later day that copy serves only when its
// week held all the feed gave from then: a schedule page's hours are read
// against the day it was fetched, and a feed that went on must be read again
// for the days after.
const maj::recuperateur::validateurs*
validateurs_tenus(const std::map<int, donnees::validateurs_chaine>& tenus, const donnees::chaine& c,
                  date_heure maintenant, maj::recuperateur::validateurs& stock) {
    const auto it = tenus.find(c.num_chaine);
    if (it == tenus.end() || it->second.adresse != c.adresse)
        return nullptr;
    if (!(it->second.flux && it->second.entiere) && it->second.date.jour() != maintenant.jour())
        return nullptr;
    stock = {it->second.etag, it->second.modifie_le};
    return &stock;
}

} // namespace

pilote_maj::pilote_maj(contexte& ctx, suivi_maj& f, branchements b)
    : ctx_(ctx), guide_(modele::guide_de(ctx)), f_(f), b_(std::move(b)),
      etat_(b_.etat ? *b_.etat : etat_propre_) {
    if (!b_.fabrique_recup)
        b_.fabrique_recup = [this] { return std::make_unique<maj::recuperateur>(*ctx_.horloge_); };
}

void pilote_maj::pause(double secondes) {
    if (ctx_.pas)
        ctx_.pas->attendre(secondes);
}

fin_maj pilote_maj::maj_programmes() {
    // Here, not in the run's window: whoever runs one (the window, a test, a
    // benchmark), the windows hear of it the same way.
    guide_.commencer_maj();
    fin_maj fin = fin_maj::erreur;
    try {
        fin = derouler();
    } catch (...) {
        // A broken run may have renewed some channels already.
        guide_.finir_maj(true);
        throw;
    }
    // A failed connection wrote nothing.
    guide_.finir_maj(fin != fin_maj::echec_connexion);
    return fin;
}

fin_maj pilote_maj::derouler() {
    auto& g = etat_;
    g.arret_demande = false;

    f_.ecrire_progres1(0);
    f_.ecrire_progres2(0);
    f_.ecrire_cours(QStringLiteral("Vidage de la base."));
    pause();

    // Read without a transaction: other connections may write between the
    // channels (a reminder marked as told), and each channel's write is short.
    std::optional<donnees::base_programmes> base;
    base.emplace(ctx_.chemin_base());
    const std::vector<donnees::chaine> chaines = base->lire_chaines();
    const std::map<int, donnees::sante_chaine> sante_avant = base->lire_sante();
    const std::map<int, donnees::validateurs_chaine> tenus = donnees::lire_validateurs(*base);

    f_.ecrire_progres1(100);
    f_.ecrire_progres2(5);
    pause();
    f_.ecrire_progres1(0);

    if (chaines.empty()) {
        // Nothing to fetch: no line is asked for, and none is hung up at the end.
        deja_connecte_ = true;
    } else {
        guide_.definir_statut(modele::statut_maj::connexion);
        if (!etape_connexion()) {
            // The database is free before the main window reads it.
            base.reset();
            echec_connexion();
            return fin_maj::echec_connexion;
        }
    }

    pause();
    f_.ecrire_progres1(100);
    f_.ecrire_progres2(10);
    pause();

    const float n = float(chaines.size());
    std::unique_ptr<maj::recuperateur> recup;
    if (!chaines.empty()) {
        recup = b_.fabrique_recup();
        recup->definir_progression([this](int v) { f_.ecrire_progres1(float(v)); });
        const date_heure maintenant = ctx_.horloge_->maintenant_dh();
        for (const auto& c : chaines) {
            maj::recuperateur::validateurs v;
            recup->prevoir(c.adresse, c.nom, validateurs_tenus(tenus, c, maintenant, v));
        }
        f_.sur_interruption([r = recup.get()] { r->interrompre(); });
    }
    // Stopped ("Annuler", "Quitter", the program told to end): a line this run
    // dialled is hung up as at the end of a run.
    const auto arretee = [this] {
        raccrocher();
        return fin_maj::annulee;
    };
    // Cut before the fetcher goes, whichever way the run ends.
    const std::unique_ptr<suivi_maj, void (*)(suivi_maj*)> coupe(
        &f_, [](suivi_maj* s) { s->sur_interruption({}); });
    std::vector<donnees::sante_chaine> sante;
    QStringList alertes;
    std::vector<bool> alerte;
    bool une_reussie = false;
    std::vector<chaine_lue> lues;
    const date_heure debut_run = ctx_.horloge_->maintenant_dh();
    for (const auto& c : chaines) {
        if (g.arret_demande)
            return arretee();
        f_.ecrire_progres1(0);
        f_.ecrire_cours(QStringLiteral("Récupération ") + c.nom);
        pause();
        donnees::sante_chaine s;
        s.num_chaine = c.num_chaine;
        s.quand = debut_run;
        bool recue = recup->recup_programmes(c.adresse);
        // A fetch cut short by "Annuler" says nothing of the channel: it keeps what it had.
        if (g.arret_demande)
            return arretee();
        const std::vector<fiche_programme>* programmes = nullptr;
        const std::vector<fiche_programme>* semaine = nullptr;
        std::optional<donnees::validateurs_chaine> source;
        jour_xmltv repris;
        QString icone = recup->icone_lue();
        if (recue && recup->inchangee()) {
            // Unchanged since the rows were read: taken again from the week kept,
            // so that the window still moves with the day.
            const donnees::validateurs_chaine& v = tenus.at(c.num_chaine);
            std::vector<fiche_programme> gardee = donnees::lire_semaine_chaine(*base, c.num_chaine);
            if (v.flux) {
                const size_t avant = gardee.size();
                repris = reprendre_semaine(std::move(gardee), debut_run);
                if (repris.semaine.size() != avant)
                    semaine = &repris.semaine;
            } else {
                repris.programmes = std::move(gardee);
            }
            programmes = &repris.programmes;
            icone = v.icone;
            if (repris.programmes.empty()) {
                recue = false;
                s.raison = QStringLiteral("Le flux ne contient aucun programme pour aujourd'hui.");
            }
        } else if (recue) {
            programmes = &recup->programmes_lus();
            semaine = &recup->semaine_lue();
            const maj::recuperateur::validateurs& v = recup->validateurs_lus();
            source = donnees::validateurs_chaine{.num_chaine = c.num_chaine,
                                                 .adresse = c.adresse,
                                                 .etag = v.etag,
                                                 .modifie_le = v.modifie_le,
                                                 .flux = recup->flux_lu(),
                                                 .entiere = recup->semaine_entiere(),
                                                 .icone = icone,
                                                 .date = debut_run};
        } else {
            s.raison = recup->derniere_erreur();
        }
        if (recue) {
            une_reussie = true;
            s.succes = true;
            s.nb_programmes = int(programmes->size());
            lues.push_back({c.num_chaine, icone});
        }
        precedent_sante p;
        const auto it = sante_avant.find(c.num_chaine);
        if (it != sante_avant.end()) {
            p = {true, it->second.succes, it->second.nb_programmes};
            s.signalee = it->second.signalee;
        }
        const bool mauvais = en_alerte(p, s.succes, s.nb_programmes);
        if (mauvais)
            alertes << c.nom;
        else
            s.signalee = false; // named again if it goes wrong later
        if (!recue)
            programmes = semaine = nullptr;
        ecrire_chaine(*base, c.num_chaine, programmes, semaine, source ? &*source : nullptr, s);
        if (!recue) {
            f_.ecrire_cours(QStringLiteral("ECHEC ") + c.nom);
            pause();
        }
        alerte.push_back(mauvais);
        sante.push_back(std::move(s));
        if (g.arret_demande)
            return arretee();
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
    }

    f_.ecrire_progres2(100);
    const bool tout_echoue = !chaines.empty() && !une_reussie;
    {
        // The run's end in one short transaction: the channels named, and when
        // something was renewed, the rows of removed channels go and the base is stamped.
        donnees::transaction t(*base);
        if (a_signaler)
            for (size_t i = 0; i < sante.size(); ++i)
                if (alerte[i] && !sante[i].signalee) {
                    sante[i].signalee = true;
                    base->ecrire_sante(sante[i]);
                }
        if (!tout_echoue) {
            base->effacer_orphelins();
            donnees::effacer_details_orphelins(*base);
            donnees::effacer_semaine_orphelins(*base);
            donnees::effacer_validateurs_orphelins(*base);
            base->ecrire_maj(ctx_.horloge_->maintenant_dh());
        }
        t.valider();
    }
    base.reset();
    // Names on air and logos come after the programmes, never at their expense.
    if (recup)
        completer_chaines(
            ctx_.chemin_base(), *recup, lues, ctx_.horloge_->maintenant_dh(),
            [&g] { return g.arret_demande; },
            [this] { f_.ecrire_cours(QStringLiteral("Récupération des logos")); });
    if (a_signaler)
        signaler(alertes);
    g.maj_echouee = tout_echoue;
    if (tout_echoue) {
        // Nothing was renewed: the programmes stay as they were, and the user is
        // told at once (the main window follows the guide's status line).
        guide_.definir_statut(modele::statut_maj::echec);
        raccrocher();
        return fin_maj::echec_chaines;
    }
    guide_.definir_statut(modele::statut_maj::a_jour);
    raccrocher();
    return fin_maj::complete;
}

void pilote_maj::raccrocher() {
    // Hang up only a line this run brought up; no echo is sent when that cannot be the case.
    if (!deja_connecte_ && ctx_.options.opt_deconnexion && ctx_.connexion->est_connecte())
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
    auto& g = etat_;
    service_connexion& cx = *ctx_.connexion;
    if (cx.est_connecte()) {
        deja_connecte_ = true;
        return true;
    }
    deja_connecte_ = false;
    if (ctx_.options.opt_connexion) {
        cx.connecter();
    } else {
        const reponse r = b_.demander_connexion ? b_.demander_connexion() : reponse::aucune;
        if (r == reponse::non)
            g.maj_annulee = true;
        else if (r == reponse::oui)
            cx.connecter();
    }
    return cx.est_connecte();
}

void pilote_maj::echec_connexion() {
    auto& g = etat_;
    // The message must be seen: the main window comes when it is not there.
    if (ctx_.appli)
        ctx_.appli->charger_fenetre();
    g.maj_echouee = true;
    guide_.definir_statut(modele::statut_maj::echec_connexion);
    f_.ecrire_cours(guide_.texte_etat());
    f_.ecrire_progres1(100);
    f_.ecrire_progres2(100);
    pause(2);
}

} // namespace zapo::maj
