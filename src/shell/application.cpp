#include "shell/application.h"

#include "about/fl_propos.h"
#include "about/liens.h"
#include "channels/fl_chaine.h"
#include "channels/gest_chaines.h"
#include "core/version.h"
#include "data/base_programmes.h"
#include "data/base_rappels.h"
#include "data/fichier_options.h"
#include "data/raison_ecriture.h"
#include "liaison/garde.h"
#include "platform/activation.h"
#include "platform/connexion_linux.h"
#include "platform/dossier.h"
#include "platform/instance_unique.h"
#include "platform/notifications.h"
#include "platform/registre.h"
#include "shell/fl_premiere.h"
#include "shell/journal_coquille.h"
#include "shell/ligne_commande.h"
#include "shell/memoire.h"
#include "update/executer_maj.h"
#include "update/fl_maj.h"
#include "views/clics_vues.h"
#include "views/fl_ce_soir.h"
#include "views/fl_grille.h"
#include "views/fl_recherche.h"
#include "views/rappels_vues.h"
#include "widgets/annonce.h"
#include "widgets/dessins.h"
#include "widgets/fenetre_unique.h"
#include "widgets/icone_theme.h"
#include "widgets/placement.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
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

bool zone_sni_presente() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
    const auto inscrit = bus.interface()->isServiceRegistered(service);
    if (!inscrit.isValid() || !inscrit.value())
        return false;
    auto m = QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierWatcher"),
                                            QStringLiteral("org.freedesktop.DBus.Properties"),
                                            QStringLiteral("Get"));
    m << service << QStringLiteral("IsStatusNotifierHostRegistered");
    // A panel that is busy starting answers later: the next poll asks again.
    const QDBusMessage r = bus.call(m, QDBus::Block, 500);
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return false;
    return r.arguments().first().value<QDBusVariant>().variant().toBool();
}

fl_init::occupation::~occupation() {
    if (--a_.profondeur_ > 0)
        return;
    // Back in the outer event loop's hands: nothing of ours holds these any more.
    std::erase_if(a_.a_liberer_, [](const QPointer<vues::fl_main>& f) { return f.isNull(); });
    for (auto& f : a_.a_liberer_)
        if (f)
            f->deleteLater();
}

template <class F> void fl_init::evenement(F&& f) {
    occupation o(*this);
    liaison::garde(ctx_, std::forward<F>(f));
}

