#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// Windows drawn at fixed positions keep what they were drawn with, whatever
// the desktop's font size or theme.
namespace zapo::composants {

// Arial 9 pt (Liberation Sans, its metric twin, where Arial is missing): the
// face and size of the controls that the drawing gives no font of their own.
QFont police_dessin();
// Gives a fixed-layout window that font; controls that name only a face or a
// size take the rest from it, not from the desktop. Call it once the controls'
// own fonts are set.
void fixer_police(QWidget* fenetre);
// An area of fixed colours: it and every control inside it take the style's
// light palette with this background and text, so that a dark desktop theme
// never puts dark buttons or bars on a light background. A style sheet on a
// control cuts it (and what it holds) off this palette: colour containers
// through their palette, and keep style sheets to leaves.
void palette_fixe(QWidget* zone, const QColor& fond, const QColor& texte);

} // namespace zapo::composants
