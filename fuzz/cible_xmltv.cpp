// libFuzzer entry for the XMLTV reader: raw bytes are read once for every
// channel and once for a few wanted ones; both readings must agree, and
// neither may keep more than the update can store.
#include "noyau/xmltv.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace zapo;

// A character no stored text may hold: controls but tab and line feed.
bool controle(const QString& t) {
    for (const QChar c : t)
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n')
            return true;
    return false;
}

void verifier(const std::vector<fiche_programme>& l) {
    if (l.size() > 100)
        std::abort();
    for (size_t i = 0; i < l.size(); ++i) {
        if (l[i].programme.size() > titre_max)
            std::abort();
        const details_programme& d = l[i].details;
        for (const QString* t : {&l[i].programme, &d.sous_titre, &d.description, &d.annee, &d.episode_ns,
                                 &d.episode_ecran, &d.classement, &d.realisateur})
            if (controle(*t))
                std::abort();
        for (const QStringList* ts : {&d.categories, &d.acteurs})
            for (const QString& t : *ts)
                if (controle(t))
                    std::abort();
        if (i > 0 && l[i].hdeb < l[i - 1].hdeb)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView octets(reinterpret_cast<const char*>(data), qsizetype(size));
    const date_heure maintenant = date_heure::depuis_date(QDate(2026, 12, 7), 14, 0);
    const lecture_xmltv tout = lire_xmltv(octets, maintenant);
    const std::vector<chaine_voulue> voulues{{QStringLiteral("Une.fr"), QStringLiteral("Télé Une")},
                                             {QStringLiteral("a"), QStringLiteral("A")},
                                             {QStringLiteral("c"), QString()}};
    const lecture_xmltv choisies = lire_xmltv(octets, maintenant, voulues);
    if (tout.ok != choisies.ok)
        std::abort();
    for (const auto& l : tout.programmes)
        verifier(l);
    for (const auto& l : choisies.programmes)
        verifier(l);
    // A channel found by its exact id reads the same either way.
    for (const auto& v : voulues) {
        const auto it = choisies.correspondances.constFind(v.id);
        if (it == choisies.correspondances.cend() || it->first != regle_xmltv::identifiant)
            continue;
        if (choisies.programmes.value(v.id) != tout.programmes.value(v.id))
            std::abort();
    }
    return 0;
}
