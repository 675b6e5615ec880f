#include "views/fl_details.h"

#include "views/apparence.h"
#include "widgets/dessins.h"
#include "widgets/placement.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zapo::vues {

QPointer<fl_details> fl_details::ouverte_;

fl_details::fl_details(QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zapo-TV - Détails"));
    setWindowIcon(composants::icone_programme());
    colorer_fond(this);
    auto* disposition = new QVBoxLayout(this);
    txt_details_ = new QPlainTextEdit(this);
    txt_details_->setObjectName(QStringLiteral("txt_details"));
    txt_details_->setReadOnly(true);
    // Read-only text still takes the keyboard, so that a screen reader can walk it.
    txt_details_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    txt_details_->setAccessibleName(QStringLiteral("Détails du programme"));
    txt_details_->setFont(police_liste());
    disposition->addWidget(txt_details_);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    if (QPushButton* b = boutons->button(QDialogButtonBox::Close))
        b->setText(QStringLiteral("Fermer"));
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::close);
    disposition->addWidget(boutons);
    resize(460, 340);
}

fl_details::~fl_details() = default;

fl_details* fl_details::ouverte() {
    return ouverte_.data();
}

QString fl_details::texte() const {
    return txt_details_->toPlainText();
}

fl_details* fl_details::afficher(const QString& titre, const details_programme& d, QWidget* parent) {
    if (!ouverte_) {
        ouverte_ = new fl_details(parent);
        composants::centrer(ouverte_);
    }
    const QString t = texte_details(titre, d);
    ouverte_->txt_details_->setPlainText(t);
    ouverte_->txt_details_->setAccessibleDescription(t);
    composants::montrer_devant(ouverte_);
    ouverte_->txt_details_->setFocus();
    return ouverte_;
}

} // namespace zapo::vues
