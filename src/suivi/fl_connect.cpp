#include "suivi/fl_connect.h"

#include "ui_fl_connect.h"

#include "composants/dessin_fixe.h"
#include "liaison/garde.h"

namespace zapo::suivi {

fl_connect::fl_connect(contexte& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::fl_connect>()), ctx_(ctx) {
    ui_->setupUi(this);
    // Drawn at fixed places: the drawing's font, not the desktop's.
    composants::fixer_police(this);
    // The keyboard starts on the default answer, first in the Tab order.
    ui_->bt_oui->setFocus();
    // Form_Load
    compte_rebours = 10;
    reponse_connexion = maj::reponse::aucune;
    tps_non.setInterval(1000);
    connect(ui_->bt_oui, &QPushButton::clicked, this,
            [this] { liaison::garde(ctx_, [this] { bt_oui_Click(); }); });
    connect(ui_->bt_non, &QPushButton::clicked, this,
            [this] { liaison::garde(ctx_, [this] { bt_non_Click(); }); });
    connect(&tps_non, &QTimer::timeout, this, [this] { liaison::garde(ctx_, [this] { tps_non_Timer(); }); });
    tps_non.start();
}

fl_connect::~fl_connect() = default;

void fl_connect::bt_oui_Click() {
    reponse_connexion = maj::reponse::oui;
    if (ui_->vf_mem->isChecked()) {
        ctx_.options.opt_connexion = true;
        // The answer stands even if saving fails; the hook reports its own trouble.
        fermer();
        if (ctx_.appli)
            ctx_.appli->enregistrer_options();
        return;
    }
    fermer();
}

void fl_connect::bt_non_Click() {
    reponse_connexion = maj::reponse::non;
    fermer();
}

void fl_connect::tps_non_Timer() {
    if (compte_rebours <= 0)
        return;
    compte_rebours -= 1;
    ui_->bt_non->setText(QStringLiteral("NON (%1)").arg(compte_rebours));
    if (compte_rebours == 0) {
        reponse_connexion = maj::reponse::non;
        fermer();
    }
}

void fl_connect::fermer() {
    done(QDialog::Accepted);
}

void fl_connect::done(int r) {
    // The close box and Escape answer nothing: reponse_connexion stays as it is (aucune).
    tps_non.stop();
    QDialog::done(r);
}

maj::reponse demander_connexion(contexte& ctx, QWidget* parent) {
    fl_connect f(ctx, parent);
    f.setWindowModality(Qt::ApplicationModal);
    f.exec();
    return f.reponse_connexion;
}

} // namespace zapo::suivi
