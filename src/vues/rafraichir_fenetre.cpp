// The main window's refresh: what it reads before it shows, and the fill of
// its programmes right after its first frame.
#include "vues/fl_main.h"

#include "composants/annonce.h"
#include "noyau/version.h"
#include "ui_fl_main.h"
#include "vues/etat_fraicheur.h"

#include "liaison/garde.h"
#include "modele/guide.h"

#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>

namespace zapo::vues {

QString titre_fenetre() {
    return QStringLiteral("Zapo-TV  ") + texte_version();
}

void fl_main::rafraichir_fenetre(bool apres_affichage) {
    bool a_jour = false;
    {
        // One connection for what the window reads before it shows; none held
        // during a run.
        const modele::guide::seance s(modele::guide_de(ctx_));
        reprendre_taille();
        cocher_options();
        setWindowTitle(titre_fenetre());
        chaine_courante_ = 1;
        remplir_chaines();
        ecrire_etat(texte_etat(ctx_));
        a_jour = verifier_base(ctx_);
    }
    if (!a_jour && ctx_.options.opt_majauto && ctx_.appli) {
        // The run's loops let the user close the window, or quit, meanwhile.
        const QPointer<vues::fl_main> garde_f(this);
        ctx_.appli->lancer_maj();
        if (!garde_f || garde_f->est_dechargee())
            return;
    }
    remplir_apres_peinture_ = apres_affichage && !isVisible();
    if (remplir_apres_peinture_) {
        // The first channel is the current one from the start: a command given
        // before its programmes are read acts on it.
        if (ui->lst_chaines->topLevelItemCount() > 0) {
            const QSignalBlocker bloque(ui->lst_chaines);
            ui->lst_chaines->setCurrentItem(ui->lst_chaines->topLevelItem(0));
            chaine_courante_ = chaine_selectionnee();
        }
        show();
        return;
    }
    const modele::guide::seance s(modele::guide_de(ctx_));
    remplir_programmes();
    show();
    affiche_actuel();
    if (ui->lst_chaines->topLevelItemCount() > 0) {
        {
            const QSignalBlocker bloque(ui->lst_chaines);
            ui->lst_chaines->setCurrentItem(ui->lst_chaines->topLevelItem(0));
        }
        // The first row is selected as if clicked: channels are numbered from 2,
        // so keeping channel 1 current would leave the panel empty until a click.
        lst_chaines_ItemClick();
    }
}

void fl_main::paintEvent(QPaintEvent* e) {
    QMainWindow::paintEvent(e);
    if (remplir_apres_peinture_) {
        remplir_apres_peinture_ = false;
        // Right after this frame, so that the channels are seen before the programmes are read.
        QTimer::singleShot(0, this, [this] {
            liaison::garde(ctx_, [this] {
                if (est_dechargee())
                    return;
                choix_chaine();
            });
        });
    }
    if (peinte_)
        return;
    peinte_ = true;
    // Queued after the fill above.
    QTimer::singleShot(0, this, [this] {
        if (!est_dechargee())
            Q_EMIT premiere_peinture();
    });
}

} // namespace zapo::vues
