#include "vues/rappels_vues.h"

#include "composants/haute_densite.h"
#include "composants/placement.h"
#include "liaison/garde.h"
#include "modele/guide.h"
#include "ui_fl_main.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"
#include "vues/fl_mots.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainterPath>
#include <QPointer>

#include <set>

namespace zapo::vues {

namespace {

struct cle_ligne {
    int chaine = 0;
    qint64 debut = 0;
};

std::optional<cle_ligne> cle_de(const QTreeWidgetItem* it, int colonne_titre) {
    if (!it)
        return std::nullopt;
    for (int c : {colonne_titre, 0}) {
        const QVariant d = it->data(c, role_debut);
        const QVariant n = it->data(c, role_num_chaine);
        if (d.isValid() && n.isValid())
            return cle_ligne{n.toInt(), d.toLongLong()};
    }
    return std::nullopt;
}

// Right click on a row, or the menu key on the current row.
class menu_rappels final : public QObject {
public:
    menu_rappels(contexte& ctx, QTreeWidget* liste, int colonne_titre)
        : QObject(liste), ctx_(ctx), liste_(liste), colonne_(colonne_titre) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::ContextMenu || !liste_)
            return false;
        auto* ev = static_cast<QContextMenuEvent*>(e);
        QTreeWidgetItem* it = nullptr;
        QPoint ou;
        if (ev->reason() == QContextMenuEvent::Keyboard || o == liste_.data()) {
            it = liste_->currentItem();
            if (it)
                ou = liste_->viewport()->mapToGlobal(liste_->visualItemRect(it).bottomLeft());
        } else {
            it = liste_->itemAt(ev->pos());
            ou = ev->globalPos();
        }
        const auto cle = cle_de(it, colonne_);
        if (!cle)
            return false;
        liaison::garde(ctx_, [&] { montrer(*cle, ou); });
        return true;
    }

private:
    void montrer(const cle_ligne& cle, QPoint ou) {
        const bool prevu = rappel_prevu(ctx_, cle.chaine, cle.debut);
        QMenu menu(liste_);
        QAction* a =
            menu.addAction(prevu ? QStringLiteral("Ne plus me prévenir") : QStringLiteral("Me prévenir"));
        a->setObjectName(QStringLiteral("action_rappel"));
        QPointer<QTreeWidget> liste(liste_);
        bool choisi = false;
        QObject::connect(a, &QAction::triggered, &menu, [&choisi] { choisi = true; });
        menu.exec(ou);
        // Every list showing bells (this one too) follows the guide's announcement.
        if (choisi && liste)
            basculer_rappel(ctx_, cle.chaine, cle.debut, prevu);
    }

    contexte& ctx_;
    QPointer<QTreeWidget> liste_;
    int colonne_;
};

void dessiner_cloche(QPainter& g) {
    // 16 x 16: a bell with its clapper, dark outline for light and dark themes alike.
    QPainterPath p;
    p.moveTo(3, 12);
    p.cubicTo(4.5, 10.5, 4, 8, 4.5, 6.5);
    p.cubicTo(5, 3.5, 7, 2.5, 8, 2.5);
    p.cubicTo(9, 2.5, 11, 3.5, 11.5, 6.5);
    p.cubicTo(12, 8, 11.5, 10.5, 13, 12);
    p.closeSubpath();
    g.setPen(QPen(QColor(90, 60, 0), 1.0));
    g.setBrush(QColor(240, 190, 40));
    g.drawPath(p);
    g.setBrush(QColor(90, 60, 0));
    g.drawEllipse(QPointF(8, 13.3), 1.6, 1.6);
}

} // namespace

std::set<std::pair<int, qint64>> rappels_vivants(contexte& ctx) {
    std::set<std::pair<int, qint64>> res;
    // Removed ones are only kept for the words' sake.
    for (const auto& r : modele::guide_de(ctx).rappels())
        if (!r.retire)
            res.insert({r.chaine, r.debut.secondes()});
    return res;
}

bool rappel_prevu(contexte& ctx, int chaine, qint64 debut) {
    return modele::guide_de(ctx).rappel_prevu(chaine, debut);
}

void basculer_rappel(contexte& ctx, int chaine, qint64 debut_secondes, bool prevu) {
    modele::guide_de(ctx).basculer_rappel(chaine, debut_secondes, prevu);
}

QIcon icone_cloche() {
    static const QIcon icone = composants::icone_nette(16, 16, dessiner_cloche);
    return icone;
}

