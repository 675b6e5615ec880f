#include "vues/fl_details.h"

#include "composants/annonce.h"
#include "composants/dessins.h"
#include "composants/placement.h"
#include "liaison/garde.h"
#include "modele/guide.h"
#include "noyau/decodage.h"
#include "noyau/horloge.h"
#include "noyau/soirees.h"
#include "vues/apparence.h"
#include "vues/rappels_vues.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zapo::vues {

fl_details::fl_details(contexte& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zapo-TV - Détails"));
    setWindowIcon(composants::icone_programme());
    colorer_fond(this);
    auto* disposition = new QVBoxLayout(this);
    txt_details_ = new QPlainTextEdit(this);
    txt_details_->setObjectName(QStringLiteral("txt_details"));
    txt_details_->setReadOnly(true);
    // Read-only text still takes the keyboard, so that a screen reader can walk it.
    txt_details_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    txt_details_->setAccessibleName(QStringLiteral("Détails du programme"));
    txt_details_->setFont(police_liste());
    disposition->addWidget(txt_details_);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    if (QPushButton* b = boutons->button(QDialogButtonBox::Close))
        b->setText(QStringLiteral("Fermer"));
    // Its shown text is what a screen reader reads: no fixed accessible name.
    btn_rappel_ = boutons->addButton(QStringLiteral("Me prévenir"), QDialogButtonBox::ActionRole);
    btn_rappel_->setObjectName(QStringLiteral("btn_rappel"));
    btn_rappel_->setAutoDefault(false);
    connect(btn_rappel_, &QPushButton::clicked, this,
            [this] { liaison::garde(ctx_, [this] { btn_rappel_Click(); }); });
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::close);
    disposition->addWidget(boutons);
    resize(460, 360);
    connect(&modele::guide_de(ctx_), &modele::guide::rappels_changes, this,
            [this] { liaison::garde(ctx_, [this] { ecrire_bouton(); }); });
}

fl_details::~fl_details() = default;

QString fl_details::texte() const {
    return txt_details_->toPlainText();
}

fl_details* fl_details::afficher(contexte& ctx, int chaine, date_heure hdeb, const QString& titre,
                                 QWidget* parent) {
    std::optional<donnees::programme_semaine> p;
    QString nom;
    {
        modele::guide& g = modele::guide_de(ctx);
        const modele::guide::seance s(g);
        p = g.programme(chaine, hdeb);
        for (const auto& c : g.chaines())
            if (c.num_chaine == chaine)
                nom = c.nom;
    }
    fl_details* f = ouverte();
    if (!f)
        f = retenir(new fl_details(ctx, parent));
    const date_heure maintenant = ctx.horloge_ ? ctx.horloge_->maintenant_dh()
                                               : date_heure::depuis_qdatetime(QDateTime::currentDateTime());
    const QString t = texte_inerte(
        p ? texte_fiche(p->titre, nom, texte_horaire(p->hdeb, p->hfin, p->duree, maintenant), p->details)
          : texte_fiche(titre, nom, QString(), details_programme{}));
    f->txt_details_->setPlainText(t);
    f->txt_details_->setAccessibleDescription(t);
    f->chaine_ = chaine;
    f->debut_ = hdeb.secondes();
    f->peut_prevenir_ = p && p->hfin > maintenant;
    f->ecrire_bouton();
    composants::montrer_devant(f);
    f->txt_details_->setFocus();
    return f;
}

void fl_details::ecrire_bouton() {
    const bool prevu = rappel_prevu(ctx_, chaine_, debut_);
    btn_rappel_->setText(prevu ? QStringLiteral("Ne plus me prévenir") : QStringLiteral("Me prévenir"));
    // A programme over (or no longer kept) can still lose its reminder, never get one.
    btn_rappel_->setEnabled(prevu || peut_prevenir_);
}

void fl_details::btn_rappel_Click() {
    // The button follows the guide's announcement, as every view of the reminders does.
    basculer_rappel(ctx_, chaine_, debut_, rappel_prevu(ctx_, chaine_, debut_));
}

} // namespace zapo::vues
