#include "vues/fl_mots.h"

#include "ui_fl_mots.h"

#include "noyau/rappels.h"

#include <QPushButton>

namespace zapo::vues {

fl_mots::~fl_mots() = default;

fl_mots::fl_mots(const QStringList& mots, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::fl_mots>()) {
    ui_->setupUi(this);
    ui_->boutons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    ui_->boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    ui_->txt_mots->setPlainText(mots.join(QLatin1Char('\n')));
    ui_->txt_mots->setFocus();
}

QStringList fl_mots::mots() const {
    return nettoyer_mots(ui_->txt_mots->toPlainText().split(QLatin1Char('\n')));
}

} // namespace zapo::vues
