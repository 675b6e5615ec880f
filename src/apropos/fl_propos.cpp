#include "apropos/fl_propos.h"

#include "ui_fl_propos.h"

#include "composants/dessin_fixe.h"
#include "composants/dessins.h"
#include "composants/placement.h"
#include "liaison/garde.h"
#include "noyau/version.h"

#include <QKeyEvent>

namespace zapo::apropos {

namespace {

// A clickable text drawn as a link, in the given colour, bold and underlined.
void faire_lien(QLabel* l, const QString& texte, const QColor& couleur) {
    l->setTextFormat(Qt::RichText);
    l->setText(QStringLiteral(
                   "<a href=\"#\" style=\"color:%1; font-weight:bold; text-decoration:underline;\">%2</a>")
                   .arg(couleur.name(), texte.toHtmlEscaped()));
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l->setOpenExternalLinks(false);
    l->setCursor(Qt::PointingHandCursor);
    l->setAccessibleName(texte);
}

// Enter or Space on a link reached with Tab opens it, as a click does (the
// dialog would otherwise take Enter for its OK button).
class touche_lien final : public QObject {
public:
    touche_lien(QLabel* l, std::function<void()> action) : QObject(l), action_(std::move(action)) {
        l->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int touche = static_cast<QKeyEvent*>(e)->key();
        if (touche != Qt::Key_Return && touche != Qt::Key_Enter && touche != Qt::Key_Space)
            return false;
        action_();
        return true;
    }

private:
    std::function<void()> action_;
};

} // namespace

fl_propos::fl_propos(contexte& ctx, apropos::ouvreur_liens ouvrir)
    : QDialog(nullptr), ui_(std::make_unique<Ui::fl_propos>()), ctx_(ctx), ouvrir_(std::move(ouvrir)) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(421, 297);
    // Drawn at fixed places and colours: the drawing's font, and light controls
    // on its background whatever the desktop's theme.
    composants::fixer_police(this);
    composants::palette_fixe(this, QColor(160, 192, 255), QColor(0, 0, 64));
    ui_->Shape2->setStyleSheet(
        QStringLiteral("QFrame#Shape2 { background-color: rgb(232,240,255); border: 2px solid rgb(0,0,128); "
                       "border-radius: 8px; }"));
    ui_->Shape2->lower();
    ui_->Image1->setPixmap(composants::icone_programme().pixmap(48, 48));
    ui_->Image1->setAccessibleName(QStringLiteral("Zapo-TV"));
    ui_->Label1->setStyleSheet(QStringLiteral("color: rgb(0,0,128);"));
    ui_->Label8->setText(apropos::auteur_nom());
    faire_lien(ui_->mail, apropos::auteur_mail(), QColor(0, 0, 192));
    faire_lien(ui_->site, apropos::auteur_site(), QColor(0, 0, 255));
    connect(ui_->mail, &QLabel::linkActivated, this,
            [this] { liaison::garde(ctx_, [this] { mail_Click(); }); });
    connect(ui_->site, &QLabel::linkActivated, this,
            [this] { liaison::garde(ctx_, [this] { site_Click(); }); });
    new touche_lien(ui_->mail, [this] { liaison::garde(ctx_, [this] { mail_Click(); }); });
    new touche_lien(ui_->site, [this] { liaison::garde(ctx_, [this] { site_Click(); }); });
    connect(ui_->bt_ok, &QPushButton::clicked, this,
            [this] { liaison::garde(ctx_, [this] { bt_ok_Click(); }); });
}

fl_propos::~fl_propos() = default;

fl_propos* fl_propos::afficher(contexte& ctx, apropos::ouvreur_liens ouvrir) {
    if (auto* f = ramener())
        return f;
    auto* f = new fl_propos(ctx, std::move(ouvrir));
    f->Form_Load();
    presenter(f);
    f->ui_->bt_ok->setFocus();
    return f;
}

void fl_propos::Form_Load() {
    ui_->version->setText(texte_version());
    ui_->txt_date->setText(QStringLiteral("12 Juin 2004"));
}

void fl_propos::bt_ok_Click() {
    close();
}

void fl_propos::mail_Click() {
    apropos::envoyer_mail(ctx_, ouvrir_, apropos::auteur_mail(), apropos::sujet_mail(), QString(), QString(),
                          QString());
}

void fl_propos::site_Click() {
    apropos::ouvrir_site(ctx_, ouvrir_);
}

} // namespace zapo::apropos
