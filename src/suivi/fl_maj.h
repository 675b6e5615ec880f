#pragma once

#include "maj/maj_programmes.h"

#include <QDialog>

#include <memory>

namespace Ui {
class fl_maj;
}

namespace zapo::suivi {

// The update's progress window. The run writes the bars and txt_cours through
// the methods below, which also report each write (the tests read them).
class fl_maj : public QDialog, public maj::suivi_maj {
    Q_OBJECT
    std::unique_ptr<Ui::fl_maj> ui_;

public:
    explicit fl_maj(QWidget* parent = nullptr);
    ~fl_maj() override;

    void ecrire_progres1(float valeur) override;
    void ecrire_progres2(float valeur) override;
    float valeur_progres2() const override { return valeur2_; }
    void ecrire_cours(const QString& texte) override;
    void sur_interruption(std::function<void()> f) override { sur_interruption_ = std::move(f); }

    // While the run goes, closing asks the run to stop instead of closing.
    void commencer_run(bool* arret_demande);
    // The run is over: the window may close now.
    void finir_run();
    bool run_en_cours() const { return arret_ != nullptr; }

    // Stops the run, and the transfer under way at once.
    void bt_annuler_Click();
    // The program is ending: the same as "Annuler".
    void interrompre();

Q_SIGNALS:
    // barre: 1 for progres1, 2 for progres2.
    void progres_ecrit(int barre, float valeur);
    void cours_ecrit(const QString& texte);

protected:
    void closeEvent(QCloseEvent* e) override;

public:
    // Escape behaves as the frame's close box.
    void reject() override;

private:
    bool* arret_ = nullptr;
    float valeur2_ = 0;
    std::function<void()> sur_interruption_;
};

} // namespace zapo::suivi
