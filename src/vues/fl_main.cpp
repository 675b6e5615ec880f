#include "vues/fl_main.h"
#include "modele/guide.h"

#include "composants/ancrage.h"
#include "composants/dessin_fixe.h"
#include "composants/dessins.h"
#include "composants/haute_densite.h"
#include "liaison/garde.h"
#include "noyau/decodage.h"
#include "ui_fl_main.h"
#include "vues/apparence.h"
#include "vues/largeurs.h"

#include "composants/annonce.h"
#include "composants/placement.h"
#include "noyau/date_heure.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zapo::vues {

using composants::fixer_police;

namespace {

QPixmap dessiner_banniere() {
    QPixmap p = composants::toile(129, 28);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fond(0, 0, 129, 0);
    fond.setColorAt(0, QColor(0, 0, 128));
    fond.setColorAt(1, QColor(64, 128, 255));
    QPainterPath chemin;
    chemin.addRoundedRect(QRectF(0.5, 0.5, 128, 27), 6, 6);
    g.fillPath(chemin, fond);
    g.setPen(QColor(255, 255, 0));
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(16);
    g.setFont(f);
    g.drawText(QRectF(0, 0, 129, 28), Qt::AlignCenter, QStringLiteral("Zapo-TV"));
    return p;
}

QIcon dessiner_marque(const QColor& c) {
    return composants::icone_nette(16, 16, [&c](QPainter& g) {
        g.setBrush(c);
        g.setPen(c.darker(150));
        QPolygonF fleche;
        fleche << QPointF(4, 3) << QPointF(13, 8) << QPointF(4, 13);
        g.drawPolygon(fleche);
    });
}

} // namespace

fl_main::fl_main(contexte& ctx, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::fl_main>()), ctx_(ctx) {
    // Before the controls, which then take it as they are made: given after,
    // it would go down to every one of them again.
    setFont(composants::police_dessin());
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(composants::icone_programme());
    colorer_fond(ui->centralwidget);
    ui->Shape2->lower();
    ui->Shape1->lower();
    ui->Image1->setPixmap(dessiner_banniere());
    ui->Image1->setAccessibleName(QStringLiteral("Zapo-TV"));
    for (int n = 1; n <= 16; ++n)
        lst_images_.push_back(composants::dessiner_logo(n));
    lst_icone_ = {dessiner_marque(QColor(160, 160, 160)), dessiner_marque(QColor(0, 160, 0)),
                  dessiner_marque(QColor(220, 0, 0))};
    // Fractional sizes, as drawn (the form file only holds whole points). The
    // form gives the channel list none: set there, its header measured itself
    // in a size never shown, which costs a font of its own at start.
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->lst_chaines, ui->txt_hd1, ui->txt1, ui->txt_hf1, ui->txt_hd2, ui->txt2, ui->txt_hf2,
             ui->txt_hd3, ui->txt3, ui->txt_hf3, ui->txt_hd4, ui->txt4, ui->txt_hf4}) {
        QFont f = w->font();
        f.setPointSizeF(9.75);
        w->setFont(f);
    }
    QFont etat = ui->txt_etat->font();
    etat.setPointSizeF(11.25);
    ui->txt_etat->setFont(etat);
    // Colours through palettes, not style sheets, where a control holds others
    // (scroll bars, a progress bar): they then keep the window's light palette.
    colorer_liste(ui->lst_chaines);
    QPalette panneau;
    panneau.setColor(QPalette::Window, QColor(255, 255, 192));
    ui->Frame1->setPalette(panneau);
    ui->Frame1->setAutoFillBackground(true);
    // Opens as drawn; may grow, never shrink below that.
    fixer_police(this);
    ui->centralwidget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    placer_controles();
    resize(minimumSizeHint());
    aide_vide_ = new QLabel(QStringLiteral("Ajoutez vos chaînes avec « Ajouter », puis « Mettre à jour »."),
                            ui->lst_chaines->viewport());
    aide_vide_->setObjectName(QStringLiteral("txt_aide_vide"));
    aide_vide_->setTextFormat(Qt::PlainText);
    aide_vide_->setWordWrap(true);
    aide_vide_->setAlignment(Qt::AlignCenter);
    aide_vide_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* place_aide = new QVBoxLayout(ui->lst_chaines->viewport());
    place_aide->setContentsMargins(16, 16, 16, 16);
    place_aide->addWidget(aide_vide_);
    aide_vide_->hide();
    tps_minute.setInterval(60000);
    for (QTreeWidget* l : {ui->lst_chaines, ui->lst_prog})
        l->header()->setSectionsMovable(false);
    ui->lst_chaines->setIconSize(QSize(48, 35));
    ui->lst_prog->setIconSize(QSize(16, 16));
    // What a screen reader says besides each label's own text.
    const struct {
        QWidget* w;
        const char* role;
    } descriptions[] = {
        {ui->txt_hd1, "Début du programme en cours"},
        {ui->txt1, "Programme en cours"},
        {ui->txt_hf1, "Fin du programme en cours"},
        {ui->txt_hd2, "Début du programme suivant"},
        {ui->txt2, "Programme suivant"},
        {ui->txt_hf2, "Fin du programme suivant"},
        {ui->txt_hd3, "Début du premier programme du soir"},
        {ui->txt3, "Premier programme du soir"},
        {ui->txt_hf3, "Fin du premier programme du soir"},
        {ui->txt_hd4, "Début du second programme du soir"},
        {ui->txt4, "Second programme du soir"},
        {ui->txt_hf4, "Fin du second programme du soir"},
    };
    for (const auto& d : descriptions)
        d.w->setAccessibleDescription(QString::fromUtf8(d.role));
    ui->progres->setAccessibleName(QStringLiteral("Partie écoulée du programme en cours"));
    ui->lst_chaines->setAccessibleName(QStringLiteral("Chaines"));
    ui->lst_prog->setAccessibleName(QStringLiteral("Liste des programmes"));
    // F10 opens the menus from the keyboard, as elsewhere on the desktop.
    auto* menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menus, &QShortcut::activated, this, [this] {
        if (!menuBar()->actions().isEmpty())
            menuBar()->setActiveAction(menuBar()->actions().constFirst());
    });
    relier_commandes();
    ecouter_guide();
}

