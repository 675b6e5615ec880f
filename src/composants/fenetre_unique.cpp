#include "composants/fenetre_unique.h"

#include <algorithm>
#include <vector>

namespace zapo::composants {

namespace {

std::vector<QPointer<QWidget>>& uniques() {
    static std::vector<QPointer<QWidget>> liste;
    return liste;
}

} // namespace

void inscrire_fenetre_unique(QWidget* w) {
    auto& l = uniques();
    // Windows closed and freed meanwhile leave no trace.
    l.erase(std::remove_if(l.begin(), l.end(), [](const QPointer<QWidget>& p) { return p.isNull(); }),
            l.end());
    l.emplace_back(w);
}

void fermer_fenetres_uniques() {
    // Swapped out first: a window freed here may free another one it owns.
    std::vector<QPointer<QWidget>> l;
    l.swap(uniques());
    for (auto& p : l)
        delete p.data();
}

} // namespace zapo::composants
