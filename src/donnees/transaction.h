#pragma once

#include "donnees/base_programmes.h"

namespace zapo::donnees {

// The one way a change reaches the base. `ecriture` takes the write lock at once
// (BEGIN IMMEDIATE), so that a base another program is writing to refuses before
// anything is read; `lecture` lets several statements see one state of the file
// and take its lock once. Whatever was not committed by valider() is rolled back
// when the guard goes, an exception on the way included. One guard at a time on a
// connection: a second one while the first is open throws erreur_base.
class transaction {
public:
    enum class genre { ecriture, lecture };
    explicit transaction(base_programmes& b, genre g = genre::ecriture);
    ~transaction();
    transaction(const transaction&) = delete;
    transaction& operator=(const transaction&) = delete;

    // Commits. When the commit fails (busy, disk full, a deferred constraint) the
    // changes are rolled back and erreur_base says why; a guard committed or
    // refused is closed: valider() again throws.
    void valider();

private:
    void annuler() noexcept;

    base_programmes& base_;
    bool ouverte_ = false;
};

} // namespace zapo::donnees
