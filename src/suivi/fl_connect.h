#pragma once

#include "maj/maj_programmes.h"
#include "noyau/contexte.h"

#include <QDialog>
#include <QTimer>

#include <memory>

namespace Ui {
class fl_connect;
}

namespace zapo::suivi {

// "Une connexion à Internet est requise.": asks whether to dial, answers no by
// itself after ten seconds. Its answer is reponse_connexion.
class fl_connect : public QDialog {
    Q_OBJECT
    std::unique_ptr<Ui::fl_connect> ui_;

public:
    explicit fl_connect(contexte& ctx, QWidget* parent = nullptr);
    ~fl_connect() override;

    QTimer tps_non;
    int compte_rebours = 10;
    maj::reponse reponse_connexion = maj::reponse::aucune;

    void bt_oui_Click();
    void bt_non_Click();
    void tps_non_Timer();

    // Every way out (buttons, countdown, close box, Escape) stops the countdown.
    void done(int r) override;

private:
    void fermer();
    contexte& ctx_;
};

// Opens the prompt modally and gives its answer.
maj::reponse demander_connexion(contexte& ctx, QWidget* parent);

} // namespace zapo::suivi
