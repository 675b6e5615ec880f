#pragma once

#include <functional>

namespace zapo::liaison {

// Counts the event handlers under way on one owner (a window, the application).
// A nested event loop (a box, a run) keeps the handlers below it open: the owner
// must not be freed until the count is back to zero. A count may add itself to a
// wider one, so that the application also counts its windows' handlers.
class compteur_occupation {
public:
    explicit compteur_occupation(compteur_occupation* englobant = nullptr) : englobant_(englobant) {}
    compteur_occupation(const compteur_occupation&) = delete;
    compteur_occupation& operator=(const compteur_occupation&) = delete;

    // Held while one handler runs.
    class jeton {
    public:
        explicit jeton(compteur_occupation& c) : c_(c) { c_.entrer(); }
        ~jeton() { c_.sortir(); }
        jeton(const jeton&) = delete;
        jeton& operator=(const jeton&) = delete;

    private:
        compteur_occupation& c_;
    };

    bool occupe() const { return n_ > 0; }
    int profondeur() const { return n_; }
    void rattacher(compteur_occupation* englobant) { englobant_ = englobant; }
    // Called each time the last handler under way returns.
    std::function<void()> au_repos;

private:
    void entrer() {
        ++n_;
        if (englobant_)
            englobant_->entrer();
    }
    void sortir() {
        // The wider count first: what this one's rest frees no longer counts there.
        if (englobant_)
            englobant_->sortir();
        if (--n_ == 0 && au_repos)
            au_repos();
    }

    compteur_occupation* englobant_ = nullptr;
    int n_ = 0;
};

} // namespace zapo::liaison