fl_init::fl_init(contexte& ctx, branchements_agent b) : ctx_(ctx), b_(std::move(b)) {
    setObjectName(QStringLiteral("fl_init"));
    if (!b_.zone_notification)
        b_.zone_notification = [this] {
            if (zone_sni_presente())
                return true;
            // Qt's answer only once it has been allowed to choose (see montrer_icone).
            return icone_ && icone_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
        };
    if (!b_.inscrire_demarrage)
        b_.inscrire_demarrage = inscrire_avec_icone;
    if (!b_.retirer_demarrage)
        b_.retirer_demarrage = [] { plateforme::retirer_demarrage(); };
    if (!b_.executer_maj)
        b_.executer_maj = [this](maj::etat_maj& etat) {
            maj::branchements b;
            b.etat = &etat;
            b.automatique = maj_automatique_;
            b.afficher_etat = [this](const QString& texte) {
                if (fl_main_)
                    fl_main_->ecrire_etat(texte);
            };
            maj::executer_maj(ctx_, std::move(b));
            ctx_.guide->annoncer_sante();
        };
    if (!b_.montrer_premiere)
        b_.montrer_premiere = [this] {
            fl_premiere d(ctx_, b_.inscrire_demarrage, b_.retirer_demarrage);
            d.exec();
        };

    tps_maj.setInterval(60000);
    connect(&tps_maj, &QTimer::timeout, this, [this] { tic(); });
    attente_zone_.setInterval(250);
    connect(&attente_zone_, &QTimer::timeout, this, [this] { evenement([this] { surveiller_zone(); }); });
    menuicone.setTitle(QStringLiteral("Fichier"));
    menu02 = menuicone.addAction(QStringLiteral("Mettre à jour"));
    menu02->setObjectName(QStringLiteral("menu02"));
    menu01 = menuicone.addAction(QStringLiteral("Quitter"));
    menu01->setObjectName(QStringLiteral("menu01"));
    connect(menu02, &QAction::triggered, this, [this] { evenement([this] { lancer_maj(); }); });
    connect(menu01, &QAction::triggered, this, [this] { evenement([this] { quitter_appli(); }); });

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

void fl_init::montrer_chaine(int num_chaine) {
    charger_fenetre();
    if (fl_main_ && !fl_main_->est_dechargee())
        fl_main_->montrer_chaine(num_chaine);
}

void fl_init::montrer_rappel(int num_chaine, date_heure debut) {
    charger_fenetre();
    if (fl_main_ && !fl_main_->est_dechargee())
        fl_main_->montrer_programme(num_chaine, debut.secondes());
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
        donnees::base_programmes base(ctx_.chemin_base());
        if (donnees::agent_propose(base))
            return;
        donnees::noter_agent_propose(base);
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
        if (f->icone_ && f->icone_->isVisible() && f->b_.zone_notification() &&
            QSystemTrayIcon::supportsMessages()) {
            f->cible_message_ = std::make_pair(tous.chaine, tous.debut);
            f->icone_->showMessage(tous.titre, tous.lignes.join(QLatin1Char('\n')),
                                   composants::icone_programme(), 15000);
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

void fl_init::reponses_appli::rafraichir_fenetre() {
    occupation o(f_);
    if (!f_.fl_main_) {
        f_.charger_fenetre(); // its load refreshes it
        return;
    }
    // A channel added or removed: every window showing channels follows.
    f_.ctx_.guide->annoncer_chaines();
}

void fl_init::reponses_appli::lancer_maj() {
    occupation o(f_);
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
    if (fl_main_) {
        fl_main_->disconnect(this);
        delete fl_main_.data();
    }
    for (auto& f : a_liberer_)
        delete f.data();
    if (ctx_.guide == guide_propre_.get())
        ctx_.guide = nullptr;
}

void fl_init::Form_Load() {
    occupation o(*this);
    initialiser();
    // The icon's timer runs from now on.
    tps_maj.start();
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

void fl_init::montrer_icone() {
    if (en_sortie_)
        return;
    prendre_icone_theme();
    if (icone().isVisible())
        return;
    icone_->show();
}

QSystemTrayIcon& fl_init::icone() {
    if (!icone_) {
        icone_ = std::make_unique<QSystemTrayIcon>();
        // Its tip reads "Zapo-TV".
        icone_->setIcon(composants::icone_programme());
        icone_->setToolTip(QStringLiteral("Zapo-TV"));
        icone_->setContextMenu(&menuicone);
        connect(icone_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) { evenement([&] { icone_activee(r); }); });
        connect(icone_.get(), &QSystemTrayIcon::messageClicked, this, [this] {
            if (const auto c = cible_message_)
                evenement([&] { montrer_rappel(c->first, c->second); });
        });
    }
    return *icone_;
}

void fl_init::prendre_icone_theme() {
    if (!composants::consulter_theme_icone())
        return;
    QApplication::setWindowIcon(composants::icone_programme());
    if (fl_main_)
        fl_main_->setWindowIcon(composants::icone_programme());
    if (icone_)
        icone_->setIcon(composants::icone_programme());
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
    if (fl_main_ || en_sortie_ || sortie_apres_maj_)
        return;
    occupation o(*this);
    auto* f = new vues::fl_main(ctx_);
    fl_main_ = f;
    brancher_fenetre(f);
    // Form_Load: the window is loaded, then refreshed (which shows it).
    fenetre_chargee = true;
    if (auto* b = dynamic_cast<boites_qt*>(ctx_.boites))
        b->definir_parent(f);
    f->demarrer_minute();
    liaison::garde(ctx_, [&] { f->rafraichir_fenetre(true); });
    // f cannot be freed before `o` ends; it may have been unloaded meanwhile.
    if (fl_main_ == f && !f->est_dechargee() && !f->isVisible())
        f->show();
}

void fl_init::brancher_fenetre(vues::fl_main* f) {
    // Every command runs inside the error boundary, and only while this window is the loaded one.
    auto sur = [this, f](auto action) {
        return [this, f, action](auto... args) {
            if (fl_main_ == f)
                evenement([&] { action(*f, args...); });
        };
    };
    connect(f, &vues::fl_main::dechargee, this, [this, f] {
        // A handler further down may still use this window: it is hidden now
        // and freed when the last one has returned.
        if (profondeur_ > 0 && f->testAttribute(Qt::WA_DeleteOnClose)) {
            f->setAttribute(Qt::WA_DeleteOnClose, false);
            a_liberer_.emplace_back(f);
        }
        evenement([this] { Form_Unload_main(); });
    });
    connect(f, &vues::fl_main::minute, f, sur([](vues::fl_main& w) { w.tps_minute_Timer(); }));
    connect(f, &vues::fl_main::commande_choisie, f,
            sur([this](vues::fl_main& w, vues::fl_main::commande c) { executer_commande(w, c); }));
    // The keyboard chooses a channel as the mouse does (refills block this signal).
    connect(f, &vues::fl_main::chaine_choisie, f, sur([](vues::fl_main& w) { w.lst_chaines_ItemClick(); }));
    connect(f, &vues::fl_main::programme_active, f,
            sur([](vues::fl_main& w) { w.lst_prog_ItemActivated(); }));
    connect(f, &vues::fl_main::colonne_cliquee, f,
            sur([](vues::fl_main& w, int colonne) { w.lst_prog_ColumnClick(colonne); }));
    f->ajouter_menus_rappels();
}

void fl_init::executer_commande(vues::fl_main& w, vues::fl_main::commande c) {
    using commande = vues::fl_main::commande;
    switch (c) {
    case commande::mettre_a_jour:
        lancer_maj();
        break;
    case commande::date_base:
        vues::adate_Click(ctx_);
        break;
    case commande::fermer:
        fermer_fenetre();
        break;
    case commande::quitter:
        aquitter_Click();
        break;
    case commande::majauto:
        cmajauto_Click();
        break;
    case commande::connexion_auto:
        cconnectauto_Click();
        break;
    case commande::deconnexion_auto:
        cdecauto_Click();
        break;
    case commande::agent:
        cagent_Click();
        break;
    case commande::ajouter_chaine:
        chaines::fl_chaine::afficher(ctx_, w.lst_images());
        break;
    case commande::supprimer_chaine:
        chaines::supprimer_chaine(ctx_, w.chaine_selectionnee());
        break;
    case commande::vider_chaines: {
        const QPointer<vues::fl_main> fenetre(&w);
        chaines::vider_chaines(ctx_, [fenetre] { return fenetre ? fenetre->premiere_chaine() : 0; });
        break;
    }
    case commande::rechercher:
        // A chosen row shows its channel here, loading this window again if it was closed.
        vues::fl_recherche::afficher(ctx_, [this](const vues::cible_programme& cible) {
            evenement([&] {
                charger_fenetre();
                if (fl_main_ && !fl_main_->est_dechargee())
                    fl_main_->montrer_programme(cible);
            });
        });
        break;
    case commande::ce_soir:
        // "Ce soir sur toutes les chaînes": a row goes to its channel in this window,
        // loading it again when it was closed meanwhile.
        vues::fl_ce_soir::afficher(ctx_, [this](int chaine, qint64 debut) {
            evenement([&] {
                charger_fenetre();
                if (fenetre_chargee && fl_main_ && !fl_main_->est_dechargee())
                    fl_main_->montrer_programme(chaine, debut);
            });
        });
        break;
    case commande::grille:
        // A double-click on a channel's name shows it here, loading this window again if needed.
        vues::fl_grille::afficher(ctx_, [this](int chaine) {
            evenement([&] {
                charger_fenetre();
                if (fenetre_chargee && fl_main_ && !fl_main_->est_dechargee())
                    fl_main_->montrer_chaine(chaine);
            });
        });
        break;
    case commande::a_propos:
        apropos::fl_propos::afficher(ctx_);
        break;
    case commande::aide:
        apropos::afficher_aide(ctx_);
        break;
    }
}

// The close rule, on every unload of the main window whatever caused it.
void fl_init::Form_Unload_main() {
    fenetre_chargee = false;
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
    if (etat_maj_.maj_en_cours) {
        etat_maj_.arret_demande = true;
        sortie_apres_maj_ = true;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<maj::fl_maj*>(w))
                f->interrompre();
        return;
    }
    en_sortie_ = true;
    if (fl_main_)
        fl_main_->close();
    if (icone_)
        icone_->hide();
    attente_zone_.stop();
    tps_maj.stop();
    rappels_->arreter();
    termine_ = true;
    Q_EMIT fin_programme();
    QCoreApplication::exit(0);
}

void fl_init::lancer_maj() {
    auto& g = etat_maj_;
    if (g.maj_en_cours || en_sortie_ || sortie_apres_maj_)
        return;
    occupation o(*this);
    g.maj_annulee = false;
    b_.executer_maj(etat_maj_);
    if (sortie_apres_maj_) {
        quitter_appli();
        return;
    }
    // New programmes: the reminders aim again, the open windows read them.
    ctx_.guide->annoncer_programmes();
}

void fl_init::icone_activee(QSystemTrayIcon::ActivationReason raison) {
    // A left click toggles the main window; it never just raises it.
    if (raison != QSystemTrayIcon::Trigger)
        return;
    if (fenetre_chargee && fl_main_)
        fl_main_->close();
    else
        charger_fenetre();
    QCoreApplication::processEvents();
}

bool fl_init::attente_de_10h() {
    // A run finished today before 10:00 cannot satisfy the freshness rule until
    // 10:00; starting another one (and dialling) every minute till then helps nobody.
    const auto maj = donnees::base_programmes(ctx_.chemin_base()).lire_maj();
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    return maj && maj->jour() == maintenant.jour() && maj->heure() < 10 && maintenant.heure() < 10;
}

void fl_init::tic() {
    // The whole tick is one unit (run, error box, prompt): while an earlier one,
    // or any handler of ours with a box open, waits below, this one does nothing.
    if (profondeur_ > 0 || etat_maj_.maj_en_cours || en_sortie_)
        return;
    evenement([this] { tps_maj_Timer(); });
}

void fl_init::tps_maj_Timer() {
    const bool a_jour = vues::verifier_base(ctx_);
    if (a_jour)
        relance_.succes();
    // While automatic runs keep failing, the status line keeps saying so.
    if (!a_jour && etat_maj_.maj_echouee)
        etat_maj_.texte_etat = QStringLiteral("La mise à jour a échoué.");
    const QDateTime maintenant = ctx_.horloge_->maintenant();
    if (!a_jour && ctx_.options.opt_majauto && !etat_maj_.maj_annulee && !etat_maj_.maj_en_cours &&
        !attente_de_10h() && relance_.permise(maintenant)) {
        etat_maj_.maj_echouee = false;
        maj_automatique_ = true;
        lancer_maj();
        maj_automatique_ = false;
        if (etat_maj_.maj_echouee)
            relance_.echec(maintenant);
        else
            relance_.succes();
    }
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

namespace {

void installer_francais(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Qt's own texts are all in qtbase_fr; qt_fr only gathers it with other
    // modules' catalogues, so it is read only where qtbase_fr is missing
    // (both at once held qtbase_fr twice, each copy read in full).
    for (const char* nom : {"qtbase_fr", "qt_fr"}) {
        auto* t = new QTranslator(&app);
        if (t->load(QString::fromLatin1(nom), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QApplication::installTranslator(t);
            return;
        }
        delete t;
    }
}

} // namespace

int principal(int argc, char** argv, const crochets_programme& crochets) {
    if (const auto statut = repondre_ligne_commande(argc, argv))
        return *statut;
    // Desktops tie our windows to the launcher, its name and its icon by this.
    QGuiApplication::setDesktopFileName(QStringLiteral(ZAPO_ID_APPLI));
    QApplication app(argc, argv);
    if (crochets.au_demarrage)
        crochets.au_demarrage();
    vues::definir_releve_vues(crochets.vues);
    QApplication::setApplicationName(QStringLiteral("Zapo-TV"));
    QApplication::setOrganizationName(QStringLiteral("Zapo-TV"));
    QApplication::setApplicationVersion(texte_version());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(composants::icone_programme());
    installer_francais(app);

    horloge_systeme horloge;
    boites_qt boites_reelles;
    boites_reelles.definir_releve(crochets.boites);
    boites_message& boites = boites_reelles;
    plateforme::connexion_linux connexion;
    maj::rythme_reel pas;
    contexte ctx;
    ctx.horloge_ = &horloge;
    ctx.boites = &boites_reelles;
    ctx.connexion = &connexion;
    ctx.pas = &pas;
    // "Annuler" during the on-line step stops the wait on NetworkManager too.
    plateforme::notifications_dbus notifications;
    ctx.notifications = &notifications;

    // One copy per data folder; the second says so and touches nothing.
    const QString dossier = plateforme::trouver_dossier_appli();
    if (!QFileInfo(dossier).isDir()) {
        boites.afficher(QStringLiteral("Zapo-TV"),
                        QStringLiteral("Impossible de créer le dossier de données « %1 » : %2.")
                            .arg(dossier, donnees::raison_creation_dossier(dossier)),
                        icone_boite::critique);
        return 1;
    }
    plateforme::instance_unique instance(dossier);
    switch (instance.acquerir()) {
    case plateforme::instance_unique::etat::acquis:
        break;
    case plateforme::instance_unique::etat::deja_ouverte:
        boites.afficher(QStringLiteral("Erreur"), QStringLiteral("L'application est déjà ouverte"),
                        icone_boite::critique);
        // Then the running copy shows its main window.
        plateforme::activation_bus::activer_ouverte();
        return 0;
    case plateforme::instance_unique::etat::impossible:
        // Not another copy: the folder refuses the lock file.
        boites.afficher(QStringLiteral("Zapo-TV"),
                        QStringLiteral("Impossible de démarrer Zapo-TV dans le dossier « %1 » : %2.")
                            .arg(dossier, instance.raison().isEmpty()
                                              ? donnees::raison_ecriture_impossible(dossier)
                                              : instance.raison()),
                        icone_boite::critique);
        return 1;
    }

    // The delivered database, laid down on first use and checked before anything reads it.
    if (!plateforme::deposer_base(dossier, QStringLiteral(":/programmes.mdb"))) {
        boites.afficher(
            QStringLiteral("Zapo-TV"),
            QStringLiteral("Impossible de créer la base des programmes « %1/programmes.mdb » : %2.")
                .arg(dossier, donnees::raison_ecriture_impossible(dossier)),
            icone_boite::critique);
        return 1;
    }
    ctx.dossier_appli = dossier;
    // Checked without changing anything: a refused file stays as the user had it.
    if (!liaison::garde(ctx, [&] {
            donnees::base_programmes(ctx.chemin_base(), donnees::base_programmes::ouverture::verification)
                .verifier_structure();
        }))
        return 1;

    // What the windows read and listen to, for the whole run.
    modele::guide guide(ctx);
    ctx.guide = &guide;
    fl_init agent(ctx);
    // "Annuler" during the on-line step stops the wait on NetworkManager too.
    connexion.definir_arret(&agent.etat().arret_demande);
    bool demarre = false;
    liaison::garde(ctx, [&] {
        agent.Form_Load();
        demarre = true;
    });
    if (!demarre || agent.termine())
        return 0;
    // Taken once started: a second start then asks this copy for its window.
    plateforme::activation_bus activation([&agent] { agent.activer(); });
    activation.inscrire();
    // The agent alone shows no window: what its start freed goes back now.
    liberer_memoire_inutilisee();
    return QApplication::exec();
}

} // namespace zapo::coquille
