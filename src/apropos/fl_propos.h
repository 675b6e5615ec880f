#pragma once

#include "apropos/liens.h"
#include "composants/fenetre_unique.h"
#include "noyau/contexte.h"

#include <QDialog>

#include <memory>

namespace Ui {
class fl_propos;
}

namespace zapo::apropos {

// The about box: borderless, centred, modeless, one at a time; OK closes it.
class fl_propos : public QDialog, public composants::fenetre_unique<fl_propos> {
    Q_OBJECT
    std::unique_ptr<Ui::fl_propos> ui_;

public:
    ~fl_propos() override;

    // Opens the box, or brings the open one to the front. `ouvrir` hands the
    // mail and web links to the desktop.
    static fl_propos* afficher(contexte& ctx, apropos::ouvreur_liens ouvrir = apropos::ouvrir_par_le_bureau);

    void Form_Load();
    void bt_ok_Click();
    void mail_Click();
    void site_Click();

private:
    fl_propos(contexte& ctx, apropos::ouvreur_liens ouvrir);

    contexte& ctx_;
    apropos::ouvreur_liens ouvrir_;
};

} // namespace zapo::apropos
