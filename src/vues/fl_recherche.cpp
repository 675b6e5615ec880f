#include "vues/fl_recherche.h"

#include "ui_fl_recherche.h"
#include "vues/rappels_vues.h"

#include "composants/annonce.h"
#include "composants/dessins.h"
#include "composants/placement.h"
#include "liaison/garde.h"
#include "modele/guide.h"
#include "noyau/horloge.h"
#include "vues/apparence.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_details.h"
#include "vues/genres_vues.h"
#include "vues/outils_vues.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>

namespace zapo::vues {

namespace {

const QLocale& francais() {
    static const QLocale l(QLocale::French, QLocale::France);
    return l;
}

date_heure maintenant(const contexte& ctx) {
    if (ctx.horloge_)
        return ctx.horloge_->maintenant_dh();
    return date_heure::depuis_qdatetime(QDateTime::currentDateTime());
}

// A result row: its tooltips and alignments are given when asked for, instead of
// being written into each of up to 500 rows at every keystroke.
class ligne_resultat : public QTreeWidgetItem {
public:
    QVariant data(int colonne, int role) const override {
        if (role == Qt::ToolTipRole && (colonne == 0 || colonne == 4))
            return infobulle(text(colonne));
        if (role == Qt::TextAlignmentRole && colonne >= 1 && colonne <= 3)
            return int(Qt::AlignCenter);
        return QTreeWidgetItem::data(colonne, role);
    }
};

bool touche_entree(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

} // namespace

fl_recherche::fl_recherche(contexte& ctx, aller_programme aller)
    : QDialog(nullptr), ui_(std::make_unique<Ui::fl_recherche>()), ctx_(ctx), aller_(std::move(aller)) {
    ui_->setupUi(this);
    installer_menu_rappels(ctx_, ui_->lst_resultats, 4);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(composants::icone_programme());
    colorer_fond(this);
    colorer_liste(ui_->lst_resultats);
    QPalette pal_etat = ui_->txt_etat_recherche->palette();
    pal_etat.setColor(QPalette::WindowText, QColor(192, 0, 0));
    ui_->txt_etat_recherche->setPalette(pal_etat);
    QFont police_etat(QStringLiteral("Arial"));
    police_etat.setPointSizeF(11.25);
    ui_->txt_etat_recherche->setFont(police_etat);

    QHeaderView* h = ui_->lst_resultats->header();
    h->setSectionsMovable(false);
    h->setStretchLastSection(true);
    QTreeWidgetItem* entete = ui_->lst_resultats->headerItem();
    for (int c = 1; c <= 3; ++c)
        entete->setTextAlignment(c, Qt::AlignCenter);
    // The genre, after the title, with the same filter as the grid's.
    ui_->lst_resultats->setColumnCount(6);
    entete->setText(5, QStringLiteral("Genre"));
    h->setStretchLastSection(false);
    h->setSectionResizeMode(4, QHeaderView::Stretch);
    cbo_genre_ = creer_filtre_genres(this);
    auto* lbl_genre = new QLabel(QStringLiteral("Genre :"), this);
    lbl_genre->setObjectName(QStringLiteral("lbl_genre"));
    lbl_genre->setBuddy(cbo_genre_);
    ui_->ligne_champ->addWidget(lbl_genre);
    ui_->ligne_champ->addWidget(cbo_genre_);
    setTabOrder(ui_->txt_recherche, cbo_genre_);
    setTabOrder(cbo_genre_, ui_->lst_resultats);
    connect(cbo_genre_, &QComboBox::currentIndexChanged, this,
            [this] { eteindre_autres_genres(ui_->lst_resultats, 5, genre_choisi(cbo_genre_)); });
    const QFontMetrics fm(police_liste());
    ui_->lst_resultats->setColumnWidth(0, pixels(1520));
    ui_->lst_resultats->setColumnWidth(1, fm.horizontalAdvance(QStringLiteral("Aujourd'hui")) + 16);
    const int heure = fm.horizontalAdvance(QStringLiteral("00:00")) + 16;
    ui_->lst_resultats->setColumnWidth(2, heure);
    ui_->lst_resultats->setColumnWidth(3, heure);
    ui_->lst_resultats->setColumnWidth(5, fm.horizontalAdvance(QStringLiteral("Divertissement")) + 16);

    ui_->txt_recherche->installEventFilter(this);
    ui_->lst_resultats->installEventFilter(this);
    // New programmes or channels: the open window reads them again.
    for (auto signal : {&modele::guide::programmes_changes, &modele::guide::chaines_changees})
        connect(&modele::guide_de(ctx_), signal, this,
                [this] { liaison::garde(ctx_, [this] { remplir(); }); });
    connect(ui_->txt_recherche, &QLineEdit::textChanged, this,
            [this] { liaison::garde(ctx_, [this] { chercher(); }); });
    connect(ui_->lst_resultats, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* ligne) { ouvrir(ligne); });
}

fl_recherche::~fl_recherche() = default;

QTreeWidget* fl_recherche::liste() const {
    return ui_->lst_resultats;
}

fl_recherche* fl_recherche::afficher(contexte& ctx, aller_programme aller) {
    if (auto* f = ramener()) {
        f->ui_->txt_recherche->setFocus();
        return f;
    }
    std::unique_ptr<fl_recherche> f(new fl_recherche(ctx, std::move(aller)));
    f->remplir();
    presenter(f.get());
    f->ui_->txt_recherche->setFocus();
    return f.release();
}

void fl_recherche::remplir() {
    index_ = modele::guide_de(ctx_).index_de_recherche();
    chercher();
}

QString fl_recherche::texte_etat(qsizetype total, qsizetype montres, bool champ_vide) {
    if (champ_vide)
        return QString();
    if (total == 0)
        return QStringLiteral("Aucun programme trouvé");
    if (total == 1)
        return QStringLiteral("1 programme trouvé");
    QString t = QStringLiteral("%1 programmes trouvés").arg(francais().toString(total));
    if (montres < total)
        t += QStringLiteral(", les %1 premiers sont affichés").arg(francais().toString(montres));
    return t;
}

void fl_recherche::chercher() {
    const QString saisie = ui_->txt_recherche->text();
    const auto r = index_.chercher(saisie, maintenant(ctx_), plafond);
    const date_heure mtn = maintenant(ctx_);
    QList<QTreeWidgetItem*> lignes;
    lignes.reserve(qsizetype(r.lignes.size()));
    // Eight days at most among the rows: each written once.
    QHash<qint64, QString> jours;
    for (const std::uint32_t i : r.lignes) {
        const programme_trouvable& p = index_.entrees()[i];
        auto* it = new ligne_resultat;
        it->setText(0, texte_inerte(index_.nom_chaine(p.rang_chaine)));
        const qint64 jour = p.hdeb.jour().secondes();
        auto j = jours.constFind(jour);
        if (j == jours.cend())
            j = jours.insert(jour, texte_jour(p.hdeb, mtn));
        it->setText(1, *j);
        it->setText(2, p.hdeb.format_hhnn());
        it->setText(3, p.hfin.format_hhnn());
        it->setText(4, texte_inerte(p.titre));
        it->setText(5, texte_genre(p.genre));
        it->setData(0, role_num_chaine, p.chaine);
        it->setData(0, role_debut, qint64(p.hdeb.secondes()));
        it->setData(0, role_position, p.position);
        lignes << it;
    }
    {
        const QSignalBlocker bloque(ui_->lst_resultats);
        ui_->lst_resultats->setUpdatesEnabled(false);
        ui_->lst_resultats->clear();
        ui_->lst_resultats->addTopLevelItems(lignes);
        marquer_rappels(ctx_, ui_->lst_resultats, 4);
        eteindre_autres_genres(ui_->lst_resultats, 5, genre_choisi(cbo_genre_));
        ui_->lst_resultats->setUpdatesEnabled(true);
    }
    composants::ecrire_texte(ui_->txt_etat_recherche, texte_etat(r.total, qsizetype(r.lignes.size()),
                                                                 mots_recherche(saisie).isEmpty()));
}

void fl_recherche::ouvrir(const QTreeWidgetItem* ligne) {
    if (!ligne || !aller_)
        return;
    const cible_programme c{ligne->data(0, role_num_chaine).toInt(), ligne->data(0, role_debut).toLongLong(),
                            ligne->data(0, role_position).toInt(), ligne->text(4)};
    // The main window may load meanwhile and this one close: nothing of it is used after.
    const aller_programme aller = aller_;
    contexte& ctx = ctx_;
    liaison::garde(ctx, [&] {
        aller(c);
        // A later day is not among the main window's rows: its channel is shown
        // there, and the programme in "Détails".
        if (c.position == 0)
            fl_details::afficher(ctx, c.chaine, date_heure::depuis_secondes(c.debut), c.titre);
    });
}

bool fl_recherche::eventFilter(QObject* objet, QEvent* e) {
    if (e->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objet, e);
    const auto* k = static_cast<QKeyEvent*>(e);
    const bool a_lignes = ui_->lst_resultats->topLevelItemCount() > 0;
    if (objet == ui_->txt_recherche) {
        if (k->key() == Qt::Key_Down && a_lignes) {
            if (!ui_->lst_resultats->currentItem() || !ui_->lst_resultats->currentItem()->isSelected())
                ui_->lst_resultats->setCurrentItem(ui_->lst_resultats->topLevelItem(0));
            ui_->lst_resultats->setFocus();
            return true;
        }
        if (touche_entree(k)) {
            // Enter from the field opens the chosen row, else the first one.
            QTreeWidgetItem* ligne = ui_->lst_resultats->currentItem();
            ouvrir(ligne ? ligne : ui_->lst_resultats->topLevelItem(0));
            return true;
        }
    } else if (objet == ui_->lst_resultats) {
        if (touche_entree(k)) {
            ouvrir(ui_->lst_resultats->currentItem());
            return true;
        }
        // Up from the first row goes back to the field.
        if (k->key() == Qt::Key_Up && a_lignes &&
            ui_->lst_resultats->currentItem() == ui_->lst_resultats->topLevelItem(0)) {
            ui_->txt_recherche->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(objet, e);
}

} // namespace zapo::vues