void installer_menu_rappels(contexte& ctx, QTreeWidget* liste, int colonne_titre) {
    const QString nom = QStringLiteral("menu_rappels");
    if (!liste || liste->findChild<QObject*>(nom, Qt::FindDirectChildrenOnly))
        return;
    auto* m = new menu_rappels(ctx, liste, colonne_titre);
    m->setObjectName(nom);
    liste->setContextMenuPolicy(Qt::DefaultContextMenu);
    liste->installEventFilter(m);
    liste->viewport()->installEventFilter(m);
    // The bells follow the reminders, whoever changed them.
    QObject::connect(&modele::guide_de(ctx), &modele::guide::rappels_changes, m,
                     [&ctx, liste, colonne_titre] {
                         liaison::garde(ctx, [&] { marquer_rappels(ctx, liste, colonne_titre); });
                     });
}

void marquer_rappels(contexte& ctx, QTreeWidget* liste, int colonne_titre) {
    if (!liste)
        return;
    const auto vivants = rappels_vivants(ctx);
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = liste->topLevelItem(i);
        const auto cle = cle_de(it, colonne_titre);
        const bool prevu = cle && vivants.contains({cle->chaine, cle->debut});
        const bool montre =
            it->data(colonne_titre, Qt::AccessibleDescriptionRole).toString() == texte_rappel_prevu;
        if (prevu == montre)
            continue;
        it->setIcon(colonne_titre, prevu ? icone_cloche() : QIcon());
        it->setData(colonne_titre, Qt::AccessibleDescriptionRole,
                    prevu ? QVariant(texte_rappel_prevu) : QVariant());
    }
}

void fl_main::marquer_rappels() {
    vues::marquer_rappels(ctx_, ui->lst_prog, 3);
}

void fl_main::cocher_minutes_avant() {
    const int minutes = modele::guide_de(ctx_).minutes_avant();
    for (auto* a : findChildren<QAction*>(QStringLiteral("rappel_minutes")))
        a->setChecked(a->data().toInt() == minutes);
}

void fl_main::ajouter_menus_rappels() {
    contexte& ctx = ctx_;
    installer_menu_rappels(ctx, ui->lst_prog, 3);
    QMenu* option = findChild<QMenu*>(QStringLiteral("menuc"));
    if (!option || findChild<QMenu*>(QStringLiteral("menu_rappel")))
        return;
    option->addSeparator();
    QMenu* avant = option->addMenu(QStringLiteral("Prévenir avant le début"));
    avant->setObjectName(QStringLiteral("menu_rappel"));
    auto* groupe = new QActionGroup(avant);
    groupe->setExclusive(true);
    QPointer<fl_main> fenetre(this);
    modele::guide& guide = modele::guide_de(ctx);
    connect(&guide, &modele::guide::reglages_changes, avant,
            [this] { liaison::garde(ctx_, [this] { cocher_minutes_avant(); }); });
    for (int m : choix_minutes_avant) {
        QAction* a = avant->addAction(m == 0 ? QStringLiteral("Au début du programme")
                                             : QStringLiteral("%1 minutes avant").arg(m));
        a->setObjectName(QStringLiteral("rappel_minutes"));
        a->setCheckable(true);
        a->setData(m);
        groupe->addAction(a);
        QObject::connect(a, &QAction::triggered, this, [&ctx = ctx_, g = &guide, m] {
            liaison::garde(ctx, [&] { g->ecrire_minutes_avant(m); });
        });
    }
    QAction* mots = option->addAction(QStringLiteral("Mots favoris..."));
    mots->setObjectName(QStringLiteral("cmots"));
    QObject::connect(mots, &QAction::triggered, this, [&ctx = ctx_, g = &guide, fenetre] {
        liaison::garde(ctx, [&] {
            QPointer<fl_mots> d = new fl_mots(g->mots_favoris(), fenetre);
            d->setAttribute(Qt::WA_DeleteOnClose, false);
            const bool ok = d->exec() == QDialog::Accepted;
            if (!d)
                return;
            const QStringList nouveaux = d->mots();
            delete d.data();
            if (!ok)
                return;
            g->ecrire_mots_favoris(nouveaux, [&](int nb) {
                // Cleared words: nothing to say.
                if (!nouveaux.isEmpty())
                    ctx.boites->afficher(QStringLiteral("Zapo-TV"), texte_rappels_des_mots(nb),
                                         icone_boite::information);
            });
        });
    });
    cocher_minutes_avant();
}

} // namespace zapo::vues
