#include "coquille/application.h"

#include "composants/annonce.h"
#include "composants/dessins.h"
#include "composants/fenetre_unique.h"
#include "composants/icone_theme.h"
#include "composants/placement.h"
#include "coquille/commandes.h"
#include "coquille/fl_premiere.h"
#include "coquille/journal_coquille.h"
#include "coquille/memoire.h"
#include "donnees/base_rappels.h"
#include "donnees/fichier_options.h"
#include "liaison/garde.h"
#include "plateforme/dossier.h"
#include "plateforme/notifications.h"
#include "plateforme/registre.h"
#include "suivi/executer_maj.h"
#include "vues/rappels_vues.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <limits>
#include <memory>
#include <optional>
#include <utility>

namespace zapo::coquille {

namespace {

// The autostart entry shows the launcher's icon. Installed, the theme has it;
// from a build tree we lay our own drawing down where desktops look for icons.
void inscrire_avec_icone() {
    const QString icone = plateforme::nom_icone(QCoreApplication::applicationDirPath());
    if (icone != QLatin1String("zapo-tv")) {
        plateforme::inscrire_demarrage(icone);
        return;
    }
    QString donnees = qEnvironmentVariable("XDG_DATA_HOME");
    if (donnees.isEmpty())
        donnees = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dossier = donnees + QStringLiteral("/icons/hicolor/48x48/apps");
    QDir().mkpath(dossier);
    const QString png = dossier + QStringLiteral("/zapo-tv.png");
    if (!composants::icone_programme().pixmap(QSize(48, 48), 1.0).save(png, "PNG"))
        qCWarning(zapo_coquille, "Icône « %s » non écrite.", qUtf8Printable(png));
    plateforme::inscrire_demarrage(QStringLiteral("zapo-tv"));
}

} // namespace

template <class F> void fl_init::evenement(F&& f) {
    liaison::compteur_occupation::jeton j(occupation_);
    liaison::garde(ctx_, std::forward<F>(f));
}

fl_init::fl_init(contexte& ctx, branchements_agent b)
    : ctx_(ctx), b_(std::move(b)),
      maj_(ctx, occupation_,
           {.executer = [this](maj::etat_maj& etat, bool automatique) { executer_maj(etat, automatique); },
            .quitter = [this] { quitter_appli(); },
            .en_sortie = [this] { return en_sortie_; }}) {
    setObjectName(QStringLiteral("fl_init"));
    if (!b_.zone_notification)
        b_.zone_notification = [this] {
            if (zone_sni_presente())
                return true;
            // Qt's answer only once it has been allowed to choose (see montrer_icone).
            return icone_.visible() && QSystemTrayIcon::isSystemTrayAvailable();
        };
    if (!b_.inscrire_demarrage)
        b_.inscrire_demarrage = inscrire_avec_icone;
    if (!b_.retirer_demarrage)
        b_.retirer_demarrage = [] { plateforme::retirer_demarrage(); };
    if (!b_.montrer_premiere)
        b_.montrer_premiere = [this] {
            fl_premiere d(ctx_, b_.inscrire_demarrage, b_.retirer_demarrage);
            d.exec();
        };

    attente_zone_.setInterval(250);
    connect(&attente_zone_, &QTimer::timeout, this, [this] { evenement([this] { surveiller_zone(); }); });
    connect(&icone_, &icone_agent::mise_a_jour_demandee, this,
            [this] { evenement([this] { lancer_maj(); }); });
    connect(&icone_, &icone_agent::quitter_demande, this, [this] { evenement([this] { quitter_appli(); }); });
    connect(&icone_, &icone_agent::activee, this,
            [this](QSystemTrayIcon::ActivationReason r) { evenement([&] { icone_activee(r); }); });
    connect(&icone_, &icone_agent::message_clique, this, [this] {
        if (const auto c = cible_message_)
            evenement([&] { montrer_rappel(c->first, c->second); });
    });

    // Other windows' handlers come in through appli_: counted as ours.
    ctx_.appli = &appli_;

    if (!ctx_.guide) {
        guide_propre_ = std::make_unique<modele::guide>(ctx_);
        ctx_.guide = guide_propre_.get();
    }
    rappels_ = std::make_unique<modele::service_rappels>(ctx_, *ctx_.guide,
                                                         b_.avertisseur ? *b_.avertisseur : avertisseur_);
    // The first reminder the user sets may bring the offer of the agent.
    connect(ctx_.guide, &modele::guide::rappel_ajoute, this, [this] {
        if (!en_sortie_)
            evenement([this] { proposer_agent(); });
    });
    connect(&rappels_->minuteur, &QTimer::timeout, this, [this] {
        if (!en_sortie_)
            evenement([this] { rappels_->verifier(); });
    });
    // Back from sleep: what fell due meanwhile comes now, not at the timer's next look.
    reveil_.apres_veille = [this] {
        if (!en_sortie_)
            evenement([this] { rappels_->verifier(); });
    };
    notifications_rappels_.voir = [this](int cle) {
        const auto it = cibles_voir_.find(cle);
        if (it != cibles_voir_.end())
            evenement([&, cible = it->second] { montrer_rappel(cible.first, cible.second); });
    };
}

void fl_init::rearmer_rappels() {
    if (en_sortie_)
        return;
    // A base that cannot be read now is reported by whatever reads it next;
    // the reminders wait for the next change or run.
    try {
        rappels_->rearmer();
    } catch (const std::exception& e) {
        qCWarning(zapo_coquille, "Rappels non programmés : %s", e.what());
    }
}

void fl_init::activer() {
    evenement([this] {
        // A second start: the main window comes forward, loaded again when closed.
        charger_fenetre();
        if (!fl_main_ || fl_main_->est_dechargee())
            return;
        // Back from the task bar as it was left there, maximised or not.
        if (fl_main_->isMinimized())
            fl_main_->setWindowState(fl_main_->windowState() & ~Qt::WindowMinimized);
        composants::montrer_devant(fl_main_);
    });
}

void fl_init::executer_maj(maj::etat_maj& etat, bool automatique) {
    if (b_.executer_maj) {
        b_.executer_maj(etat);
        return;
    }
    maj::branchements b;
    b.etat = &etat;
    b.automatique = automatique;
    suivi::executer_maj(ctx_, std::move(b));
}

void fl_init::dans_fenetre(const std::function<void(vues::fl_main&)>& quoi) {
    charger_fenetre();
    if (!fl_main_ || fl_main_->est_dechargee())
        return;
    // Whatever `quoi` opens, the window outlives it.
    vues::fl_main& f = *fl_main_;
    liaison::compteur_occupation::jeton j(f.occupation());
    quoi(f);
}

void fl_init::montrer_dans_fenetre(const std::function<void(vues::fl_main&)>& quoi) {
    evenement([&] { dans_fenetre(quoi); });
}

void fl_init::montrer_chaine(int num_chaine) {
    dans_fenetre([&](vues::fl_main& f) { f.montrer_chaine(num_chaine); });
}

void fl_init::montrer_rappel(int num_chaine, date_heure debut) {
    dans_fenetre([&](vues::fl_main& f) { f.montrer_programme(num_chaine, debut.secondes()); });
}

int fl_init::garder_cible(int chaine, date_heure debut) {
    // As many as the notifications kept open: the oldest go first.
    constexpr std::size_t nb_max = 64;
    if (cibles_voir_.size() >= nb_max)
        cibles_voir_.erase(cibles_voir_.begin());
    derniere_cle_ = derniere_cle_ == std::numeric_limits<int>::max() ? 1 : derniere_cle_ + 1;
    cibles_voir_[derniere_cle_] = {chaine, debut};
    return derniere_cle_;
}

void fl_init::proposer_agent() {
    // Without a notification area the agent could not run: asked once there is one.
    if (ctx_.options.opt_agent || agent_propose_ || !b_.zone_notification())
        return;
    agent_propose_ = true;
    {
        modele::guide& g = modele::guide_de(ctx_);
        if (g.agent_propose())
            return;
        g.noter_agent_propose();
    }
    const auto r = ctx_.boites->afficher(
        QStringLiteral("Zapo-TV"),
        QStringLiteral("Les rappels ne sont donnés que pendant que Zapo-TV est ouvert.\r"
                       "Voulez-vous activer l'agent ? Zapo-TV restera alors dans la zone de notification "
                       "quand vous fermerez sa fenêtre, et s'ouvrira avec votre session."),
        icone_boite::question, boutons_boite::oui_non);
    if (r == reponse_boite::oui && !ctx_.options.opt_agent)
        cagent_Click();
}

namespace {

// The theme's icon when installed; from a build tree, the program's own picture
// laid once in the user's cache, given to the server as a file address.
QString icone_notification() {
    const QString nom = plateforme::nom_icone(QCoreApplication::applicationDirPath());
    if (nom != QLatin1String("zapo-tv"))
        return nom;
    const QString dossier = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString png = dossier + QStringLiteral("/zapo-tv.png");
    if (!QFileInfo::exists(png) &&
        !(QDir().mkpath(dossier) &&
          composants::icone_programme().pixmap(QSize(48, 48), 1.0).save(png, "PNG")))
        return nom;
    return QUrl::fromLocalFile(png).toString();
}

} // namespace

void fl_init::avertisseur_bureau::avertir(std::span<const rappel_a_dire> rappels) {
    QPointer<fl_init> f(&f_);
    // Without a notification server, all of them in the tray's one message, else in one box.
    auto repli = std::make_shared<bool>(false);
    auto sans_serveur = [f, repli, tous = resumer_rappels(rappels)] {
        if (*repli || !f || f->en_sortie_)
            return;
        *repli = true;
        if (f->icone_.messages_possibles() && f->b_.zone_notification()) {
            f->cible_message_ = std::make_pair(tous.chaine, tous.debut);
            f->icone_.afficher_message(tous.titre, tous.lignes.join(QLatin1Char('\n')));
            return;
        }
        f->evenement([&] {
            f->ctx_.boites->afficher(QStringLiteral("Zapo-TV"), texte_boite_rappels(tous),
                                     icone_boite::information);
        });
    };
    const QString icone = icone_notification();
    for (const auto& a : avertissements_rappels(rappels))
        f_.notifications_rappels_.envoyer(a.titre, a.lignes.join(QLatin1Char('\n')), icone,
                                          f_.garder_cible(a.chaine, a.debut), sans_serveur);
}

void fl_init::reponses_appli::lancer_maj() {
    liaison::compteur_occupation::jeton j(f_.occupation_);
    f_.lancer_maj();
}

void fl_init::reponses_appli::charger_fenetre() {
    f_.charger_fenetre();
}

void fl_init::reponses_appli::enregistrer_options() {
    f_.enregistrer_options();
}

fl_init::~fl_init() {
    if (ctx_.appli == &appli_)
        ctx_.appli = nullptr;
    // The windows shown one at a time hold the context: they go first.
    composants::fermer_fenetres_uniques();
    fenetre_preparee_.reset();
    if (fl_main_) {
        fl_main_->disconnect(this);
        delete fl_main_.data();
    }
    for (auto& f : dechargees_)
        delete f.data();
    if (ctx_.guide == guide_propre_.get())
        ctx_.guide = nullptr;
}

void fl_init::Form_Load() {
    liaison::compteur_occupation::jeton j(occupation_);
    initialiser();
    // The icon's timer runs from now on.
    maj_.demarrer();
    // Reminders missed while the program was not running come first.
    rearmer_rappels();
    if (!ctx_.options.opt_agent) {
        // The window is shown whatever the area: it comes first, and the area is
        // looked for (calls on the bus, the icon's registration) once it is painted,
        // or at the wait's first tick if it never is.
        charger_fenetre();
        attente_zone_restante_ms_ = b_.attente_zone_ms;
        attente_zone_.start();
        if (fl_main_)
            connect(
                fl_main_, &vues::fl_main::premiere_peinture, this,
                [this] { evenement([this] { chercher_zone_apres_peinture(); }); }, Qt::SingleShotConnection);
        return;
    }
    if (b_.zone_notification()) {
        montrer_icone();
        if (!agent_actif())
            charger_fenetre();
        return;
    }
    // No notification area yet: at login the panel often comes after us. The
    // agent alone waits for it; the window does not.
    if (!ctx_.options.opt_agent)
        charger_fenetre();
    attente_zone_restante_ms_ = b_.attente_zone_ms;
    attente_zone_.start();
}

void fl_init::preparer_fenetre() {
    // The first run asks its questions before anything; the agent may show none.
    const auto options = donnees::lire_fichier_options(ctx_.chemin_options());
    if (!options || options->opt_agent || fl_main_ || fenetre_preparee_)
        return;
    fenetre_preparee_ = std::make_unique<vues::fl_main>(ctx_);
}

void fl_init::montrer_icone() {
    if (en_sortie_)
        return;
    prendre_icone_theme();
    icone_.montrer();
}

void fl_init::prendre_icone_theme() {
    if (!composants::consulter_theme_icone())
        return;
    QApplication::setWindowIcon(composants::icone_programme());
    if (fl_main_)
        fl_main_->setWindowIcon(composants::icone_programme());
    icone_.changer_image(composants::icone_programme());
}

void fl_init::chercher_zone_apres_peinture() {
    prendre_icone_theme();
    liberer_memoire_inutilisee();
    if (en_sortie_ || !attente_zone_.isActive() || !b_.zone_notification())
        return;
    attente_zone_.stop();
    montrer_icone();
}

void fl_init::surveiller_zone() {
    attente_zone_restante_ms_ -= attente_zone_.interval();
    const bool presente = b_.zone_notification();
    if (!presente && attente_zone_restante_ms_ > 0)
        return;
    attente_zone_.stop();
    if (!presente)
        qCWarning(zapo_coquille, "Pas de zone de notification : l'icône de Zapo-TV ne sera pas visible et "
                                 "l'agent ne peut pas tourner sans fenêtre.");
    // Found, or time is up: the icon goes up either way, for whatever the
    // desktop offers besides (an older kind of tray).
    montrer_icone();
    if (!agent_actif())
        charger_fenetre();
}

void fl_init::initialiser() {
    lire_options();
}

void fl_init::lire_options() {
    if (const auto v = donnees::lire_fichier_options(ctx_.chemin_options())) {
        ctx_.options = *v;
        return;
    }
    // First run: the questions set all four options, then the file is written.
    b_.montrer_premiere();
    enregistrer_options();
}

void fl_init::enregistrer_options() {
    QString erreur;
    if (!donnees::ecrire_fichier_options(ctx_.chemin_options(), ctx_.options, &erreur)) {
        // The options stay in memory for this run; the old file is untouched.
        ctx_.boites->afficher(QStringLiteral("Zapo-TV"),
                              QStringLiteral("Les options n'ont pas pu être enregistrées dans « %1 » : %2.\r"
                                             "Elles restent valables jusqu'à la fermeture de Zapo-TV.")
                                  .arg(QDir::toNativeSeparators(ctx_.chemin_options()), erreur),
                              icone_boite::exclamation);
    }
    charger_fenetre();
    cocher_options();
}

void fl_init::cocher_options() {
    if (!fl_main_)
        return;
    fl_main_->cocher_options();
}

bool fl_init::agent_actif() const {
    return ctx_.options.opt_agent && b_.zone_notification();
}

void fl_init::charger_fenetre() {
    // Once "Quitter" is decided (even while a run lets go), no window comes back.
    if (fl_main_ || en_sortie_ || maj_.sortie_differee())
        return;
    liaison::compteur_occupation::jeton j(occupation_);
    auto* f = fenetre_preparee_ ? fenetre_preparee_.release() : new vues::fl_main(ctx_);
    fl_main_ = f;
    brancher_fenetre(f);
    // Form_Load: the window is loaded, then refreshed (which shows it).
    fenetre_chargee_ = true;
    if (auto* b = dynamic_cast<boites_qt*>(ctx_.boites))
        b->definir_parent(f);
    f->demarrer_minute();
    liaison::compteur_occupation::jeton jf(f->occupation());
    liaison::garde(ctx_, [&] { f->rafraichir_fenetre(true); });
    // f cannot be freed before `jf` ends; it may have been unloaded meanwhile.
    if (fl_main_ == f && !f->est_dechargee() && !f->isVisible())
        f->show();
}

void fl_init::brancher_fenetre(vues::fl_main* f) {
    // The window counts its own handlers; ours count them too (see tic).
    f->occupation().rattacher(&occupation_);
    connect(f, &vues::fl_main::dechargee, this, [this, f] {
        // Freed by itself once its handlers have returned; here at the latest.
        if (f->occupation().occupe())
            dechargees_.emplace_back(f);
        evenement([this] { Form_Unload_main(); });
    });
    // Every command runs inside the error boundary, and only while this window is the loaded one.
    connect(f, &vues::fl_main::commande_choisie, this, [this, f](vues::fl_main::commande c) {
        if (fl_main_ != f)
            return;
        // Counted on the window, hence ours too: it outlives the command.
        liaison::compteur_occupation::jeton j(f->occupation());
        liaison::garde(ctx_, [&] { executer_commande(*this, ctx_, *f, c); });
    });
    f->ajouter_menus_rappels();
}

// The close rule, on every unload of the main window whatever caused it.
void fl_init::Form_Unload_main() {
    fenetre_chargee_ = false;
    if (auto* b = dynamic_cast<boites_qt*>(ctx_.boites))
        b->definir_parent(nullptr);
    fl_main_ = nullptr;
    if (!agent_actif())
        quitter_appli();
}

void fl_init::fermer_fenetre() {
    if (fl_main_)
        fl_main_->close();
}

void fl_init::quitter_appli() {
    // Nested calls from the unload events have no further effect.
    if (en_sortie_)
        return;
    // A run is going: it stops at its next step, drops what it fetched, and the
    // program ends when lancer_maj gets control back.
    if (maj_.differer_sortie())
        return;
    en_sortie_ = true;
    if (fl_main_)
        fl_main_->close();
    icone_.cacher();
    attente_zone_.stop();
    maj_.arreter();
    rappels_->arreter();
    termine_ = true;
    Q_EMIT fin_programme();
    QCoreApplication::exit(0);
}

void fl_init::icone_activee(QSystemTrayIcon::ActivationReason raison) {
    // A left click toggles the main window; it never just raises it.
    if (raison != QSystemTrayIcon::Trigger)
        return;
    if (fenetre_chargee_ && fl_main_)
        fl_main_->close();
    else
        charger_fenetre();
    QCoreApplication::processEvents();
}

void fl_init::cmajauto_Click() {
    ctx_.options.opt_majauto = !ctx_.options.opt_majauto;
    enregistrer_options();
}

void fl_init::cconnectauto_Click() {
    ctx_.options.opt_connexion = !ctx_.options.opt_connexion;
    enregistrer_options();
}

void fl_init::cdecauto_Click() {
    ctx_.options.opt_deconnexion = !ctx_.options.opt_deconnexion;
    enregistrer_options();
}

void fl_init::cagent_Click() {
    auto& g = ctx_.options;
    if (g.opt_agent) {
        g.opt_agent = false;
        b_.retirer_demarrage();
    } else {
        b_.inscrire_demarrage();
        g.opt_agent = true;
    }
    enregistrer_options();
}

void fl_init::aquitter_Click() {
    if (agent_actif()) {
        const auto r = ctx_.boites->afficher(
            QStringLiteral("Zapo-TV"),
            QStringLiteral(
                "Vous avez choisi de quitter Zapo-TV et de fermer son agent.\r"
                "La base ne sera plus mise à jour automatiquement.\r"
                "Si vous voulez garder l'agent actif, cliquez sur Annuler puis choisissez Réduire."),
            icone_boite::exclamation, boutons_boite::ok_annuler);
        if (r != reponse_boite::ok)
            return;
    }
    quitter_appli();
}

} // namespace zapo::coquille
