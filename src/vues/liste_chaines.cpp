#include "composants/dessins.h"
#include "modele/guide.h"
#include "noyau/decodage.h"
#include "noyau/sante.h"
#include "ui_fl_main.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"
#include "vues/largeurs.h"
#include "vues/outils_vues.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalBlocker>

namespace zapo::vues {

namespace {

void preparer_colonnes(QTreeWidget* l) {
    if (l->columnCount() == 4 && l->headerItem()->text(3) == QLatin1String("index"))
        return;
    l->setColumnCount(4);
    l->setHeaderLabels({QStringLiteral("Chaine"), QStringLiteral("Programme en cours"), QStringLiteral("%"),
                        QStringLiteral("index")});
    QTreeWidgetItem* entete = l->headerItem();
    entete->setTextAlignment(1, Qt::AlignCenter);
    entete->setTextAlignment(2, Qt::AlignCenter);
    entete->setToolTip(2, QStringLiteral("Partie écoulée du programme en cours, en pour cent"));
    QHeaderView* h = l->header();
    h->setStretchLastSection(false);
    h->setSectionResizeMode(QHeaderView::Interactive);
    l->setColumnWidth(0, vues::pixels(1520));
    // 280 twips cannot hold "100" in today's fonts: the column gets what its figures need.
    const int pour_cent = QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("100")) + 12;
    l->setColumnWidth(2, std::max(vues::pixels(280), pour_cent));
    // The channel's number: needed by the other procedures, never shown.
    l->setColumnWidth(3, 0);
    l->setColumnHidden(3, true);
}

void marquer_sante_ligne(QTreeWidgetItem* it, const std::map<int, donnees::sante_chaine>& sante,
                         const QFont& police_liste) {
    QString bulle;
    if (const auto s = sante.find(it->data(0, vues::role_num_chaine).toInt()); s != sante.end())
        bulle = infobulle_sante(s->second.succes, s->second.nb_programmes, s->second.raison, s->second.quand);
    // A channel whose last update went wrong says why, also to a screen reader,
    // in italics; its name stays as it is. The others take the list's font.
    const bool italique = !bulle.isEmpty();
    if (italique) {
        QFont police = police_liste;
        police.setItalic(true);
        it->setFont(0, police);
    } else if (it->data(0, Qt::FontRole).isValid()) {
        it->setData(0, Qt::FontRole, QVariant());
    }
    // The reason may hold what a server said: shown as written, never as markup.
    const QString bulle_vue = vues::infobulle(italique ? bulle : it->text(0));
    if (it->toolTip(0) != bulle_vue)
        it->setToolTip(0, bulle_vue);
    const QVariant description = italique ? QVariant(bulle) : QVariant();
    if (it->data(0, Qt::AccessibleDescriptionRole) != description)
        it->setData(0, Qt::AccessibleDescriptionRole, description);
    if (italique)
        it->setForeground(0, QColor(0xa0, 0x20, 0x20));
    else if (it->data(0, Qt::ForegroundRole).isValid())
        it->setData(0, Qt::ForegroundRole, QVariant());
}

} // namespace

void fl_main::remplir_chaines() {
    modele::guide& g = modele::guide_de(ctx_);
    // The health read below shares the connection.
    const modele::guide::seance s(g);
    const std::vector<donnees::chaine> chaines = g.chaines();
    const QHash<int, QByteArray> logos = g.logos();
    QTreeWidget* l = ui->lst_chaines;
    // Emptying and refilling is not the user choosing a channel.
    const QSignalBlocker bloque(l);
    l->clear();
    preparer_colonnes(l);
    const std::map<int, donnees::sante_chaine> sante = g.sante();
    QList<QTreeWidgetItem*> lignes;
    lignes.reserve(qsizetype(chaines.size()));
    for (const auto& c : chaines) {
        auto* it = new QTreeWidgetItem;
        // A channel's own logo where the update has one, else its badge.
        const auto logo = logos.constFind(c.num_chaine);
        it->setIcon(0, logo != logos.cend() ? composants::dessiner_logo(c.num_image, *logo)
                                            : image(c.num_image));
        it->setText(0, texte_inerte(c.nom));
        it->setTextAlignment(1, Qt::AlignCenter);
        it->setTextAlignment(2, Qt::AlignCenter);
        it->setText(3, QString::number(c.num_chaine));
        it->setData(0, vues::role_num_chaine, c.num_chaine);
        // Marked before it joins the list: each change after would be one more
        // signal to the view, 300 channels times five.
        marquer_sante_ligne(it, sante, l->font());
        lignes << it;
    }
    l->addTopLevelItems(lignes);
    // With more than twelve rows the scroll bar takes its share of the width.
    ajuster_colonnes();
    montrer_aide_vide();
}

void fl_main::marquer_sante() {
    const std::map<int, donnees::sante_chaine> sante = modele::guide_de(ctx_).sante();
    QTreeWidget* l = ui->lst_chaines;
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        marquer_sante_ligne(l->topLevelItem(i), sante, l->font());
}

} // namespace zapo::vues
