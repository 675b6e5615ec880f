#pragma once

#include <QProxyStyle>

namespace zapo::composants {

// The desktop's own style, unchanged to the eye, with one difference: the
// arrows that menu bars and tool bars show when their entries do not fit are
// read the first time they are drawn, not when the bar is built. Reading a
// first picture file loads every image-format plugin, which the first frame
// of the main window can do without (its menus fit).
class style_appli final : public QProxyStyle {
public:
    // Takes `base` over, as QProxyStyle does.
    explicit style_appli(QStyle* base);

    QIcon standardIcon(StandardPixmap icone, const QStyleOption* option = nullptr,
                       const QWidget* w = nullptr) const override;
};

// Wraps the application's current style; call once the application exists,
// before any window.
void installer_style_appli();

} // namespace zapo::composants
