#pragma once

#include "noyau/date_heure.h"
#include "noyau/details.h"
#include "noyau/genres.h"
#include "noyau/grille.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QHash>
#include <QPixmap>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

namespace zapo::vues {

// The time grid itself: channels down, time across, one painted surface. Only
// the blocks in view are laid out and painted; the days are read as they come
// into view (`charger`). Each block is an accessible cell of a table whose
// rows are the channels.
class vue_grille : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct programme {
        QString titre;
        genre_programme genre = genre_programme::autre;
        bool rediffusion = false;
        bool inedit = false;
    };
    struct rangee {
        int num_chaine = 0;
        QString nom;
        int num_image = 0;
        QByteArray image;                 // the channel's own logo, if any
        QPixmap logo;                     // drawn when the row first shows
        std::vector<plage_grille> plages; // sorted by start, one per programme
        std::vector<programme> programmes;
    };

    // Reads [debut, fin) and hands it to ajouter_programmes; called while painting
    // or scrolling, for the days coming into view.
    std::function<void(date_heure debut, date_heure fin)> charger;
    // What a tooltip adds: the programme's details, when they can be read.
    std::function<std::optional<details_programme>(int chaine, date_heure hdeb)> details;

    explicit vue_grille(QWidget* parent = nullptr);
    ~vue_grille() override;

    // New channels and days: programmes already read go; the selection stays
    // on the same programme when it is still there.
    void definir(std::vector<rangee> rangees, date_heure origine, int nb_jours, date_heure maintenant);
    // Programmes read for a channel (any order, repeats of known ones ignored).
    void ajouter_programmes(int num_chaine, std::vector<std::pair<plage_grille, programme>> nouveaux);
    void definir_rappels(QSet<QPair<int, qint64>> rappels);
    void definir_maintenant(date_heure maintenant);
    // Dims every block of another genre; none shows them all.
    void definir_filtre(std::optional<genre_programme> g);
    std::optional<genre_programme> filtre() const { return filtre_; }
    void definir_zoom(int niveau);
    int zoom() const { return zoom_; }

    date_heure origine() const { return origine_; }
    int nb_jours() const { return nb_jours_; }
    // The moment at the left edge of the time area.
    date_heure temps_gauche() const;
    // Scrolls so that `t` is near the left edge, and selects the programme on
    // then (or the next) in the selected row.
    void aller_a(date_heure t);

    // The selection: a row and a programme's start.
    int rangee_choisie() const { return sel_rangee_; }
    std::optional<date_heure> debut_choisi() const { return sel_debut_; }
    const rangee* rangee_de(int r) const;
    int nb_rangees() const { return int(rangees_.size()); }
    // The selected programme's index in its row, -1 when none.
    int index_choisi() const;
    void choisir(int r, int index);

    // "<chaîne>, <jour> de <HH:MM> à <HH:MM>, <titre>, <genre>", then
    // ", rappel prévu" when one is set.
    QString nom_accessible(int r, int index) const;
    // The block's rectangle in the viewport's coordinates (null when out of view).
    QRect rect_bloc(int r, int index) const;
    // The cells in view, as (row, index).
    std::vector<std::pair<int, int>> cellules_visibles() const;
    QAccessibleInterface* cellule(int r, int index);
    bool a_rappel(int r, int index) const;

    static constexpr int largeur_chaines = 180;
    static constexpr int hauteur_regle = 26;
    static constexpr int hauteur_rangee = 44;

Q_SIGNALS:
    void programme_ouvert(int chaine, qint64 debut, const QString& titre);
    void menu_demande(int chaine, qint64 debut, QPoint global);
    void chaine_ouverte(int chaine);
    void jour_change();
    void zoom_change(int niveau);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    echelle_grille echelle(double densite = 1) const;
    double pixels_minute() const;
    void regler_barres();
    void assurer_charge();
    // Reads what [debut, fin) adds to the period read, within the week.
    void charger_entre(date_heure debut, date_heure fin);
    // (row, index) under a viewport point; index -1 on the channel column.
    std::optional<std::pair<int, int>> sous(QPoint p) const;
    void montrer_choix();
    void annoncer();
    void oublier_cellules();
    void deplacer(int dr, int di);
    date_heure fin_affichee(int r, int index) const;

    std::vector<rangee> rangees_;
    QHash<int, int> rang_chaine_; // channel -> row
    date_heure origine_;
    int nb_jours_ = 1;
    date_heure maintenant_;
    date_heure charge_debut_, charge_fin_; // empty when both equal
    int zoom_ = zoom_grille_initial;
    std::optional<genre_programme> filtre_;
    QSet<QPair<int, qint64>> rappels_;
    int sel_rangee_ = 0;
    std::optional<date_heure> sel_debut_;
    std::optional<date_heure> temps_vise_; // the time Up and Down keep
    QHash<QPair<int, qint64>, QAccessible::Id> cellules_;
    int jour_montre_ = -1;
    bool en_charge_ = false;
    bool precharge_prevue_ = false;
};

} // namespace zapo::vues
