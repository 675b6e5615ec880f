#pragma once

#include "composants/placement.h"

#include <QPointer>
#include <QWidget>

namespace zapo::composants {

// Registers a window shown one at a time, so that the end of the program frees it.
void inscrire_fenetre_unique(QWidget* w);
// Frees every such window still open (they hold the program's context): at quit.
void fermer_fenetres_uniques();

// A window of which at most one is open: asking again brings that one to the
// front. F derives from it: `class fl_x : public QDialog, public fenetre_unique<fl_x>`.
template <class F> class fenetre_unique {
public:
    // The open one, or nullptr.
    static F* ouverte() { return ouverte_.data(); }

protected:
    // The open one brought to the front, or nullptr when none is open.
    static F* ramener() {
        if (ouverte_)
            montrer_devant(ouverte_);
        return ouverte_.data();
    }
    // A window just built (and filled): the open one until it is freed, placed in
    // the middle of the screen. `presenter` also shows it in front.
    static F* retenir(F* f) {
        ouverte_ = f;
        inscrire_fenetre_unique(f);
        centrer(f);
        return f;
    }
    static F* presenter(F* f) {
        retenir(f);
        montrer_devant(f);
        return f;
    }

private:
    static inline QPointer<F> ouverte_;
};

} // namespace zapo::composants
