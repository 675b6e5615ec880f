#include "channels/gest_chaines.h"

#include "data/base_programmes.h"
#include "views/fl_main.h"

#include <QPointer>

namespace zapo::chaines {

namespace {

const QString titre = QStringLiteral("Zapo-TV");

// The "index" column, read back as a 16-bit number; 0 when it is not one.
int numero_de_ligne(const QTreeWidgetItem* ligne) {
    bool ok = false;
    const short n = ligne->text(3).trimmed().toShort(&ok);
    return ok ? n : 0;
}

} // namespace

void supprimer_chaine(contexte& ctx, vues::fl_main& f) {
    int num = 0;
    // With several selected lines, the last one wins.
    for (int i = 0; i < f.lst_chaines->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* ligne = f.lst_chaines->topLevelItem(i);
        if (ligne->isSelected())
            num = numero_de_ligne(ligne);
    }
    if (num == 0) {
        ctx.boites->afficher(titre, QStringLiteral("veuillez sélectionner une chaine dans la liste."),
                             icone_boite::exclamation);
        return;
    }
    if (ctx.boites->afficher(titre, QStringLiteral("Etes-vous sûr de vouloir supprimer cette chaine ?"),
                             icone_boite::information, boutons_boite::ok_annuler) == reponse_boite::ok)
        effacer_chaine(ctx, num);
}

void vider_chaines(contexte& ctx, vues::fl_main& f) {
    const QString question =
        QStringLiteral("Vous êtes sur le point de supprimer toute les chaines de la liste.") +
        QLatin1Char('\r') + QStringLiteral("Etes vous sûr de vouloir continuer ?");
    if (ctx.boites->afficher(titre, question, icone_boite::information, boutons_boite::ok_annuler) !=
        reponse_boite::ok)
        return;
    // Each removal refreshes the window, so the first line is always the next one.
    // The window may be closed meanwhile (a refresh can run an update with events).
    QPointer<vues::fl_main> fenetre(&f);
    const int nb = f.lst_chaines->topLevelItemCount();
    for (int passe = 0; passe < nb; ++passe) {
        if (!fenetre || fenetre->lst_chaines->topLevelItemCount() == 0)
            return;
        effacer_chaine(ctx, numero_de_ligne(fenetre->lst_chaines->topLevelItem(0)));
    }
}

void effacer_chaine(contexte& ctx, int num_chaine) {
    // The channel's programmes and its row go together or not at all.
    donnees::base_programmes(ctx.chemin_base()).effacer_chaine(num_chaine);
    if (ctx.appli)
        ctx.appli->rafraichir_fenetre();
}

} // namespace zapo::chaines
