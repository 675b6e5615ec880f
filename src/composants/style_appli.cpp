#include "composants/style_appli.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

namespace zapo::composants {

namespace {

// An icon made on its first use. Copies share what was made.
class icone_differee final : public QIconEngine {
public:
    explicit icone_differee(std::function<QIcon()> faire)
        : etat_(std::make_shared<etat>(etat{std::move(faire), {}, false})) {}

    void paint(QPainter* p, const QRect& r, QIcon::Mode mode, QIcon::State s) override {
        reelle().paint(p, r, Qt::AlignCenter, mode, s);
    }
    QPixmap pixmap(const QSize& taille, QIcon::Mode mode, QIcon::State s) override {
        return reelle().pixmap(taille, mode, s);
    }
    QPixmap scaledPixmap(const QSize& taille, QIcon::Mode mode, QIcon::State s, qreal echelle) override {
        return reelle().pixmap(taille, echelle, mode, s);
    }
    QSize actualSize(const QSize& taille, QIcon::Mode mode, QIcon::State s) override {
        return reelle().actualSize(taille, mode, s);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State s) override {
        return reelle().availableSizes(mode, s);
    }
    QString key() const override { return QStringLiteral("zapo_differee"); }
    QIconEngine* clone() const override { return new icone_differee(*this); }

private:
    struct etat {
        std::function<QIcon()> faire;
        QIcon icone;
        bool faite;
    };

    const QIcon& reelle() {
        if (!etat_->faite) {
            etat_->faite = true;
            etat_->icone = std::exchange(etat_->faire, {})();
        }
        return etat_->icone;
    }

    std::shared_ptr<etat> etat_;
};

} // namespace

style_appli::style_appli(QStyle* base) : QProxyStyle(base) {}

QIcon style_appli::standardIcon(StandardPixmap icone, const QStyleOption* option, const QWidget* w) const {
    if (icone != SP_ToolBarHorizontalExtensionButton && icone != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icone, option, w);
    // Neither the option nor the widget outlives this call; the direction is
    // all the arrow depends on.
    QStyleOption o;
    o.direction =
        option ? option->direction : (w ? w->layoutDirection() : QGuiApplication::layoutDirection());
    QPointer<QStyle> base(baseStyle());
    return QIcon(
        new icone_differee([base, icone, o] { return base ? base->standardIcon(icone, &o) : QIcon(); }));
}

void installer_style_appli() {
    QApplication::setStyle(new style_appli(QApplication::style()));
}

} // namespace zapo::composants
