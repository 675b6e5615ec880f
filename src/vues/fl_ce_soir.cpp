#include "vues/fl_ce_soir.h"
#include "vues/rappels_vues.h"

#include "liaison/garde.h"
#include "modele/guide.h"
#include "noyau/horloge.h"
#include "noyau/soirees.h"
#include "vues/apparence.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_details.h"
#include "vues/genres_vues.h"
#include "vues/largeurs.h"
#include "vues/outils_vues.h"

#include "composants/dessins.h"
#include "composants/placement.h"
#include "ui_fl_ce_soir.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>

namespace zapo::vues {

namespace {

// Room around a cell's text, as the style draws it, with a little to spare.
constexpr int marge_cellule = 18;

// A row of the list: its tooltip (the title and a summary of its details) and its
// alignments are made when asked for, not for each of 600 rows at every refill;
// its details are read then too, once, from where the evening's rows came from.
class ligne_liste_soir : public QTreeWidgetItem {
public:
    bool avec_bulle = false;
    QPointer<modele::guide> guide;
    donnees::source_details source = donnees::source_details::liste;

    QVariant data(int colonne, int role) const override {
        if (role == Qt::ToolTipRole && avec_bulle && colonne < 5) {
            if (!lus_) {
                details_ = lire();
                lus_ = true;
            }
            return infobulle_details(text(3), details_ ? &*details_ : nullptr);
        }
        if (role == Qt::TextAlignmentRole && (colonne == 1 || colonne == 2 || colonne == 4))
            return int(Qt::AlignCenter);
        return QTreeWidgetItem::data(colonne, role);
    }

private:
    mutable bool lus_ = false;
    mutable std::optional<details_programme> details_;

