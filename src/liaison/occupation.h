#pragma once

#include <functional>
#include <memory>

namespace zapo::liaison {

// Counts the event handlers under way on one owner (a window, the application).
// A nested event loop (a box, a run) keeps the handlers below it open: the owner
// must not be freed until the count is back to zero. A count may add itself to a
// wider one, so that the application also counts its windows' handlers.
class compteur_occupation {
    // Shared with the tokens: a handler may outlive its owner (a box's loop where the
    // window is freed), and its token then leaves a count nobody reads any more.
    struct etat {
        int n = 0;
        std::shared_ptr<etat> englobant;
        compteur_occupation* proprietaire = nullptr;
    };

public:
    explicit compteur_occupation(compteur_occupation* englobant = nullptr) : etat_(std::make_shared<etat>()) {
        etat_->proprietaire = this;
        rattacher(englobant);
    }
    ~compteur_occupation() { etat_->proprietaire = nullptr; }
    compteur_occupation(const compteur_occupation&) = delete;
    compteur_occupation& operator=(const compteur_occupation&) = delete;

    // Held while one handler runs.
    class jeton {
    public:
        explicit jeton(compteur_occupation& c) : e_(c.etat_) { entrer(*e_); }
        ~jeton() { sortir(*e_); }
        jeton(const jeton&) = delete;
        jeton& operator=(const jeton&) = delete;

    private:
        std::shared_ptr<etat> e_;
    };

    bool occupe() const { return etat_->n > 0; }
    int profondeur() const { return etat_->n; }
    void rattacher(compteur_occupation* englobant) {
        etat_->englobant = englobant ? englobant->etat_ : nullptr;
    }
    // Called each time the last handler under way returns, while the owner lives.
    std::function<void()> au_repos;

private:
    static void entrer(etat& e) {
        ++e.n;
        if (e.englobant)
            entrer(*e.englobant);
    }
    static void sortir(etat& e) {
        // The wider count first: what this one's rest frees no longer counts there.
        const auto englobant = e.englobant;
        if (englobant)
            sortir(*englobant);
        if (--e.n == 0 && e.proprietaire && e.proprietaire->au_repos)
            e.proprietaire->au_repos();
    }

    std::shared_ptr<etat> etat_;
};

} // namespace zapo::liaison
