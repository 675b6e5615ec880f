#include "coquille/fl_premiere.h"

#include "ui_fl_premiere.h"

#include "composants/dessin_fixe.h"
#include "composants/dessins.h"
#include "composants/placement.h"

namespace zapo::coquille {

fl_premiere::~fl_premiere() = default;

fl_premiere::fl_premiere(contexte& ctx, std::function<void()> inscrire, std::function<void()> retirer,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::fl_premiere>()),
      ctx_(ctx), inscrire_(std::move(inscrire)), retirer_(std::move(retirer)) {
    ui_->setupUi(this);
    choix = {ui_->choix_0, ui_->choix_1, ui_->choix_2, ui_->choix_3};
    Label2 = {ui_->Label2_0, ui_->Label2_1, ui_->Label2_2, ui_->Label2_3, ui_->Label2_4, ui_->Label2_5};
    Label3 = {ui_->Label3_0, ui_->Label3_1, ui_->Label3_2, ui_->Label3_3};
    setFixedSize(size());
    // The blue background and white texts through the palette: a style sheet on
    // the dialog would leave its tick boxes and button to the desktop's theme.
    ui_->Label1->setStyleSheet(QStringLiteral("color: rgb(255, 255, 0);"));
    ui_->Shape2->setStyleSheet(
        QStringLiteral("QFrame#Shape2 { border: 2px solid rgb(128, 128, 255); border-radius: 8px; }"));
    // Drawn at fixed places and colours: the drawing's font, and light controls
    // on the blue background whatever the desktop's theme.
    composants::fixer_police(this);
    composants::palette_fixe(this, QColor(0, 0, 160), Qt::white);
    ui_->Image1->setPixmap(composants::icone_programme().pixmap(48, 48));
    setAccessibleName(QStringLiteral("Zapo-TV - Initialisation"));
    composants::centrer(this);
    connect(ui_->bt_ok, &QPushButton::clicked, this, [this] { bt_ok_Click(); });
    Form_Load();
}

void fl_premiere::Form_Load() {
    auto& g = ctx_.options;
    g.opt_majauto = true;
    g.opt_connexion = false;
    g.opt_deconnexion = false;
    g.opt_agent = false;
    const bool options[4] = {g.opt_majauto, g.opt_connexion, g.opt_deconnexion, g.opt_agent};
    for (size_t i = 0; i < 4; ++i)
        choix[i]->setCheckState(valeur_case(options[i]) ? Qt::Checked : Qt::Unchecked);
}

void fl_premiere::bt_ok_Click() {
    auto& g = ctx_.options;
    g.opt_majauto = choix[0]->isChecked();
    g.opt_connexion = choix[1]->isChecked();
    g.opt_deconnexion = choix[2]->isChecked();
    g.opt_agent = choix[3]->isChecked();
    if (g.opt_agent) {
        if (inscrire_)
            inscrire_();
    } else if (retirer_) {
        retirer_();
    }
    accept();
}

} // namespace zapo::coquille
