#include "suivi/fl_maj.h"

#include "ui_fl_maj.h"

#include "composants/annonce.h"
#include "composants/dessin_fixe.h"

#include <QCloseEvent>

#include <cmath>

namespace zapo::suivi {

fl_maj::fl_maj(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::fl_maj>()) {
    ui_->setupUi(this);
    // Drawn at fixed places: the drawing's font, not the desktop's.
    composants::fixer_police(this);
    // White behind the current operation, whatever the style.
    QPalette p = ui_->txt_cours->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    ui_->txt_cours->setPalette(p);
    // Channel names come from the user and from catalogues: never markup.
    ui_->txt_cours->setTextFormat(Qt::PlainText);
    connect(ui_->bt_annuler, &QPushButton::clicked, this, &fl_maj::bt_annuler_Click);
}

fl_maj::~fl_maj() = default;

void fl_maj::ecrire_progres1(float valeur) {
    ui_->progres1->setValue(int(std::lround(std::clamp(valeur, 0.0f, 100.0f))));
    Q_EMIT progres_ecrit(1, valeur);
}

void fl_maj::ecrire_progres2(float valeur) {
    valeur2_ = valeur;
    ui_->progres2->setValue(int(std::lround(std::clamp(valeur, 0.0f, 100.0f))));
    Q_EMIT progres_ecrit(2, valeur);
}

void fl_maj::ecrire_cours(const QString& texte) {
    composants::ecrire_texte(ui_->txt_cours, texte);
    Q_EMIT cours_ecrit(texte);
}

void fl_maj::commencer_run(bool* arret_demande) {
    arret_ = arret_demande;
}

void fl_maj::finir_run() {
    arret_ = nullptr;
}

void fl_maj::bt_annuler_Click() {
    if (arret_)
        *arret_ = true;
    ui_->bt_annuler->setEnabled(false);
    // The transfer under way stops now, not when the server next sends something.
    if (sur_interruption_)
        sur_interruption_();
}

void fl_maj::interrompre() {
    bt_annuler_Click();
}

void fl_maj::closeEvent(QCloseEvent* e) {
    if (run_en_cours()) {
        // The run is in the middle of its work: stop it, and let it close us.
        bt_annuler_Click();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void fl_maj::reject() {
    if (run_en_cours()) {
        bt_annuler_Click();
        return;
    }
    QDialog::reject();
}

} // namespace zapo::suivi
