#include "data/base_programmes.h"
#include "views/clics_vues.h"
#include "views/fl_main.h"

#include <QHeaderView>

namespace zapo::clics {

void remplir_chaines(contexte& ctx, vues::fl_main& f) {
    donnees::base_programmes base(ctx.chemin_base());
    const auto chaines = base.lire_chaines();
    QTreeWidget* l = f.lst_chaines;
    l->clear();
    l->setColumnCount(4);
    l->setHeaderLabels({QStringLiteral("Chaine"), QStringLiteral("Programme en cours"), QStringLiteral("%"),
                        QStringLiteral("index")});
    for (const auto& c : chaines) {
        auto* it = new QTreeWidgetItem(l);
        it->setIcon(0, f.image(c.num_image));
        it->setText(0, c.nom);
        it->setText(3, QString::number(c.num_chaine));
    }
}

} // namespace zapo::clics
