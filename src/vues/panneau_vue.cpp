#include "composants/annonce.h"
#include "modele/guide.h"
#include "noyau/horloge.h"
#include "noyau/panneau.h"
#include "ui_fl_main.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"
#include "vues/journal_vues.h"
#include "vues/outils_vues.h"

#include <QLocale>

namespace zapo::vues {

namespace {

// Each text is written once, to its final value: a label or a cell given the
// same text again does nothing, where clearing it first redrew it twice.
void montrer(QLabel* hd, QLabel* titre, QLabel* hf, const rangee_panneau& r,
             const QHash<qint64, details_programme>& details) {
    hd->setToolTip(QString());
    hf->setToolTip(QString());
    if (!r.remplie) {
        hd->clear();
        hf->clear();
        titre->clear();
        titre->setToolTip(QString());
        return;
    }
    hd->setText(r.hdeb);
    hf->setText(r.hfin);
    titre->setText(texte_inerte(r.titre));
    const auto d = details.constFind(r.debut.secondes());
    titre->setToolTip(infobulle_details(r.titre, d != details.cend() ? &*d : nullptr));
}

} // namespace

void fl_main::affiche_date() {
    ui->txt_date->setText(
        QLocale(QLocale::French)
            .toString(ctx_.horloge_->maintenant(), QStringLiteral("dddd d MMMM yyyy   HH:mm")));
}

void fl_main::affiche_actuel() {
    const composants::releve_textes releve{ui->txt_hd1, ui->txt1,    ui->txt_hf1, ui->txt_hd2,
                                           ui->txt2,    ui->txt_hf2, ui->txt_hd3, ui->txt3,
                                           ui->txt_hf3, ui->txt_hd4, ui->txt4,    ui->txt_hf4};
    affiche_date();

    // One reading of the clock for the whole pass, so that every row is judged
    // against the same minute.
    calcul_panneau calcul(chaine_courante_, ctx_.horloge_->maintenant());
    QHash<qint64, details_programme> details;
    {
        modele::guide& g = modele::guide_de(ctx_);
        const modele::guide::seance s(g);
        details = g.details_chaine(chaine_courante_);
        g.parcourir_panneau(
            chaine_courante_, calcul.maintenant(),
            [&](const donnees::ligne_liste& r, qint64 rang, std::optional<qint64> precedent) {
                calcul.ajouter_rang(r, rang, precedent);
            },
            [&](const donnees::ligne_liste& r) { return calcul.titre_utile(r.hdeb, r.hfin, r.chaine); });
    }
    const etat_panneau& e = calcul.resultat();

    montrer(ui->txt_hd1, ui->txt1, ui->txt_hf1, e.rangees[rang_actuel], details);
    montrer(ui->txt_hd2, ui->txt2, ui->txt_hf2, e.rangees[rang_suite], details);
    montrer(ui->txt_hd3, ui->txt3, ui->txt_hf3, e.rangees[rang_soir1], details);
    montrer(ui->txt_hd4, ui->txt4, ui->txt_hf4, e.rangees[rang_soir2], details);
    ui->progres->setValue(e.progres);

    for (int i = 0; i < ui->lst_chaines->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = ui->lst_chaines->topLevelItem(i);
        const auto trouve = e.par_chaine.constFind(it->data(0, vues::role_num_chaine).toInt());
        if (trouve == e.par_chaine.cend()) {
            it->setText(1, QStringLiteral("..."));
            it->setToolTip(1, QString());
            it->setText(2, QString());
            continue;
        }
        it->setText(1, texte_inerte(trouve->titre));
        it->setToolTip(1, vues::infobulle(trouve->titre));
        it->setText(2, QString::number(trouve->pourcentage));
    }

    // The mark goes by each row's stored position, so it stays on its programme
    // whatever order the user sorted the list in.
    std::vector<bool> marque(size_t(e.nb_lignes_chaine) + 1, false);
    for (qint64 k : e.marques)
        marque[size_t(k)] = true;
    QTreeWidget* l = ui->lst_prog;
    QTreeWidgetItem* ligne_en_cours = nullptr;
    const QIcon& icone = lst_icone_.at(2);
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = l->topLevelItem(i);
        const qint64 k = it->data(0, vues::role_position).toLongLong();
        const bool en_cours = k > 0 && k < qint64(marque.size()) && marque[size_t(k)];
        it->setIcon(0, en_cours ? icone : QIcon());
        // The mark is a picture: say it in words too.
        it->setData(0, Qt::AccessibleTextRole, en_cours ? QStringLiteral("En cours") : QVariant());
        it->setToolTip(0, en_cours ? QStringLiteral("En cours") : QString());
        if (k == e.ligne_en_cours)
            ligne_en_cours = it;
    }
    // The programme on now as high in view as the rows after it allow.
    if (e.ligne_en_cours > 0 && ligne_en_cours)
        l->scrollToItem(ligne_en_cours, QAbstractItemView::PositionAtTop);
    vues::journaliser(*this);
}

void fl_main::tps_minute_Timer() {
    ecrire_etat(texte_etat(ctx_));
    // The update rewrites the table: the panel keeps its content meanwhile.
    if (!maj_en_cours(ctx_))
        affiche_actuel();
}

} // namespace zapo::vues
