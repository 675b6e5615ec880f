#pragma once

#include "composants/fenetre_unique.h"
#include "noyau/contexte.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class fl_ce_soir;
}

namespace zapo::vues {

// "Zapo-TV - Ce soir": the evening programmes of every chosen channel, by the
// panel's own rule. Modeless, one at a time; closing it deletes it.
class fl_ce_soir : public QDialog, public composants::fenetre_unique<fl_ce_soir> {
    Q_OBJECT
public:
    // Shows `num_chaine` in the main window and selects the programme starting at
    // `debut` (date_heure seconds; 0 for a channel's "..." row).
    using aller_fn = std::function<void(int num_chaine, qint64 debut)>;

    // Opens the window, or brings the open one to the front.
    static fl_ce_soir* afficher(contexte& ctx, aller_fn aller);
    ~fl_ce_soir() override;

    // Reads the base again; throws donnees::erreur_base.
    void remplir();
    // Every minute: programmes over drop out. Skipped while an update rewrites the base.
    void tps_minute_Timer();
    // Enter or a double-click on a row. A later evening's programme shows its
    // channel in the main window and itself in "Détails".
    void lst_soir_ItemActivated(QTreeWidgetItem* it);
    // The evening chosen: 0 tonight, k the evening k days from today.
    void cbo_soir_Change();

    // The programme rows (roles in outils_vues.h), for menus installed on them.
    QTreeWidget* liste() const;
    QTimer tps_minute;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    fl_ce_soir(contexte& ctx, aller_fn aller);
    // Every column but "Programme" as wide as its widest text.
    void ajuster_colonnes();

    contexte& ctx_;
    aller_fn aller_;
    std::unique_ptr<Ui::fl_ce_soir> ui_;
    QComboBox* cbo_soir_ = nullptr;
    QComboBox* cbo_genre_ = nullptr;
    int soir_ = 0; // the evening shown, as in cbo_soir
};

} // namespace zapo::vues