fl_main::~fl_main() = default;

void fl_main::placer_controles() {
    using composants::ancrage;
    // The channels on the left, the panel and the programmes on the right: each
    // side takes half of the extra width, the lists all of the extra height.
    auto* a = new ancrage(ui->centralwidget, ui->centralwidget->minimumSize());
    const auto g = ancrage::gauche, d = ancrage::droite, t = ancrage::tout, r = ancrage::rien;
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Shape2, ui->txt_date, ui->txt_etat})
        a->ajouter(w, r, g);
    a->ajouter(ui->bt_maj, g, r);
    a->ajouter(ui->lst_chaines, r, g, r, t);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->bt_ajouter, ui->bt_suppr, ui->Image1})
        a->ajouter(w, r, r, t, r);
    a->ajouter(ui->Shape1, g, d, r, t);
    a->ajouter(ui->Frame1, g, d);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Label2, ui->Label5, ui->Label15, ui->txt1, ui->txt2,
                                                      ui->txt3, ui->txt4, ui->progres})
        a->ajouter(w, r, d);
    for (QWidget* w : {ui->txt_hf1, ui->txt_hf2, ui->txt_hf3, ui->txt_hf4})
        a->ajouter(w, d, r);
    a->ajouter(ui->Label16, g, d);
    a->ajouter(ui->lst_prog, g, d, r, t);
    ancrage_ = a;
}

void fl_main::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    ajuster_colonnes();
}

void fl_main::ajuster_colonnes() {
    // The columns that were drawn to fill their list take the list's extra width.
    QTreeWidget* c = ui->lst_chaines;
    if (c->columnCount() == 4) {
        const int plus = std::max(0, c->width() - ancrage_->dessin(c).width());
        c->setColumnWidth(1, vues::pixels(c->topLevelItemCount() > 12 ? 2240 : 2500) + plus);
        ajuster_colonne_chaine(c, c->columnWidth(1));
    }
    if (ui->lst_prog->columnCount() == 4)
        elargir_derniere_colonne(ui->lst_prog, vues::pixels(2000));
}

