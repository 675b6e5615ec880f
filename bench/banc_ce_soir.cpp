// "Ce soir" on every channel next to a bare SQLite scan of "liste": 300 channels
// of 100 programmes, each with a description, stored channel after channel.
#include "base_vide.h"
#include "core/soirees.h"
#include "data/base_programmes.h"
#include "data/details.h"
#include "modele/guide.h"
#include "outils/horloge_fixe.h"
#include "plancher_sqlite.h"
#include "views/fl_ce_soir.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace zapo;

namespace {

constexpr int nb_chaines = 300;
constexpr int par_chaine = 100;
const QDate jour(2026, 12, 7);

struct donnees_banc {
    QTemporaryDir dossier;
    QString chemin;
    date_heure maintenant = date_heure::depuis_date(jour, 18, 0);

    donnees_banc() : chemin(dossier.path() + QStringLiteral("/programmes.mdb")) {
        bancs::creer_base_vide(chemin);
        donnees::base_programmes base(chemin);
        base.commencer();
        for (int c = 1; c <= nb_chaines; ++c) {
            base.ajouter_chaine({c, QStringLiteral("Chaine %1").arg(c),
                                 QStringLiteral("http://127.0.0.1/%1").arg(c), (c - 1) % 16 + 1});
            // From 06:00, lengths of 5 to 60 minutes, shifted per channel: the evening holds a few.
            std::vector<fiche_programme> v;
            date_heure t = date_heure::depuis_date(jour, 6, c % 7);
            for (int i = 0; i < par_chaine; ++i) {
                const date_heure d = date_heure::duree_hm(0, 5 + (i * 7 + c) % 56);
                fiche_programme p{QStringLiteral("Programme %1 de la chaine %2").arg(i).arg(c), t, d, t + d};
                p.details.description =
                    QStringLiteral("Ce que raconte le programme %1, en quelques mots.").arg(i);
                v.push_back(std::move(p));
                t += d;
            }
            base.remplacer_programmes(c, v);
            donnees::remplacer_details(base, c, v);
        }
        base.valider();
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

// The rule alone over every channel: open, stream, pick.
void calcul_soirees(benchmark::State& state) {
    auto& d = jeu();
    for (auto _ : state) {
        donnees::base_programmes base(d.chemin, donnees::base_programmes::ouverture::lecture_seule);
        std::vector<int> nums;
        for (const auto& c : base.lire_chaines())
            nums.push_back(c.num_chaine);
        soirees s(nums, d.maintenant);
        base.parcourir_liste([&](const donnees::ligne_liste& r) { s.ajouter(r); });
        benchmark::DoNotOptimize(s.resultat().size());
    }
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
}

// Opening the window as the menu does: built, filled (details and logos included), shown, closed.
void ouvrir_ce_soir(benchmark::State& state) {
    auto& d = jeu();
    horloge_fixe h(d.maintenant.en_qdatetime());
    contexte ctx;
    modele::guide guide(ctx);
    ctx.guide = &guide;
    ctx.dossier_appli = d.dossier.path();
    ctx.horloge_ = &h;
    for (auto _ : state) {
        vues::fl_ce_soir* w = vues::fl_ce_soir::afficher(ctx, {});
        benchmark::DoNotOptimize(w->liste()->topLevelItemCount());
        delete w;
    }
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
}

} // namespace

BENCHMARK(scan_sqlite_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(calcul_soirees)->Unit(benchmark::kMillisecond);
BENCHMARK(ouvrir_ce_soir)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    jeu();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
