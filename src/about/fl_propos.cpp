#include "about/fl_propos.h"

#include "core/version.h"
#include "liaison/garde.h"
#include "widgets/dessin_fixe.h"
#include "widgets/dessins.h"
#include "widgets/placement.h"

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

QPointer<fl_propos> fl_propos::ouverte_;

fl_propos::fl_propos(contexte& ctx, apropos::ouvreur_liens ouvrir)
    : QDialog(nullptr), ctx_(ctx), ouvrir_(std::move(ouvrir)) {
    setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(421, 297);
    // Drawn at fixed places and colours: the drawing's font, and light controls
    // on its background whatever the desktop's theme.
    composants::fixer_police(this);
    composants::palette_fixe(this, QColor(160, 192, 255), QColor(0, 0, 64));
    Shape2->setStyleSheet(
        QStringLiteral("QFrame#Shape2 { background-color: rgb(232,240,255); border: 2px solid rgb(0,0,128); "
                       "border-radius: 8px; }"));
    Shape2->lower();
    Image1->setPixmap(composants::icone_programme().pixmap(48, 48));
    Image1->setAccessibleName(QStringLiteral("Zapo-TV"));
    Label1->setStyleSheet(QStringLiteral("color: rgb(0,0,128);"));
    Label8->setText(apropos::auteur_nom());
    faire_lien(mail, apropos::auteur_mail(), QColor(0, 0, 192));
    faire_lien(site, apropos::auteur_site(), QColor(0, 0, 255));
    connect(mail, &QLabel::linkActivated, this, [this] { liaison::garde(ctx_, [this] { mail_Click(); }); });
    connect(site, &QLabel::linkActivated, this, [this] { liaison::garde(ctx_, [this] { site_Click(); }); });
    new touche_lien(mail, [this] { liaison::garde(ctx_, [this] { mail_Click(); }); });
    new touche_lien(site, [this] { liaison::garde(ctx_, [this] { site_Click(); }); });
    connect(bt_ok, &QPushButton::clicked, this, [this] { liaison::garde(ctx_, [this] { bt_ok_Click(); }); });
}

fl_propos::~fl_propos() = default;

fl_propos* fl_propos::ouverte() {
    return ouverte_.data();
}

fl_propos* fl_propos::afficher(contexte& ctx, apropos::ouvreur_liens ouvrir) {
    if (ouverte_) {
        composants::montrer_devant(ouverte_);
        return ouverte_;
    }
    auto* f = new fl_propos(ctx, std::move(ouvrir));
    f->Form_Load();
    ouverte_ = f;
    composants::centrer(f);
    composants::montrer_devant(f);
    f->bt_ok->setFocus();
    return f;
}

void fl_propos::Form_Load() {
    version->setText(texte_version());
    txt_date->setText(QStringLiteral("12 Juin 2004"));
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
