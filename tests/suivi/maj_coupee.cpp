// Test helper, not a test: runs one update on the given folder's database
// against its own local server and reports its progress on stdout, so that a
// test can kill it with SIGKILL at a chosen point.
//   maj_coupee DOSSIER bloque   the second channel's page never answers
//   maj_coupee DOSSIER rythme   every page answers; pauses of 1/20 of the real ones

#include "outils/banc_maj.h"

#include "maj/attendre.h"

#include <QApplication>

#include <cstdio>

namespace {

class rythme_rapide final : public zapo::rythme {
public:
    void attendre(double secondes) override { reel_.attendre(secondes / 20); }

private:
    zapo::maj::rythme_reel reel_;
};

void dire(const QByteArray& ligne) {
    std::fputs(ligne.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[2]);
    zapo::essais::banc_maj b(QString::fromLocal8Bit(argv[1]));
    rythme_rapide rapide;
    b.ctx.pas = &rapide;
    b.delai_ms = 60000;
    const auto chaines = zapo::essais::trois_chaines();
    for (const auto& c : chaines)
        b.ajouter(c);
    if (mode == QLatin1String("bloque")) {
        zapo::essais::serveur_http::reponse muette;
        muette.muet = true;
        b.serveur.definir(chaines[1].chemin, muette);
    }
    b.sur_cours = [&](zapo::suivi::fl_maj&, const QString& t) {
        for (size_t i = 0; i < chaines.size(); ++i)
            if (t == QStringLiteral("Récupération ") + chaines[i].nom)
                dire("CHAINE " + QByteArray::number(qulonglong(i + 1)));
    };
    dire("DEBUT");
    const auto fin = b.lancer();
    dire("FINI " + QByteArray::number(int(fin)));
    return 0;
}
