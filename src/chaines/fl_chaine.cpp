#include "chaines/fl_chaine.h"

#include "ui_fl_chaine.h"

#include "composants/dessin_fixe.h"
#include "composants/dessins.h"
#include "composants/placement.h"
#include "liaison/garde.h"
#include "modele/guide.h"

#include <QShortcut>

#include <algorithm>

namespace zapo::chaines {

fl_chaine::fl_chaine(contexte& ctx, std::vector<QPixmap> images)
    : QDialog(nullptr), ui_(std::make_unique<Ui::fl_chaine>()), ctx_(ctx), images_(std::move(images)) {
    ui_->setupUi(this);
    // Drawn at fixed places: the drawing's font, not the desktop's.
    composants::fixer_police(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // Fixed single border, no minimize or maximize button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(326, 264);
    auto brancher = [this](QPushButton* b, void (fl_chaine::*action)()) {
        connect(b, &QPushButton::clicked, this,
                [this, action] { liaison::garde(ctx_, [&] { (this->*action)(); }); });
    };
    brancher(ui_->bt_preced, &fl_chaine::bt_preced_Click);
    brancher(ui_->bt_suiv, &fl_chaine::bt_suiv_Click);
    brancher(ui_->bt_ok, &fl_chaine::bt_ok_Click);
    brancher(ui_->bt_annuler, &fl_chaine::bt_annuler_Click);
    // Without a mouse the arrows turn the pictures, wherever the focus is (the
    // list only moves up and down).
    auto fleche = [this](Qt::Key touche, void (fl_chaine::*action)()) {
        auto* raccourci = new QShortcut(QKeySequence(touche), this);
        connect(raccourci, &QShortcut::activated, this,
                [this, action] { liaison::garde(ctx_, [&] { (this->*action)(); }); });
    };
    fleche(Qt::Key_Left, &fl_chaine::bt_preced_Click);
    fleche(Qt::Key_Right, &fl_chaine::bt_suiv_Click);
}

fl_chaine::~fl_chaine() = default;

fl_chaine* fl_chaine::afficher(contexte& ctx, const std::vector<QPixmap>& images) {
    if (auto* f = ramener())
        return f;
    std::unique_ptr<fl_chaine> f(new fl_chaine(ctx, images));
    f->Form_Load();
    presenter(f.get());
    f->ui_->bt_annuler->setFocus();
    return f.release();
}

void fl_chaine::Form_Load() {
    ui_->lst_dispo->clear();
    for (const auto& m : modele::guide_de(ctx_).catalogue())
        ui_->lst_dispo->addItem(m.nom);
    image_courante = 1;
    nb_images = int(images_.size());
    montrer_image();
}

void fl_chaine::montrer_image() {
    if (image_courante >= 1 && image_courante <= nb_images)
        ui_->img->setPixmap(images_[size_t(image_courante - 1)]);
    else
        ui_->img->clear();
    ui_->img->setAccessibleName(QStringLiteral("Logo %1 sur %2").arg(image_courante).arg(nb_images));
}

void fl_chaine::bt_preced_Click() {
    --image_courante;
    if (image_courante <= 0)
        image_courante = std::max(nb_images, 1);
    montrer_image();
}

void fl_chaine::bt_suiv_Click() {
    ++image_courante;
    if (image_courante > nb_images)
        image_courante = 1;
    montrer_image();
}

void fl_chaine::bt_annuler_Click() {
    close();
}

void fl_chaine::bt_ok_Click() {
    const auto choix = ui_->lst_dispo->selectedItems();
    const QString nom = choix.isEmpty() ? QString() : choix.constFirst()->text();
    if (nom.isEmpty())
        return;
    // The window goes before the windows showing channels hear of the new one;
    // the context outlives it.
    contexte& ctx = ctx_;
    const bilan_ajout bilan =
        modele::guide_de(ctx).ajouter_du_catalogue(nom, image_courante, [this] { close(); });
    switch (bilan.resultat) {
    case resultat_ajout::deja_presente:
        ctx_.boites->afficher(QStringLiteral("zapo-TV"), QStringLiteral("Cette chaine est déjà presente."),
                              icone_boite::information);
        return;
    case resultat_ajout::numeros_epuises:
        ctx_.boites->afficher(
            QStringLiteral("Zapo-TV"),
            QStringLiteral(
                "La chaine n'a pas été ajoutée : les numéros de chaine sont épuisés (le plus grand "
                "possible, %1, est déjà attribué).\rVidez la liste des chaines puis ajoutez de nouveau "
                "vos chaines : elles seront renumérotées.")
                .arg(num_chaine_max),
            icone_boite::exclamation);
        return;
    case resultat_ajout::ajoutee:
        break;
    }
    // The main window closed meanwhile comes back to show it (its load reads the channels).
    if (ctx.appli)
        ctx.appli->charger_fenetre();
}

} // namespace zapo::chaines
