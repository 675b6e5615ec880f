// Fills a copy of the delivered base, emptied of its channels, with a kept week
// as an update leaves it (bench/mesurer_demarrage.py --semaine).
//   remplir_semaine FICHIER [NB_CHAINES]
#include "semaine_banc.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fputs("remplir_semaine FICHIER [NB_CHAINES]\n", stderr);
        return 2;
    }
    const int nb = args.size() > 2 ? args.at(2).toInt() : 300;
    try {
        zapo::donnees::base_programmes base(args.at(1));
        const qint64 lignes = zapo::bancs::ecrire_semaine_banc(base, nb, QDate::currentDate());
        std::printf("%lld\n", static_cast<long long>(lignes));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
