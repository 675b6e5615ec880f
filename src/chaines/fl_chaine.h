#pragma once

#include "donnees/catalogue.h"
#include "noyau/contexte.h"

#include "composants/fenetre_unique.h"

#include <QDialog>
#include <QPixmap>
#include <memory>
#include <vector>

namespace Ui {
class fl_chaine;
}

namespace zapo::chaines {

using donnees::bilan_ajout;
using donnees::num_chaine_max;
using donnees::resultat_ajout;

// "Ajouter une chaine": modeless, without owner, at most one open at a time.
class fl_chaine : public QDialog, public composants::fenetre_unique<fl_chaine> {
    Q_OBJECT
public:
    ~fl_chaine() override;

    // Opens the dialog, or brings the open one to the front without reloading it.
    // The logos are the main window's; a failed load throws and shows nothing.
    static fl_chaine* afficher(contexte& ctx, const std::vector<QPixmap>& images);

    int image_courante = 1;
    int nb_images = 0;

    void bt_preced_Click();
    void bt_suiv_Click();
    void bt_ok_Click();
    void bt_annuler_Click();

private:
    fl_chaine(contexte& ctx, std::vector<QPixmap> images);
    void Form_Load();
    void montrer_image();

    std::unique_ptr<Ui::fl_chaine> ui_;
    contexte& ctx_;
    std::vector<QPixmap> images_;
};

} // namespace zapo::chaines
