#include "noyau/alias_chaines.h"

#include "noyau/xmltv.h"

namespace zapo::inline noyau {

namespace {

QStringList morceaux(QStringView texte) {
    QStringList res;
    for (const QStringView m : texte.split(u'|')) {
        const QString t = m.trimmed().toString();
        if (!t.isEmpty())
            res << t;
    }
    return res;
}

} // namespace

std::vector<alias_chaine> lire_alias_chaines(QStringView texte) {
    std::vector<alias_chaine> res;
    for (QStringView ligne : texte.split(u'\n')) {
        if (const qsizetype diese = ligne.indexOf(u'#'); diese >= 0)
            ligne = ligne.first(diese);
        const qsizetype egal = ligne.indexOf(u'=');
        if (egal < 0)
            continue;
        alias_chaine a{morceaux(ligne.first(egal)), morceaux(ligne.sliced(egal + 1))};
        if (!a.ids.isEmpty() && !a.noms.isEmpty())
            res.push_back(std::move(a));
    }
    return res;
}

const alias_chaine* alias_de_chaine(std::span<const alias_chaine> alias, QStringView id) {
    for (const alias_chaine& a : alias)
        for (const QString& i : a.ids)
            if (id.compare(i, Qt::CaseInsensitive) == 0)
                return &a;
    return nullptr;
}

QString nom_a_jour_chaine(const alias_chaine& a, QStringView nom_stocke) {
    if (a.noms.isEmpty() || nom_stocke == a.noms.front())
        return {};
    const QString simple = nom_simplifie(nom_stocke);
    for (const QString& n : a.noms)
        if (!simple.isEmpty() && nom_simplifie(n) == simple)
            return a.noms.front();
    return {};
}

} // namespace zapo::inline noyau
