#include "maj/alias_maj.h"

#include "donnees/base_programmes.h"
#include "maj/journal.h"

#include <QFile>
#include <QUrl>

#include <algorithm>

namespace zapo::maj {

std::span<const alias_chaine> alias_connus() {
    static const std::vector<alias_chaine> alias = [] {
        QFile f(QStringLiteral(":/alias_chaines.txt"));
        if (!f.open(QIODevice::ReadOnly))
            return std::vector<alias_chaine>{};
        return lire_alias_chaines(QString::fromUtf8(f.readAll()));
    }();
    return alias;
}

void renommer_chaines(donnees::base_programmes& b, std::span<const int> nums,
                      std::span<const alias_chaine> alias) {
    for (const donnees::chaine& c : b.lire_chaines()) {
        if (std::find(nums.begin(), nums.end(), c.num_chaine) == nums.end())
            continue;
        const alias_chaine* a = alias_de_chaine(alias, QUrl(c.adresse).fragment(QUrl::FullyDecoded));
        if (!a)
            continue;
        const QString nom = nom_a_jour_chaine(*a, c.nom);
        if (nom.isEmpty())
            continue;
        b.renommer_chaine(c.num_chaine, nom);
        qCInfo(zapo_maj) << "chaîne" << c.num_chaine << "renommée de" << c.nom << "en" << nom;
    }
}

} // namespace zapo::maj
