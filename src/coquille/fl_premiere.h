#pragma once

#include "noyau/contexte.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>

#include <array>
#include <functional>
#include <memory>

namespace Ui {
class fl_premiere;
}

namespace zapo::coquille {

// The first-run questions. OK applies the answers and the autostart choice;
// closed any other way, the proposals stay and autostart is left alone.
class fl_premiere : public QDialog {
    Q_OBJECT
    std::unique_ptr<Ui::fl_premiere> ui_;

public:
    ~fl_premiere() override;
    fl_premiere(contexte& ctx, std::function<void()> inscrire, std::function<void()> retirer,
                QWidget* parent = nullptr);

    std::array<QCheckBox*, 4> choix{};
    std::array<QLabel*, 6> Label2{};
    std::array<QLabel*, 4> Label3{};

    void Form_Load();
    void bt_ok_Click();

    // A check box's value for an option: 1 ticked, 0 not.
    static int valeur_case(bool option) { return option ? 1 : 0; }

private:
    contexte& ctx_;
    std::function<void()> inscrire_;
    std::function<void()> retirer_;
};

} // namespace zapo::coquille
