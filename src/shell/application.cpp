#include "shell/application.h"

#include "about/liens.h"
#include "channels/gest_chaines.h"
#include "core/garde.h"
#include "core/version.h"
#include "data/base_programmes.h"
#include "platform/dossier.h"
#include "platform/instance_unique.h"
#include "update/fl_maj.h"
#include "update/maj_programmes.h"
#include "views/clics_vues.h"
#include "views/fl_main.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zapo::coquille {

namespace {

// Stands in until the real on-line test is wired: always on line, never dials.
class connexion_provisoire final : public service_connexion {
public:
    bool est_connecte() override { return true; }
    void connecter() override {}
    void deconnecter() override {}
};

} // namespace

fl_init::fl_init(contexte& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("fl_init"));
    tps_maj.setInterval(60000);
    menuicone.setTitle(QStringLiteral("Fichier"));
    menu02 = menuicone.addAction(QStringLiteral("Mettre à jour"));
    menu02->setObjectName(QStringLiteral("menu02"));
    menu01 = menuicone.addAction(QStringLiteral("Quitter"));
    menu01->setObjectName(QStringLiteral("menu01"));
    connect(menu02, &QAction::triggered, this, [this] { garde(ctx_, [this] { lancer_maj(); }); });
    connect(menu01, &QAction::triggered, this, [this] { garde(ctx_, [this] { quitter_appli(); }); });

    ctx_.charger_fenetre = [this] { charger_fenetre(); };
    ctx_.quitter_appli = [this] { quitter_appli(); };
    ctx_.lancer_maj = [this] { lancer_maj(); };
    ctx_.rafraichir_fenetre = [this] {
        charger_fenetre();
        if (fl_main_)
            clics::rafraichir_fenetre(ctx_, *fl_main_);
    };
}

fl_init::~fl_init() {
    if (fl_main_)
        delete fl_main_.data();
}

bool fl_init::Form_Load() {
    auto& g = ctx_.g;
    g.dossier_appli = plateforme::trouver_dossier_appli();

    // The icon; its tip reads "Zapo-TV".
    icone_.setIcon(vues::icone_programme());
    icone_.setToolTip(QStringLiteral("Zapo-TV"));
    icone_.setContextMenu(&menuicone);
    icone_.show();
    tps_maj.start();

    if (!g.opt_agent)
        charger_fenetre();
    return true;
}

void fl_init::charger_fenetre() {
    if (fl_main_)
        return;
    auto* f = new vues::fl_main();
    fl_main_ = f;
    brancher_fenetre(f);
    // Form_Load: the window is loaded, then refreshed (which shows it).
    ctx_.g.fenetre_chargee = true;
    if (auto* b = dynamic_cast<boites_qt*>(ctx_.boites))
        b->definir_parent(f);
    f->tps_minute.start();
    garde(ctx_, [&] { clics::rafraichir_fenetre(ctx_, *f); });
    if (fl_main_ && !fl_main_->isVisible())
        fl_main_->show();
}

void fl_init::brancher_fenetre(vues::fl_main* f) {
    auto sur = [this, f](auto action) {
        return [this, f, action] {
            if (fl_main_ == f)
                garde(ctx_, [&] { action(*f); });
        };
    };
    connect(f, &vues::fl_main::dechargee, this, [this] { Form_Unload_main(); });
    connect(&f->tps_minute, &QTimer::timeout, f, sur([this](vues::fl_main& w) { clics::tps_minute_Timer(ctx_, w); }));
    connect(f->amaj, &QAction::triggered, f, sur([this](vues::fl_main&) { lancer_maj(); }));
    connect(f->bt_maj, &QPushButton::clicked, f, sur([this](vues::fl_main&) { lancer_maj(); }));
    connect(f->adate, &QAction::triggered, f, sur([this](vues::fl_main&) { clics::adate_Click(ctx_); }));
    connect(f->afermer, &QAction::triggered, f, sur([this](vues::fl_main&) { fermer_fenetre(); }));
    connect(f->aquitter, &QAction::triggered, f, sur([this](vues::fl_main&) { quitter_appli(); }));
    connect(f->dsupr, &QAction::triggered, f,
            sur([this](vues::fl_main& w) { gest_chaines::supprimer_chaine(ctx_, w); }));
    connect(f->bt_suppr, &QPushButton::clicked, f,
            sur([this](vues::fl_main& w) { gest_chaines::supprimer_chaine(ctx_, w); }));
    connect(f->dvide, &QAction::triggered, f, sur([this](vues::fl_main& w) { gest_chaines::vider_chaines(ctx_, w); }));
    connect(f->baide, &QAction::triggered, f, sur([this](vues::fl_main&) { internet::afficher_aide(ctx_); }));
    connect(f->lst_chaines, &QTreeWidget::itemClicked, f,
            sur([this](vues::fl_main& w) { clics::lst_chaines_ItemClick(ctx_, w); }));
    connect(f->lst_prog->header(), &QHeaderView::sectionClicked, f, [this, f](int colonne) {
        if (fl_main_ == f)
            garde(ctx_, [&] { clics::lst_prog_ColumnClick(*f, colonne); });
    });
}

