#include "core/horloge.h"
#include "core/panneau.h"
#include "data/base_programmes.h"
#include "views/annonce.h"
#include "views/clics_vues.h"
#include "views/fl_main.h"
#include "views/journal_vues.h"
#include "views/outils_vues.h"

#include <QLocale>

namespace zapo::vues {

namespace {

void montrer(QLabel* hd, QLabel* titre, QLabel* hf, const rangee_panneau& r) {
    if (!r.remplie)
        return;
    hd->setText(r.hdeb);
    hf->setText(r.hfin);
    titre->setText(r.titre);
    titre->setToolTip(vues::infobulle(r.titre));
}

} // namespace

void affiche_date(contexte& ctx, vues::fl_main& f) {
    f.txt_date->setText(
        QLocale(QLocale::French)
            .toString(ctx.horloge_->maintenant(), QStringLiteral("dddd d MMMM yyyy   HH:mm")));
}

void vider_panneau(vues::fl_main& f) {
    for (QLabel* l : {f.txt_hd1, f.txt_hd2, f.txt_hd3, f.txt_hd4, f.txt_hf1, f.txt_hf2, f.txt_hf3, f.txt_hf4,
                      f.txt1, f.txt2, f.txt3, f.txt4}) {
        l->clear();
        l->setToolTip(QString());
    }
    f.progres->setValue(0);
    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = f.lst_chaines->topLevelItem(i);
        it->setText(1, QStringLiteral("..."));
        it->setToolTip(1, QString());
        it->setText(2, QString());
    }
}

void affiche_actuel(contexte& ctx, vues::fl_main& f) {
    const vues::releve_textes releve{f.txt_hd1, f.txt1, f.txt_hf1, f.txt_hd2, f.txt2, f.txt_hf2,
                                     f.txt_hd3, f.txt3, f.txt_hf3, f.txt_hd4, f.txt4, f.txt_hf4};
    affiche_date(ctx, f);
    vider_panneau(f);

    // One reading of the clock for the whole pass, so that every row is judged
    // against the same minute.
    calcul_panneau calcul(ctx.g.chaine_courante, ctx.horloge_->maintenant_dh());
    {
        donnees::base_programmes base(ctx.chemin_base());
        base.parcourir_liste([&](const donnees::ligne_liste& r) {
            calcul.ajouter(r.hdeb, r.hfin, r.programme, r.chaine, r.duree);
        });
    }
    const etat_panneau& e = calcul.resultat();

    montrer(f.txt_hd1, f.txt1, f.txt_hf1, e.rangees[rang_actuel]);
    montrer(f.txt_hd2, f.txt2, f.txt_hf2, e.rangees[rang_suite]);
    montrer(f.txt_hd3, f.txt3, f.txt_hf3, e.rangees[rang_soir1]);
    montrer(f.txt_hd4, f.txt4, f.txt_hf4, e.rangees[rang_soir2]);
    f.progres->setValue(e.progres);

    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = f.lst_chaines->topLevelItem(i);
        const auto trouve = e.par_chaine.constFind(it->text(3).toInt());
        if (trouve == e.par_chaine.cend())
            continue;
        it->setText(1, trouve->titre);
        it->setToolTip(1, vues::infobulle(trouve->titre));
        it->setText(2, QString::number(trouve->pourcentage));
    }

    // The mark goes by each row's stored position, so it stays on its programme
    // whatever order the user sorted the list in.
    std::vector<bool> marque(size_t(e.nb_lignes_chaine) + 1, false);
    for (qint64 k : e.marques)
        marque[size_t(k)] = true;
    QTreeWidget* l = f.lst_prog;
    QTreeWidgetItem* ligne_en_cours = nullptr;
    const QIcon& icone = f.lst_icone.at(2);
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
    vues::journaliser(f);
}

void tps_minute_Timer(contexte& ctx, vues::fl_main& f) {
    vues::ecrire_texte(f.txt_etat, ctx.g.texte_etat);
    // The update rewrites the table: the panel keeps its content meanwhile.
    if (!ctx.g.maj_en_cours)
        affiche_actuel(ctx, f);
}

} // namespace zapo::vues