void fl_main::montrer_aide_vide() {
    const bool vide = ui->lst_chaines->topLevelItemCount() == 0;
    aide_vide_->setVisible(vide);
    ui->lst_chaines->setAccessibleDescription(vide ? aide_vide_->text() : QString());
}

void fl_main::reprendre_taille() {
    if (taille_reprise_)
        return;
    taille_reprise_ = true;
    std::optional<QSize> t;
    try {
        t = modele::guide_de(ctx_).taille_fenetre();
    } catch (const donnees::erreur_base&) {
        // A size not found is the drawn one.
    }
    if (!t)
        return;
    QSize taille = t->expandedTo(minimumSizeHint());
    if (const QScreen* ecran = screen())
        taille = taille.boundedTo(ecran->availableGeometry().size()).expandedTo(minimumSizeHint());
    resize(taille);
    taille_lue_ = size();
}

void fl_main::garder_taille() {
    const QSize t = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    // Nothing to keep when it is as it opened: as kept, or as drawn.
    if (!t.isValid() || t == taille_lue_ || (!taille_lue_.isValid() && t == minimumSizeHint()))
        return;
    try {
        modele::guide_de(ctx_).ecrire_taille_fenetre(t);
        taille_lue_ = t;
    } catch (const donnees::erreur_base&) {
        // Closing never fails for a size: the next start opens as drawn.
    }
}

QPixmap fl_main::image(int n) const {
    if (n < 1 || n > int(lst_images_.size()))
        return QPixmap();
    return lst_images_[size_t(n - 1)];
}

void fl_main::closeEvent(QCloseEvent* e) {
    // The unload is never refused.
    e->accept();
    tps_minute.stop();
    garder_taille();
    // A handler further down may still use this window: it is freed when the
    // last one has returned.
    if (occupation_.occupe() && testAttribute(Qt::WA_DeleteOnClose)) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        occupation_.au_repos = [this] { deleteLater(); };
    }
    if (!dechargement_signale_) {
        dechargement_signale_ = true;
        Q_EMIT dechargee();
    }
}

void fl_main::relier_commandes() {
    const struct {
        QAction* action;
        commande c;
    } actions[] = {
        {ui->amaj, commande::mettre_a_jour},
        {ui->adate, commande::date_base},
        {ui->afermer, commande::fermer},
        {ui->aquitter, commande::quitter},
        {ui->cmajauto, commande::majauto},
        {ui->cconnectauto, commande::connexion_auto},
        {ui->cdecauto, commande::deconnexion_auto},
        {ui->cagent, commande::agent},
        {ui->dajout, commande::ajouter_chaine},
        {ui->dsupr, commande::supprimer_chaine},
        {ui->dvide, commande::vider_chaines},
        {ui->drecherche, commande::rechercher},
        {ui->dcesoir, commande::ce_soir},
        {ui->dgrille, commande::grille},
        {ui->bpropos, commande::a_propos},
        {ui->baide, commande::aide},
    };
    for (const auto& a : actions)
        connect(a.action, &QAction::triggered, this, [this, c = a.c] { Q_EMIT commande_choisie(c); });
    const struct {
        QPushButton* bouton;
        commande c;
    } boutons[] = {
        {ui->bt_maj, commande::mettre_a_jour},
        {ui->bt_ajouter, commande::ajouter_chaine},
        {ui->bt_suppr, commande::supprimer_chaine},
    };
    for (const auto& b : boutons)
        connect(b.bouton, &QPushButton::clicked, this, [this, c = b.c] { Q_EMIT commande_choisie(c); });
    connect(ui->lst_chaines, &QTreeWidget::itemClicked, this, &fl_main::chaine_choisie);
    connect(ui->lst_chaines, &QTreeWidget::itemSelectionChanged, this, &fl_main::chaine_choisie);
    connect(ui->lst_prog, &QTreeWidget::itemActivated, this, &fl_main::programme_active);
    connect(ui->lst_prog->header(), &QHeaderView::sectionClicked, this, &fl_main::colonne_cliquee);
    connect(&tps_minute, &QTimer::timeout, this, &fl_main::minute);
    // The window answers its own lists and minute (refills block chaine_choisie).
    connect(this, &fl_main::chaine_choisie, this, [this] { evenement([this] { lst_chaines_ItemClick(); }); });
    connect(this, &fl_main::programme_active, this,
            [this] { evenement([this] { lst_prog_ItemActivated(); }); });
    connect(this, &fl_main::colonne_cliquee, this,
            [this](int colonne) { evenement([&] { lst_prog_ColumnClick(colonne); }); });
    connect(this, &fl_main::minute, this, [this] { evenement([this] { tps_minute_Timer(); }); });
}