    // A tooltip is no place for a box: a base that cannot be read gives the title alone.
    std::optional<details_programme> lire() const {
        if (!guide)
            return std::nullopt;
        try {
            return guide->details(source, data(0, role_num_chaine).toInt(),
                                  date_heure::depuis_secondes(data(0, role_debut).toLongLong()));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
};

} // namespace

fl_ce_soir::fl_ce_soir(contexte& ctx, aller_fn aller)
    : ctx_(ctx), aller_(std::move(aller)), ui_(std::make_unique<Ui::fl_ce_soir>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(composants::icone_programme());
    colorer_fond(this);
    QTreeWidget* l = ui_->lst_soir;
    colorer_liste(l);
    ui_->Label1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    QFont titre(QStringLiteral("Arial"));
    titre.setPointSize(12);
    ui_->Label1->setFont(titre);
    l->setIconSize(QSize(48, 35));
    // The genre, last, with the same filter as the grid's.
    l->setColumnCount(6);
    l->headerItem()->setText(5, QStringLiteral("Genre"));
    l->header()->setSectionsMovable(false);
    installer_menu_rappels(ctx_, l, 3);
    // "Programme" takes what the other columns leave: no sideways scroll bar.
    l->header()->setStretchLastSection(false);
    l->header()->setSectionResizeMode(3, QHeaderView::Stretch);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ajuster_colonnes();
    for (int c : {1, 2, 4})
        l->headerItem()->setTextAlignment(c, Qt::AlignCenter);
    // The evening: a labelled choice above the list, first in the keyboard's order.
    auto* ligne = new QHBoxLayout;
    auto* etiquette = new QLabel(QStringLiteral("Soirée :"), this);
    etiquette->setObjectName(QStringLiteral("lbl_soir"));
    cbo_soir_ = new QComboBox(this);
    cbo_soir_->setObjectName(QStringLiteral("cbo_soir"));
    cbo_soir_->setAccessibleName(QStringLiteral("Soirée"));
    cbo_soir_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    etiquette->setBuddy(cbo_soir_);
    ligne->addWidget(etiquette);
    ligne->addWidget(cbo_soir_);
    auto* lbl_genre = new QLabel(QStringLiteral("Genre :"), this);
    lbl_genre->setObjectName(QStringLiteral("lbl_genre"));
    cbo_genre_ = creer_filtre_genres(this);
    lbl_genre->setBuddy(cbo_genre_);
    ligne->addSpacing(12);
    ligne->addWidget(lbl_genre);
    ligne->addWidget(cbo_genre_);
    ligne->addStretch(1);
    ui_->disposition->insertLayout(0, ligne);
    setTabOrder(cbo_soir_, cbo_genre_);
    setTabOrder(cbo_genre_, l);
    connect(cbo_genre_, &QComboBox::currentIndexChanged, this,
            [this] { eteindre_autres_genres(ui_->lst_soir, 5, genre_choisi(cbo_genre_)); });
    connect(cbo_soir_, &QComboBox::activated, this,
            [this] { liaison::garde(ctx_, [this] { cbo_soir_Change(); }); });
    if (QPushButton* b = ui_->boutons->button(QDialogButtonBox::Close))
        b->setText(QStringLiteral("Fermer"));
    connect(ui_->boutons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(l, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* it) { liaison::garde(ctx_, [&] { lst_soir_ItemActivated(it); }); });
    tps_minute.setInterval(60000);
    for (auto signal : {&modele::guide::programmes_changes, &modele::guide::chaines_changees})
        connect(&modele::guide_de(ctx_), signal, this,
                [this] { liaison::garde(ctx_, [this] { remplir(); }); });
    connect(&tps_minute, &QTimer::timeout, this,
            [this] { liaison::garde(ctx_, [this] { tps_minute_Timer(); }); });
}

fl_ce_soir::~fl_ce_soir() = default;

QTreeWidget* fl_ce_soir::liste() const {
    return ui_->lst_soir;
}

fl_ce_soir* fl_ce_soir::afficher(contexte& ctx, aller_fn aller) {
    if (auto* f = ramener())
        return f;
    auto* f = presenter(new fl_ce_soir(ctx, std::move(aller)));
    f->tps_minute.start();
    // A base that cannot be read leaves the window empty; the box says why.
    QPointer<fl_ce_soir> p(f);
    liaison::garde(ctx, [&] { f->remplir(); });
    return p;
}

void fl_ce_soir::cbo_soir_Change() {
    soir_ = std::max(0, cbo_soir_->currentIndex());
    remplir();
    ui_->lst_soir->setFocus();
}

void fl_ce_soir::remplir() {
    std::vector<chaine_soir> chaines;
    std::vector<std::vector<ligne_panneau>> choix;
    std::vector<ligne_soir> lignes;
    std::vector<QStringList> categories;
    QHash<int, QByteArray> images;
    QStringList soirees_offertes;
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    modele::guide& g = modele::guide_de(ctx_);
    donnees::source_details source = donnees::source_details::liste;
    g.en_une_lecture([&] {
        std::vector<int> nums;
        for (const auto& c : g.chaines()) {
            chaines.push_back({c.num_chaine, c.nom, c.num_image});
            nums.push_back(c.num_chaine);
        }
        soirees_offertes = choix_soirees(maintenant, g.dernier_debut_semaine());
        soir_ = std::min<int>(soir_, int(soirees_offertes.size()) - 1);
        std::vector<std::pair<int, date_heure>> cles;
        choix = g.soirees(nums, maintenant, soir_);
        lignes = lignes_ce_soir(chaines, choix);
        // Only the rows shown, and only their categories for the genre column: the
        // rest of their details waits for a tooltip.
        for (const ligne_soir& r : lignes)
            cles.emplace_back(r.num_chaine, r.vide ? date_heure::depuis_secondes(-1) : r.hdeb);
        source = soir_ == 0 ? donnees::source_details::liste : donnees::source_details::semaine;
        categories = g.categories(source, cles);
        images = g.logos();
    });
    // The choices follow the kept days; the one made stays.
    if (cbo_soir_->count() != soirees_offertes.size() ||
        (cbo_soir_->count() > 2 && cbo_soir_->itemText(2) != soirees_offertes.value(2))) {
        const QSignalBlocker bloque(cbo_soir_);
        cbo_soir_->clear();
        cbo_soir_->addItems(soirees_offertes);
    }
    cbo_soir_->setCurrentIndex(soir_);
    const QString titre = soir_ == 0   ? QStringLiteral("Ce soir")
                          : soir_ == 1 ? QStringLiteral("Demain soir")
                                       : soirees_offertes.value(soir_);
    ui_->lst_soir->setAccessibleName(QStringLiteral("%1 sur toutes les chaînes").arg(titre));
    ui_->Label1->setText(QStringLiteral("%1 sur toutes les chaînes :").arg(titre));

    QTreeWidget* l = ui_->lst_soir;
    // The row under the cursor stays chosen across a refill when it is still there.
    QVariant chaine_choisie, debut_choisi;
    if (const QTreeWidgetItem* c = l->currentItem()) {
        chaine_choisie = c->data(0, role_num_chaine);
        debut_choisi = c->data(0, role_debut);
    }
    l->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* a_choisir = nullptr;
    // Each channel's logo painted once (by channel), each badge once (by its negative number).
    QHash<int, QIcon> logos;
    for (size_t i = 0; i < lignes.size(); ++i) {
        const ligne_soir& r = lignes[i];
        auto* it = new ligne_liste_soir;
        // The name once a channel; a screen reader still hears it on the second row.
        it->setText(0, r.premiere ? texte_inerte(r.chaine) : QString());
        if (!r.premiere)
            it->setData(0, Qt::AccessibleTextRole, r.chaine);
        it->setText(1, r.debut);
        it->setText(2, r.fin);
        it->setText(3, texte_inerte(r.programme));
        it->setText(4, r.duree);
        it->setData(0, role_num_chaine, r.num_chaine);
        if (r.premiere) {
            // A channel without a picture shows its badge: sixteen of them, each painted once.
            const QByteArray image = images.value(r.num_chaine);
            const int cle = image.isEmpty() ? -r.num_image - 1 : r.num_chaine;
            auto logo = logos.find(cle);
            if (logo == logos.end())
                logo = logos.insert(cle, QIcon(composants::dessiner_logo(r.num_image, image)));
            it->setIcon(0, *logo);
        }
        if (r.vide) {
            it->setData(3, Qt::AccessibleTextRole, QStringLiteral("Rien ce soir"));
        } else {
            it->setData(0, role_debut, qint64(r.hdeb.secondes()));
            it->setText(5, texte_genre(genre_categories(categories[i])));
            it->avec_bulle = true;
            it->guide = &g;
            it->source = source;
        }
        if (chaine_choisie.isValid() && it->data(0, role_num_chaine) == chaine_choisie &&
            it->data(0, role_debut) == debut_choisi)
            a_choisir = it;
        items << it;
    }
    l->addTopLevelItems(items);
    ajuster_colonnes();
    marquer_rappels(ctx_, l, 3);
    eteindre_autres_genres(l, 5, genre_choisi(cbo_genre_));
    if (a_choisir)
        l->setCurrentItem(a_choisir);
    else if (!items.isEmpty())
        l->setCurrentItem(items.front());
}

void fl_ce_soir::ajuster_colonnes() {
    QTreeWidget* l = ui_->lst_soir;
    const QFontMetrics cellules(l->font());
    const QFontMetrics entetes(l->header()->font());
    const auto entete = [&](int colonne) {
        return entetes.horizontalAdvance(l->headerItem()->text(colonne));
    };
    const auto largeur = [&](int colonne, const QString& exemple) {
        int texte = std::max(cellules.horizontalAdvance(exemple), entete(colonne));
        // Lengths and genres repeat from row to row: each text is measured once.
        QSet<QString> vus;
        for (int i = 0; i < l->topLevelItemCount(); ++i) {
            const QString t = l->topLevelItem(i)->text(colonne);
            if (!vus.contains(t)) {
                vus.insert(t);
                texte = std::max(texte, cellules.horizontalAdvance(t));
            }
        }
        return texte + marge_cellule;
    };
    // Every time is "hh:mm": as wide as the widest digit written five times over at most.
    QChar large = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c)
        if (cellules.horizontalAdvance(QLatin1Char(c)) > cellules.horizontalAdvance(large))
            large = QLatin1Char(c);
    const int heure = cellules.horizontalAdvance(QString(2, large) + QLatin1Char(':') + QString(2, large));
    // The names are measured once, for the logo's room and for the text alone.
    const int texte_noms = largeur_texte_noms(l);
    l->setColumnWidth(
        0, std::max({entete(0) + marge_cellule, texte_noms + marge_cellule, largeur_noms(l, texte_noms)}));
    l->setColumnWidth(1, std::max(heure, entete(1)) + marge_cellule);
    l->setColumnWidth(2, std::max(heure, entete(2)) + marge_cellule);
    l->setColumnWidth(4, largeur(4, QStringLiteral("00h00")));
    l->setColumnWidth(5, largeur(5, {}));
}

void fl_ce_soir::keyPressEvent(QKeyEvent* e) {
    // The list shows the programme on Enter and lets the key go on to the window
    // (a button takes its own first): here it must not press "Fermer".
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void fl_ce_soir::tps_minute_Timer() {
    if (!maj_en_cours(ctx_))
        remplir();
}

void fl_ce_soir::lst_soir_ItemActivated(QTreeWidgetItem* it) {
    if (!it || !aller_)
        return;
    const int chaine = it->data(0, role_num_chaine).toInt();
    const qint64 debut = it->data(0, role_debut).toLongLong();
    if (soir_ == 0 || debut == 0) {
        aller_(chaine, debut);
        return;
    }
    // Not among the main window's rows: the channel there, the programme in "Détails".
    const QString titre = it->text(3);
    contexte& ctx = ctx_;
    aller_(chaine, 0);
    fl_details::afficher(ctx, chaine, date_heure::depuis_secondes(debut), titre);
}

} // namespace zapo::vues