void fl_init::Form_Unload_main() {
    ctx_.g.fenetre_chargee = false;
    if (auto* b = dynamic_cast<boites_qt*>(ctx_.boites))
        b->definir_parent(nullptr);
    fl_main_ = nullptr;
    if (!ctx_.g.opt_agent)
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
    if (ctx_.g.maj_en_cours) {
        ctx_.g.arret_demande = true;
        sortie_apres_maj_ = true;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<maj::fl_maj*>(w))
                f->interrompre();
        return;
    }
    en_sortie_ = true;
    if (fl_main_)
        fl_main_->close();
    icone_.hide();
    tps_maj.stop();
    QCoreApplication::exit(0);
}

void fl_init::lancer_maj() {
    auto& g = ctx_.g;
    if (g.maj_en_cours)
        return;
    g.maj_annulee = false;
    maj::branchements b;
    b.afficher_etat = [this](const QString& texte) {
        if (fl_main_)
            fl_main_->txt_etat->setText(texte);
    };
    maj::executer_maj(ctx_, std::move(b));
    if (sortie_apres_maj_) {
        quitter_appli();
        return;
    }
    if (g.fenetre_chargee && fl_main_) {
        clics::remplir_programmes(ctx_, *fl_main_);
        clics::affiche_actuel(ctx_, *fl_main_);
    }
}

namespace {

void installer_francais(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    for (const char* nom : {"qtbase_fr", "qt_fr"}) {
        auto* t = new QTranslator(&app);
        if (t->load(QString::fromLatin1(nom), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(t);
        else
            delete t;
    }
}

} // namespace

int principal(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zapo-TV"));
    QApplication::setOrganizationName(QStringLiteral("Zapo-TV"));
    QApplication::setApplicationVersion(texte_version());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(vues::icone_programme());
    installer_francais(app);

    horloge_systeme horloge;
    boites_qt boites_reelles;
    boites_message& boites = boites_reelles;
    connexion_provisoire connexion;
    maj::rythme_reel pas;
    contexte ctx;
    ctx.horloge_ = &horloge;
    ctx.boites = &boites_reelles;
    ctx.connexion = &connexion;
    ctx.pas = &pas;

    // One copy per data folder; the second says so and touches nothing.
    const QString dossier = plateforme::trouver_dossier_appli();
    plateforme::instance_unique instance(dossier);
    if (!instance.acquerir()) {
        boites.afficher(QStringLiteral("Erreur"), QStringLiteral("L'application est déjà ouverte"),
                        icone_boite::critique);
        return 0;
    }

    // The delivered database, laid down on first use and checked before anything reads it.
    bool base_ok = plateforme::deposer_base(dossier, QStringLiteral(":/programmes.mdb"));
    if (!base_ok) {
        boites.afficher(QStringLiteral("Zapo-TV"),
                        QStringLiteral("Impossible de créer la base des programmes « %1/programmes.mdb ».")
                            .arg(dossier),
                        icone_boite::critique);
        return 1;
    }
    ctx.g.dossier_appli = dossier;
    if (!garde(ctx, [&] { donnees::base_programmes(ctx.chemin_base()).verifier_structure(); }))
        return 1;

    fl_init agent(ctx);
    if (!agent.Form_Load())
        return 0;
    return QApplication::exec();
}

} // namespace zapo::coquille
