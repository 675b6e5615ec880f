#include "vues/fl_grille.h"

#include "composants/dessins.h"
#include "composants/placement.h"
#include "liaison/garde.h"
#include "modele/guide.h"
#include "noyau/decodage.h"
#include "noyau/genres.h"
#include "noyau/horloge.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_details.h"
#include "vues/genres_vues.h"
#include "vues/grille_vue.h"
#include "vues/rappels_vues.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <utility>

namespace zapo::vues {

namespace {

// The legend's swatch for a genre, in the theme's colours.
QPixmap pastille(genre_programme g, bool sombre) {
    QPixmap p(14, 14);
    p.fill(Qt::transparent);
    QPainter d(&p);
    d.setPen(Qt::gray);
    d.setBrush(QColor::fromRgb(QRgb(0xFF000000u | couleurs_du_genre(g, sombre).fond)));
    d.drawRect(0, 0, 13, 13);
    return p;
}

} // namespace

fl_grille::fl_grille(contexte& ctx, aller_fn aller) : ctx_(ctx), aller_(std::move(aller)) {
    setObjectName(QStringLiteral("fl_grille"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zapo-TV - Grille"));
    setWindowIcon(composants::icone_programme());
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    auto* disposition = new QVBoxLayout(this);

    // Days, "Ce soir", the genre filter and the zoom: a row of named controls, in Tab order.
    auto* haut = new QHBoxLayout;
    ligne_jours_ = new QHBoxLayout;
    jours_ = new QButtonGroup(this);
    jours_->setExclusive(true);
    haut->addLayout(ligne_jours_);
    bt_ce_soir_ = new QPushButton(QStringLiteral("Ce soir"), this);
    bt_ce_soir_->setObjectName(QStringLiteral("bt_ce_soir"));
    haut->addWidget(bt_ce_soir_);
    haut->addStretch(1);
    auto* lbl_genre = new QLabel(QStringLiteral("Genre :"), this);
    lbl_genre->setObjectName(QStringLiteral("lbl_genre"));
    cbo_genre_ = creer_filtre_genres(this);
    lbl_genre->setBuddy(cbo_genre_);
    haut->addWidget(lbl_genre);
    haut->addWidget(cbo_genre_);
    auto* lbl_zoom = new QLabel(QStringLiteral("Zoom :"), this);
    lbl_zoom->setObjectName(QStringLiteral("lbl_zoom"));
    zoom_ = new QSlider(Qt::Horizontal, this);
    zoom_->setObjectName(QStringLiteral("zoom"));
    zoom_->setAccessibleName(QStringLiteral("Zoom"));
    zoom_->setRange(0, nb_zooms_grille - 1);
    zoom_->setPageStep(1);
    zoom_->setValue(zoom_grille_initial);
    zoom_->setFixedWidth(120);
    lbl_zoom->setBuddy(zoom_);
    haut->addWidget(lbl_zoom);
    haut->addWidget(zoom_);
    disposition->addLayout(haut);

    // The legend: each genre's colour beside its name.
    auto* legende = new QHBoxLayout;
    const bool sombre = palette().color(QPalette::Base).lightness() < 128;
    for (genre_programme g : tous_genres) {
        auto* carre = new QLabel(this);
        carre->setPixmap(pastille(g, sombre));
        carre->setAccessibleName(texte_genre(g));
        auto* nom = new QLabel(texte_genre(g), this);
        legende->addWidget(carre);
        legende->addWidget(nom);
        legende->addSpacing(8);
    }
    legende->addStretch(1);
    disposition->addLayout(legende);

    grille_ = new vue_grille(this);
    disposition->addWidget(grille_, 1);
    grille_->charger = [this](date_heure d, date_heure f) { liaison::garde(ctx_, [&] { charger(d, f); }); };
    grille_->details = [this](int chaine, date_heure hdeb) -> std::optional<details_programme> {
        std::optional<details_programme> d;
        liaison::garde(ctx_, [&] {
            if (auto p = modele::guide_de(ctx_).programme(chaine, hdeb))
                d = std::move(p->details);
        });
        return d;
    };

    connect(bt_ce_soir_, &QPushButton::clicked, this,
            [this] { liaison::garde(ctx_, [this] { ce_soir(); }); });
    connect(cbo_genre_, &QComboBox::currentIndexChanged, this,
            [this] { grille_->definir_filtre(genre_choisi(cbo_genre_)); });
    connect(zoom_, &QSlider::valueChanged, grille_, &vue_grille::definir_zoom);
    connect(grille_, &vue_grille::zoom_change, zoom_, &QSlider::setValue);
    connect(grille_, &vue_grille::jour_change, this, &fl_grille::marquer_jour);
    connect(grille_, &vue_grille::programme_ouvert, this,
            [this](int chaine, qint64 debut, const QString& titre) {
                liaison::garde(ctx_, [&] {
                    fl_details::afficher(ctx_, chaine, date_heure::depuis_secondes(debut), titre);
                });
            });
    connect(grille_, &vue_grille::chaine_ouverte, this, [this](int chaine) {
        if (aller_)
            liaison::garde(ctx_, [&] { aller_(chaine); });
    });
    connect(grille_, &vue_grille::menu_demande, this, &fl_grille::menu_rappel);
    // The zoom from anywhere in the window.
    for (const QKeySequence& k :
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        connect(new QShortcut(k, this), &QShortcut::activated, this,
                [this] { grille_->definir_zoom(grille_->zoom() + 1); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), this), &QShortcut::activated, this,
            [this] { grille_->definir_zoom(grille_->zoom() - 1); });

    tps_minute.setInterval(60000);
    connect(&tps_minute, &QTimer::timeout, this,
            [this] { liaison::garde(ctx_, [this] { tps_minute_Timer(); }); });
    // After a run (programmes and logos), or when channels change: read again.
    for (auto signal : {&modele::guide::programmes_changes, &modele::guide::chaines_changees})
        connect(&modele::guide_de(ctx_), signal, this,
                [this] { liaison::garde(ctx_, [this] { remplir(); }); });
    connect(&modele::guide_de(ctx_), &modele::guide::rappels_changes, this,
            [this] { liaison::garde(ctx_, [this] { lire_rappels(); }); });
}

fl_grille::~fl_grille() = default;

fl_grille* fl_grille::afficher(contexte& ctx, aller_fn aller) {
    if (fl_grille* f = ramener())
        return f;
    auto* f = retenir(new fl_grille(ctx, std::move(aller)));
    QPointer<fl_grille> p(f);
    liaison::garde(ctx, [&] { f->reprendre_place(); });
    composants::montrer_devant(f);
    f->tps_minute.start();
    // A base that cannot be read leaves the grid empty; the box says why.
    liaison::garde(ctx, [&] {
        f->remplir();
        f->grille_->aller_a(ctx.horloge_->maintenant_dh());
        f->grille_->setFocus();
    });
    return p;
}

void fl_grille::reprendre_place() {
    const std::optional<QRect> place = modele::guide_de(ctx_).place_grille();
    // Only a place some screen still shows.
    bool visible = false;
    if (place)
        for (const QScreen* s : QGuiApplication::screens())
            visible = visible || s->availableGeometry().intersects(*place);
    if (visible) {
        setGeometry(*place);
        return;
    }
    resize(1000, 620);
    composants::centrer(this);
}

void fl_grille::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    const QRect place = geometry();
    liaison::garde(ctx_, [&] { modele::guide_de(ctx_).ecrire_place_grille(place); });
}

void fl_grille::keyPressEvent(QKeyEvent* e) {
    // Enter opens "Détails" from the grid; it never presses a button here.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    // Page Up and Page Down change the day wherever the focus is.
    if (e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown) {
        QKeyEvent copie(e->type(), e->key(), e->modifiers());
        QCoreApplication::sendEvent(grille_, &copie);
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void fl_grille::remplir() {
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    const date_heure origine = maintenant.jour();
    std::vector<vue_grille::rangee> rangees;
    int nb_jours = 1;
    {
        modele::guide& g = modele::guide_de(ctx_);
        const modele::guide::seance s(g);
        const QHash<int, QByteArray> images = g.logos();
        for (const auto& c : g.chaines()) {
            vue_grille::rangee r;
            r.num_chaine = c.num_chaine;
            r.nom = texte_inerte(c.nom);
            r.num_image = c.num_image;
            r.image = images.value(c.num_chaine);
            rangees.push_back(std::move(r));
        }
        std::vector<int> nums;
        for (const auto& r : rangees)
            nums.push_back(r.num_chaine);
        if (const auto dernier = g.dernier_debut(nums); dernier && *dernier >= origine)
            nb_jours = int(std::min<qint64>(jours_semaine,
                                            (dernier->jour() - origine).secondes() / un_jour.secondes() + 1));
    }
    ecrire_jours(maintenant, nb_jours);
    lire_rappels();
    grille_->definir(std::move(rangees), origine, nb_jours, maintenant);
    marquer_jour();
}

void fl_grille::lire_rappels() {
    QSet<QPair<int, qint64>> r;
    for (const auto& [chaine, debut] : rappels_vivants(ctx_))
        r.insert({chaine, debut});
    grille_->definir_rappels(std::move(r));
}

void fl_grille::charger(date_heure debut, date_heure fin) {
    QHash<int, std::vector<std::pair<plage_grille, vue_grille::programme>>> par_chaine;
    // A feed repeats a few dozen category texts: each is looked up once.
    QHash<QStringList, genre_programme> genres;
    {
        modele::guide_de(ctx_).parcourir_periode(debut, fin, [&](const donnees::programme_semaine& p) {
            auto g = genres.constFind(p.details.categories);
            if (g == genres.cend())
                g = genres.insert(p.details.categories, genre_categories(p.details.categories));
            par_chaine[p.chaine].push_back(
                {plage_grille{p.hdeb, p.hfin},
                 vue_grille::programme{texte_inerte(p.titre), *g, p.details.rediffusion, p.details.inedit}});
        });
    }
    for (auto it = par_chaine.begin(); it != par_chaine.end(); ++it)
        grille_->ajouter_programmes(it.key(), std::move(it.value()));
}

void fl_grille::ecrire_jours(date_heure maintenant, int nb_jours) {
    const date_heure origine = maintenant.jour();
    QStringList textes;
    for (int j = 0; j < nb_jours; ++j)
        textes << texte_jour(origine + date_heure::duree_hm(24 * j, 0), maintenant);
    bool memes = int(boutons_jours_.size()) == nb_jours;
    for (int j = 0; memes && j < nb_jours; ++j)
        memes = boutons_jours_[size_t(j)]->text() == textes[j];
    if (memes)
        return;
    for (QPushButton* b : boutons_jours_)
        delete b;
    boutons_jours_.clear();
    QWidget* avant = nullptr;
    for (int j = 0; j < nb_jours; ++j) {
        auto* b = new QPushButton(textes[j], this);
        b->setObjectName(QStringLiteral("bt_jour_%1").arg(j));
        b->setCheckable(true);
        b->setAutoDefault(false);
        jours_->addButton(b, j);
        ligne_jours_->addWidget(b);
        b->show();
        // Whatever checks a day moves the grid: a click, the keyboard, or a screen
        // reader's toggle action, which checks the button without clicking it.
        connect(b, &QPushButton::toggled, this, [this, j](bool coche) {
            if (coche)
                liaison::garde(ctx_, [&] { bouton_jour(j); });
        });
        // A click on the day already checked checks nothing: it still goes back
        // to that day (to now for today).
        connect(b, &QPushButton::pressed, this, [this, b] { jour_deja_coche_ = b->isChecked(); });
        connect(b, &QPushButton::clicked, this, [this, j] {
            if (std::exchange(jour_deja_coche_, false))
                liaison::garde(ctx_, [&] { bouton_jour(j); });
        });
        if (avant)
            setTabOrder(avant, b);
        avant = b;
        boutons_jours_.push_back(b);
    }
    if (avant) {
        setTabOrder(avant, bt_ce_soir_);
        setTabOrder(bt_ce_soir_, cbo_genre_);
        setTabOrder(cbo_genre_, zoom_);
        setTabOrder(zoom_, grille_);
    }
}

void fl_grille::marquer_jour() {
    const int j = int((grille_->temps_gauche() - grille_->origine()).secondes() / un_jour.secondes());
    if (j >= 0 && j < int(boutons_jours_.size())) {
        // The grid already shows that day: checking its button moves nothing.
        const QSignalBlocker bloque(boutons_jours_[size_t(j)]);
        boutons_jours_[size_t(j)]->setChecked(true);
    }
}

void fl_grille::bouton_jour(int jour) {
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    if (jour == 0) {
        grille_->aller_a(maintenant);
    } else {
        // Another day at the time of day in view.
        const date_heure gauche = grille_->temps_gauche() + date_heure::duree_hm(0, 30);
        const date_heure heure = date_heure::depuis_secondes(gauche.seconde_du_jour());
        grille_->aller_a(grille_->origine() + date_heure::duree_hm(24 * jour, 0) + heure);
    }
    marquer_jour();
}

void fl_grille::ce_soir() {
    // 20:30 of the day in view.
    const date_heure jour = (grille_->temps_gauche() + date_heure::duree_hm(0, 30)).jour();
    grille_->aller_a(jour + date_heure::duree_hm(20, 30));
    marquer_jour();
    grille_->setFocus();
}

void fl_grille::menu_rappel(int chaine, qint64 debut, QPoint ou) {
    bool prevu = false;
    liaison::garde(ctx_, [&] { prevu = rappel_prevu(ctx_, chaine, debut); });
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menu_rappel"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* a =
        menu->addAction(prevu ? QStringLiteral("Ne plus me prévenir") : QStringLiteral("Me prévenir"));
    a->setObjectName(QStringLiteral("action_rappel"));
    connect(a, &QAction::triggered, this, [this, chaine, debut, prevu] {
        liaison::garde(ctx_, [&] {
            basculer_rappel(ctx_, chaine, debut, prevu);
            lire_rappels();
        });
    });
    menu->popup(ou);
}

void fl_grille::tps_minute_Timer() {
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    // A new day: the week moves on. Not while a run rewrites the base.
    if (maintenant.jour() != grille_->origine() && !maj_en_cours(ctx_)) {
        remplir();
        return;
    }
    grille_->definir_maintenant(maintenant);
}

} // namespace zapo::vues
