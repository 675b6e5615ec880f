#pragma once

#include "liaison/occupation.h"
#include "noyau/contexte.h"
#include "vues/outils_vues.h"

#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QTimer>

#include <memory>
#include <vector>

class QLabel;

namespace Ui {
class fl_main;
}

namespace zapo::composants {
class ancrage;
}

namespace zapo::vues {

// The main window's title: "Zapo-TV  2.1.8".
QString titre_fenetre();

// The main window. Its controls keep the names drawn on the form as object names; only
// this class touches them. It is unloaded, never hidden: closing it emits `dechargee`
// and deletes it, once none of its handlers is under way (see occupation()).
// Its lists and its minute run its own handlers, inside the error boundary. Its procedures read through
// modele::guide, never the base itself; a failure to read raises donnees::erreur_base for the calling event
// to report.
class fl_main : public QMainWindow {
    Q_OBJECT
public:
    // What the menus and buttons ask of the application around the window.
    enum class commande {
        mettre_a_jour, // "Mettre à jour" (menu and button)
        date_base,
        fermer,
        quitter,
        majauto,
        connexion_auto,
        deconnexion_auto,
        agent,
        ajouter_chaine,   // menu and button
        supprimer_chaine, // menu and button
        vider_chaines,
        rechercher,
        ce_soir,
        grille, // "Grille des programmes"
        a_propos,
        aide,
    };
    Q_ENUM(commande)

    explicit fl_main(contexte& ctx, QWidget* parent = nullptr);
    ~fl_main() override;

    // Sixteen 48 x 35 channel logos, numbered from 1.
    const std::vector<QPixmap>& lst_images() const { return lst_images_; }
    // Three 16 x 16 marks; the third marks the programme on now.
    const std::vector<QIcon>& lst_icone() const { return lst_icone_; }
    // Logo n (1-based) or a null pixmap when n is out of range.
    QPixmap image(int n) const;
    // Closed once: a window kept alive a little longer is never shown again.
    bool est_dechargee() const { return dechargement_signale_; }
    // Its handlers under way, and whatever else holds the window across a nested
    // event loop (the application's commands): a window closed meanwhile waits
    // for the count to come back to zero before it is freed.
    liaison::compteur_occupation& occupation() { return occupation_; }

    // Rebuilds the whole window: ticks, caption, lists, status, due update, panel.
    // `apres_affichage` (a window not shown yet): the window is shown with its
    // channels, and the programmes and the panel come on the first turn after its first paint.
    void rafraichir_fenetre(bool apres_affichage = false);
    void remplir_chaines();
    // Marks the rows of channels whose last update failed or brought nothing (tooltip and
    // accessible description), and clears the mark of the others.
    void marquer_sante();
    void remplir_programmes();
    void choix_chaine();
    void lst_chaines_ItemClick();
    void lst_prog_ColumnClick(int colonne);
    // Enter or a double-click on a programme: "Zapo-TV - Détails".
    void lst_prog_ItemActivated();
    void affiche_actuel();
    void affiche_date();
    void tps_minute_Timer();
    // Starts the minute's tick (tps_minute); closing the window stops it.
    void demarrer_minute();

    // The reminders' context menu on lst_prog, and "Prévenir avant le début" (0, 5,
    // 10, 15 minutes) and "Mots favoris..." in "Option".
    void ajouter_menus_rappels();
    // Ticks the choice kept in the base.
    void cocher_minutes_avant();
    // The bells of lst_prog, after the reminders changed.
    void marquer_rappels();
    // The four option ticks, as the options stand.
    void cocher_options();
    // The status line.
    void ecrire_etat(const QString& texte);

    // The channel whose programmes are listed (1: none yet).
    int chaine_courante() const { return chaine_courante_; }
    // The selected channel (the last selected line wins), 0 when none is.
    int chaine_selectionnee() const;
    // The channel on the first line of the list, 0 when the list is empty.
    int premiere_chaine() const;

    // Brings the window forward with this channel shown as a click on its row
    // would. False when the channel is not listed.
    bool montrer_chaine(int num_chaine);
    // The same, then selects the channel's programme that starts at `debut`
    // (date_heure seconds; 0: the channel only).
    bool montrer_programme(int num_chaine, qint64 debut);
    // The same for a search result: its place among the channel's rows, else the
    // same title at the same time. False when the channel or the programme is gone.
    bool montrer_programme(const cible_programme& c);

    // The size the user left the window at, read once before it first shows.
    void reprendre_taille();

Q_SIGNALS:
    void dechargee();
    void commande_choisie(zapo::vues::fl_main::commande c);
    // A click on a channel, or the keyboard choosing one (refills stay silent).
    void chaine_choisie();
    // Enter or a double-click on a programme.
    void programme_active();
    void colonne_cliquee(int colonne);
    // tps_minute
    void minute();
    // Once, on the first turn of the event loop after the window's first paint
    // (after its deferred fill): what the first frame does not need starts here.
    void premiere_peinture();

protected:
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    bool remplir_apres_peinture_ = false;
    // One of its own handlers: counted, in the error boundary, never once unloaded.
    template <class F> void evenement(F&& f);
    bool peinte_ = false;
    // What the window shows follows what the guide says changed.
    void ecouter_guide();
    void relier_commandes();
    // The controls follow the window's size: see placer_controles in fl_main.cpp.
    void placer_controles();
    void ajuster_colonnes();
    // The empty channel list says how to fill it.
    void montrer_aide_vide();
    // Kept in the base when the window goes, if it changed.
    void garder_taille();
    QTreeWidgetItem* choisir_ligne_chaine(int num_chaine);

    std::unique_ptr<Ui::fl_main> ui;
    contexte& ctx_;
    std::vector<QPixmap> lst_images_;
    std::vector<QIcon> lst_icone_;
    QTimer tps_minute;
    int chaine_courante_ = 1;
    bool dechargement_signale_ = false;
    liaison::compteur_occupation occupation_;
    composants::ancrage* ancrage_ = nullptr;
    QLabel* aide_vide_ = nullptr;
    bool taille_reprise_ = false;
    QSize taille_lue_;
};

} // namespace zapo::vues
