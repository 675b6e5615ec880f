#include "views/fl_mots.h"

#include "core/rappels.h"

#include <QPushButton>

namespace zapo::vues {

fl_mots::fl_mots(const QStringList& mots, QWidget* parent) : QDialog(parent) {
    setupUi(this);
    boutons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    txt_mots->setPlainText(mots.join(QLatin1Char('\n')));
    txt_mots->setFocus();
}

QStringList fl_mots::mots() const {
    return nettoyer_mots(txt_mots->toPlainText().split(QLatin1Char('\n')));
}

} // namespace zapo::vues
