// The panel's pass over "liste" next to a bare SQLite scan of the same table:
// 30 000 stored rows, 300 channels of 100 programmes each, stored channel after channel.
#include "base_vide.h"
#include "commun_banc.h"
#include "donnees/base_programmes.h"
#include "donnees/transaction.h"
#include "modele/guide.h"
#include "noyau/panneau.h"
#include "outils/horloge_fixe.h"
#include "plancher_sqlite.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_main.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace zapo;

namespace {

constexpr int nb_chaines = 300;
constexpr int par_chaine = 100;
const QDate jour(2026, 12, 7);

struct donnees_banc {
    QTemporaryDir dossier;
    QString chemin;
    date_heure maintenant = date_heure::depuis_date(jour, 20, 50);

    donnees_banc() : chemin(dossier.path() + QStringLiteral("/programmes.mdb")) {
        bancs::creer_base_vide(chemin);
        donnees::base_programmes base(chemin);
        donnees::transaction ecriture(base);
        for (int c = 1; c <= nb_chaines; ++c) {
            base.ajouter_chaine({c, QStringLiteral("Chaine %1").arg(c),
                                 QStringLiteral("http://127.0.0.1/%1").arg(c), (c - 1) % 16 + 1});
            // From 06:00, lengths of 10 to 25 minutes, shifted per channel.
            date_heure t = date_heure::depuis_date(jour, 6, c % 7);
            for (int i = 0; i < par_chaine; ++i) {
                const date_heure d = date_heure::duree_hm(0, 10 + (i * 7 + c) % 16);
                base.ajouter_programme(
                    {QStringLiteral("Programme %1 de la chaine %2").arg(i).arg(c), t, d, t + d}, c);
                t += d;
            }
        }
        ecriture.valider();
    }
};

donnees_banc& jeu() {
    static donnees_banc d;
    return d;
}

// What any reader of the table must do at least.
void scan_sqlite_nu(benchmark::State& state) {
    bancs::mesurer_plancher(state, jeu().chemin.toUtf8(), nb_chaines * par_chaine);
}

// The panel's computation as affiche_actuel runs it: open, stream, compute.
void calcul_du_panneau(benchmark::State& state) {
    auto& d = jeu();
    for (auto _ : state) {
        calcul_panneau c(1, d.maintenant);
        donnees::base_programmes base(d.chemin);
        base.parcourir_panneau(
            1, d.maintenant,
            [&](const donnees::ligne_liste& r, qint64 rang, std::optional<qint64> precedent) {
                c.ajouter_rang(r, rang, precedent);
            },
            [&](const donnees::ligne_liste& r) { return c.titre_utile(r.hdeb, r.hfin, r.chaine); });
        benchmark::DoNotOptimize(c.resultat().par_chaine.size());
    }
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
}

// The whole of affiche_actuel, drawing included, on a window with 300 channel rows.
void affiche_actuel_complet(benchmark::State& state) {
    auto& d = jeu();
    horloge_fixe h(d.maintenant.en_qdatetime());
    contexte ctx;
    modele::guide guide(ctx);
    ctx.guide = &guide;
    ctx.dossier_appli = d.dossier.path();
    ctx.horloge_ = &h;
    auto f = std::make_unique<vues::fl_main>(ctx);
    f->setAttribute(Qt::WA_DeleteOnClose, false);
    f->remplir_chaines();
    f->remplir_programmes();
    for (auto _ : state)
        f->affiche_actuel();
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
}

} // namespace

BENCHMARK(scan_sqlite_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(calcul_du_panneau)->Unit(benchmark::kMillisecond);
BENCHMARK(affiche_actuel_complet)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    jeu();
    return bancs::lancer_bancs(argc, argv);
}
