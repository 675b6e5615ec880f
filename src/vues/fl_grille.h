#pragma once

#include "composants/fenetre_unique.h"
#include "noyau/contexte.h"
#include "noyau/date_heure.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QHBoxLayout;
class QPushButton;
class QSlider;

namespace zapo::vues {

class vue_grille;

// "Zapo-TV - Grille": every chosen channel down, the kept week across, in
// genre colours. Built in code: all of it but a row of controls is painted.
// Modeless, one at a time, resizable; its place and size are kept in the base.
class fl_grille : public QDialog, public composants::fenetre_unique<fl_grille> {
    Q_OBJECT
public:
    // Shows the channel in the main window.
    using aller_fn = std::function<void(int num_chaine)>;

    // Opens the window scrolled to now, or brings the open one to the front.
    static fl_grille* afficher(contexte& ctx, aller_fn aller);
    ~fl_grille() override;

    vue_grille* grille() const { return grille_; }

public Q_SLOTS:
    // Reads channels, logos, reminders and the days in view again; throws
    // donnees::erreur_base.
    void remplir();
    // Every minute: the present line moves; at midnight the days move on.
    void tps_minute_Timer();

protected:
    void hideEvent(QHideEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    fl_grille(contexte& ctx, aller_fn aller);
    void charger(date_heure debut, date_heure fin);
    void ecrire_jours(date_heure maintenant, int nb_jours);
    void marquer_jour();
    void bouton_jour(int jour);
    void ce_soir();
    void menu_rappel(int chaine, qint64 debut, QPoint ou);
    void lire_rappels();
    void reprendre_place();

    contexte& ctx_;
    aller_fn aller_;
    vue_grille* grille_ = nullptr;
    QHBoxLayout* ligne_jours_ = nullptr;
    QButtonGroup* jours_ = nullptr;
    std::vector<QPushButton*> boutons_jours_;
    // The pressed day's button was already checked: its click alone moves the grid.
    bool jour_deja_coche_ = false;
    QPushButton* bt_ce_soir_ = nullptr;
    QComboBox* cbo_genre_ = nullptr;
    QSlider* zoom_ = nullptr;
    QTimer tps_minute;
};

} // namespace zapo::vues
