// "Ce soir" on every channel next to a bare SQLite scan of "liste": 300 channels
// of 100 programmes, each with a description, stored channel after channel.
#include "base_vide.h"
#include "commun_banc.h"
#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "modele/guide.h"
#include "noyau/soirees.h"
#include "outils/horloge_fixe.h"
#include "plancher_sqlite.h"
#include "semaine_banc.h"
#include "vues/fl_ce_soir.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QComboBox>
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
        donnees::transaction ecriture(base);
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

// The rule alone over every channel, as the window reads it: open, stream the
// rows SQLite hands over, pick.
void calcul_soirees(benchmark::State& state) {
    auto& d = jeu();
    for (auto _ : state) {
        donnees::base_programmes base(d.chemin, donnees::base_programmes::ouverture::lecture_seule);
        std::vector<int> nums;
        for (const auto& c : base.lire_chaines())
            nums.push_back(c.num_chaine);
        benchmark::DoNotOptimize(donnees::lire_soirees(base, nums, d.maintenant, 0).size());
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

// The kept week: 300 channels of eight days with their details; the clock at
// 18:00 on its first day.
struct semaine_banc {
    QTemporaryDir dossier;
    QString chemin;
    qint64 lignes;
    date_heure maintenant = date_heure::depuis_date(jour, 18, 0);

    semaine_banc()
        : chemin(dossier.path() + QStringLiteral("/programmes.mdb")),
          lignes(bancs::remplir_semaine_banc(chemin, nb_chaines, jour)) {}
};

semaine_banc& semaine() {
    static semaine_banc s;
    return s;
}

// What the evening of a later day reads at least: `liste`, then the week's five columns.
void scan_semaine_nu(benchmark::State& state) {
    for (auto _ : state)
        bancs::balayer_semaine(semaine().chemin.toUtf8(), false);
    state.SetItemsProcessed(state.iterations() * semaine().lignes);
}

// The rule for the evening `range(0)` days ahead: open, stream, pick.
void calcul_soirees_jour(benchmark::State& state) {
    auto& s = semaine();
    for (auto _ : state) {
        donnees::base_programmes base(s.chemin, donnees::base_programmes::ouverture::lecture_seule);
        std::vector<int> nums;
        for (const auto& c : base.lire_chaines())
            nums.push_back(c.num_chaine);
        benchmark::DoNotOptimize(donnees::lire_soirees(base, nums, s.maintenant, int(state.range(0))).size());
    }
    state.SetItemsProcessed(state.iterations() * s.lignes);
}

// The window showing the evening `range(0)` days ahead, as when it is chosen in
// its list: filled (details and logos included) and drawn.
void choisir_soiree(benchmark::State& state) {
    auto& s = semaine();
    horloge_fixe h(s.maintenant.en_qdatetime());
    contexte ctx;
    // The windows listen to the guide and read the reminders through it.
    modele::guide guide(ctx);
    ctx.guide = &guide;
    ctx.dossier_appli = s.dossier.path();
    ctx.horloge_ = &h;
    vues::fl_ce_soir* w = vues::fl_ce_soir::afficher(ctx, {});
    auto* choix = w->findChild<QComboBox*>(QStringLiteral("cbo_soir"));
    const int k = int(state.range(0));
    for (auto _ : state) {
        choix->setCurrentIndex(k);
        Q_EMIT choix->activated(k);
        benchmark::DoNotOptimize(w->liste()->topLevelItemCount());
    }
    state.counters["soirees"] = double(choix->count());
    state.SetItemsProcessed(state.iterations() * s.lignes);
    delete w;
}

} // namespace

BENCHMARK(scan_sqlite_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(calcul_soirees)->Unit(benchmark::kMillisecond);
BENCHMARK(ouvrir_ce_soir)->Unit(benchmark::kMillisecond);
BENCHMARK(scan_semaine_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(calcul_soirees_jour)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
BENCHMARK(choisir_soiree)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    jeu();
    semaine();
    return bancs::lancer_bancs(argc, argv);
}
