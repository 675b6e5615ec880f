#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace zapo::composants {

// Controls drawn at fixed positions in a container that may grow: each keeps
// its drawn place and takes a share of the room beyond the drawn size. The
// extra width goes half to the left column, half to the right one.
class ancrage : public QObject {
public:
    // Which part of the extra width (or height) an edge moves by.
    enum part { rien, gauche, droite, tout };

    // `dessinee`: the container's size as drawn, where every control is in its drawn place.
    ancrage(QWidget* conteneur, QSize dessinee);
    // The control's left edge moves by `x`, its width grows by `l`; the same
    // downwards with `y` and `h`. Its drawn geometry is taken now.
    void ajouter(QWidget* w, part x, part l, part y = rien, part h = rien);
    // Places every control for the container's present size.
    void placer();
    QSize dessinee() const { return dessinee_; }
    // A control's drawn geometry; an empty one when it was not added.
    QRect dessin(const QWidget* w) const;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    struct entree {
        QPointer<QWidget> w;
        QRect dessin;
        part x, l, y, h;
    };
    QWidget* conteneur_;
    QSize dessinee_;
    std::vector<entree> entrees_;
};

} // namespace zapo::composants