template <class F> void fl_main::evenement(F&& f) {
    if (dechargement_signale_)
        return;
    liaison::compteur_occupation::jeton j(occupation_);
    liaison::garde(ctx_, std::forward<F>(f));
}

void fl_main::demarrer_minute() {
    tps_minute.start();
}

void fl_main::cocher_options() {
    const valeurs_options& o = ctx_.options;
    ui->cagent->setChecked(o.opt_agent);
    ui->cconnectauto->setChecked(o.opt_connexion);
    ui->cdecauto->setChecked(o.opt_deconnexion);
    ui->cmajauto->setChecked(o.opt_majauto);
}

void fl_main::ecrire_etat(const QString& texte) {
    composants::ecrire_texte(ui->txt_etat, texte);
}

int fl_main::chaine_selectionnee() const {
    int num = 0;
    for (int i = 0; i < ui->lst_chaines->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* ligne = ui->lst_chaines->topLevelItem(i);
        if (ligne->isSelected())
            num = ligne->data(0, role_num_chaine).toInt();
    }
    return num;
}

int fl_main::premiere_chaine() const {
    const QTreeWidgetItem* ligne = ui->lst_chaines->topLevelItem(0);
    return ligne ? ligne->data(0, role_num_chaine).toInt() : 0;
}

QTreeWidgetItem* fl_main::choisir_ligne_chaine(int num_chaine) {
    QTreeWidget* l = ui->lst_chaines;
    QTreeWidgetItem* it = ligne_chaine(l, num_chaine);
    if (isMinimized())
        showNormal();
    composants::montrer_devant(this);
    if (!it)
        return nullptr;
    {
        // Selected from here, then handled as the click it stands for.
        const QSignalBlocker bloque(l);
        l->clearSelection();
        l->setCurrentItem(it);
        it->setSelected(true);
    }
    l->scrollToItem(it);
    lst_chaines_ItemClick();
    return it;
}

bool fl_main::montrer_chaine(int num_chaine) {
    return choisir_ligne_chaine(num_chaine) != nullptr;
}

bool fl_main::montrer_programme(int num_chaine, qint64 debut) {
    if (!choisir_ligne_chaine(num_chaine))
        return false;
    if (debut == 0)
        return true;
    QTreeWidget* l = ui->lst_prog;
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = l->topLevelItem(i);
        if (it->data(0, role_debut).toLongLong() == debut) {
            l->setCurrentItem(it);
            l->scrollToItem(it, QAbstractItemView::PositionAtCenter);
            l->setFocus();
            return true;
        }
    }
    return false;
}

bool fl_main::montrer_programme(const cible_programme& c) {
    if (!choisir_ligne_chaine(c.chaine))
        return false;
    // A later day's programme is not among the rows: its channel is what is shown.
    if (c.position == 0)
        return true;
    QTreeWidget* lp = ui->lst_prog;
    // The rows show their titles inert.
    const QString titre = texte_inerte(c.titre);
    QTreeWidgetItem* trouve = nullptr;
    for (int i = 0; i < lp->topLevelItemCount() && !trouve; ++i) {
        QTreeWidgetItem* it = lp->topLevelItem(i);
        if (it->data(0, role_position).toInt() == c.position && it->text(3) == titre)
            trouve = it;
    }
    // Stored again since the search read the base: the same title at the same time will do.
    const QString debut = date_heure::depuis_secondes(c.debut).format_hhnn();
    for (int i = 0; i < lp->topLevelItemCount() && !trouve; ++i) {
        QTreeWidgetItem* it = lp->topLevelItem(i);
        if (it->text(1) == debut && it->text(3) == titre)
            trouve = it;
    }
    if (!trouve)
        return false;
    lp->setCurrentItem(trouve);
    lp->scrollToItem(trouve, QAbstractItemView::PositionAtCenter);
    lp->setFocus();
    return true;
}

} // namespace zapo::vues
