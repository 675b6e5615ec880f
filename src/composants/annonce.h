#pragma once

#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

namespace zapo::composants {

// Where announcements go: Qt's accessibility layer, which passes them to the
// desktop's screen reader when one listens (the tests listen here instead).
inline void (*diffuser_annonce)(QAccessibleEvent*) = &QAccessible::updateAccessibility;

// A label's new text is not told to screen readers by Qt itself: say it.
inline void annoncer_nom(QLabel* l) {
    QAccessibleEvent e(l, QAccessible::NameChanged);
    diffuser_annonce(&e);
}

// Shows a text and, when it is new, has it read.
inline void ecrire_texte(QLabel* l, const QString& texte) {
    if (l->text() == texte)
        return;
    l->setText(texte);
    annoncer_nom(l);
}

// Labels rewritten in one pass (emptied, then filled): at the end of the pass
// only those whose text really changed are announced, so that a refresh that
// changes nothing stays silent.
class releve_textes {
public:
    releve_textes(std::initializer_list<QLabel*> labels) {
        for (QLabel* l : labels)
            avant_.emplace_back(l, l->text());
    }
    ~releve_textes() {
        for (const auto& [l, texte] : avant_)
            if (l && l->text() != texte)
                annoncer_nom(l);
    }
    releve_textes(const releve_textes&) = delete;
    releve_textes& operator=(const releve_textes&) = delete;

private:
    std::vector<std::pair<QPointer<QLabel>, QString>> avant_;
};

} // namespace zapo::composants
