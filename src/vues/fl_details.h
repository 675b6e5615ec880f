#pragma once

#include "composants/fenetre_unique.h"
#include "noyau/contexte.h"
#include "noyau/date_heure.h"
#include "noyau/details.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zapo::vues {

// "Zapo-TV - Détails": all that is known of one kept programme (its channel,
// day, start, end, length, marks and details), as one read-only text a screen
// reader reads in full, and "Me prévenir" / "Ne plus me prévenir". Modeless,
// one at a time: opening it for another programme replaces its text. Échap
// closes it.
class fl_details : public QDialog, public composants::fenetre_unique<fl_details> {
    Q_OBJECT
public:
    // The programme of `chaine` starting at `hdeb`, of any kept day. A programme
    // no longer kept shows `titre` and says it has no details. Throws
    // donnees::erreur_base when the base cannot be read.
    static fl_details* afficher(contexte& ctx, int chaine, date_heure hdeb, const QString& titre,
                                QWidget* parent = nullptr);
    ~fl_details() override;

    QString texte() const;
    // The reminder button: its text says what it does.
    void btn_rappel_Click();

private:
    fl_details(contexte& ctx, QWidget* parent);
    void ecrire_bouton();

    contexte& ctx_;
    QPlainTextEdit* txt_details_;
    QPushButton* btn_rappel_;
    int chaine_ = 0;
    qint64 debut_ = 0;
    bool peut_prevenir_ = false;
};

} // namespace zapo::vues
