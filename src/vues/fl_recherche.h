#pragma once

#include "noyau/contexte.h"
#include "noyau/recherche.h"

#include "composants/fenetre_unique.h"
#include "vues/outils_vues.h"

#include <QComboBox>
#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class fl_recherche;
}

namespace zapo::vues {

// Result rows carry on column 0 the roles every programme list carries
// (vues/outils_vues.h): channel, start, and the place among the channel's rows.

// "Zapo-TV - Rechercher": modeless, without owner, at most one open at a time.
// The list follows the field at each keystroke.
class fl_recherche : public QDialog, public composants::fenetre_unique<fl_recherche> {
    Q_OBJECT
    std::unique_ptr<Ui::fl_recherche> ui_;

public:
    // What Enter or a double click on a row asks for.
    using aller_programme = std::function<void(const cible_programme&)>;

    // Most rows shown at once; the status line still counts every match.
    static constexpr qsizetype plafond = 500;

    ~fl_recherche() override;

    // Opens the window, or brings the open one to the front as it is.
    // A failed read of the base throws and shows nothing.
    static fl_recherche* afficher(contexte& ctx, aller_programme aller);

    // Reads the base again, then searches anew.
    void remplir();
    // Fills the list for the field's text.
    void chercher();
    // The result list, for the menus other windows put on programme rows.
    QTreeWidget* liste() const;

    // "Aucun programme trouvé", "1 234 programmes trouvés"...; empty for an empty field.
    static QString texte_etat(qsizetype total, qsizetype montres, bool champ_vide);

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    fl_recherche(contexte& ctx, aller_programme aller);
    void ouvrir(const QTreeWidgetItem* ligne);

    contexte& ctx_;
    aller_programme aller_;
    index_recherche index_;
    QComboBox* cbo_genre_ = nullptr;
};

} // namespace zapo::vues
