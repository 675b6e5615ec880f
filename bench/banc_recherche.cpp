// One keystroke of the search next to a bare SQLite scan of "liste": 30 000
// stored rows, 300 channels of 100 programmes, titles of everyday French.
#include "base_vide.h"
#include "commun_banc.h"
#include "donnees/base_programmes.h"
#include "donnees/lecture_recherche.h"
#include "donnees/transaction.h"
#include "modele/guide.h"
#include "noyau/recherche.h"
#include "outils/horloge_fixe.h"
#include "plancher_sqlite.h"
#include "semaine_banc.h"
#include "vues/fl_recherche.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <array>

using namespace zapo;

namespace {

constexpr int nb_chaines = 300;
constexpr int par_chaine = 100;
const QDate jour(2026, 12, 8);

// What is typed: one letter (nearly every title, the list at its cap), a word,
// a word without its accent, two words, nothing found.
const std::array<const char*, 5> saisies = {"e", "journal", "ete", "feux amour", "zygomatique"};

struct donnees_banc {
    QTemporaryDir dossier;
    QString chemin;
    date_heure maintenant = date_heure::depuis_date(jour, 6, 0);

    donnees_banc() : chemin(dossier.path() + QStringLiteral("/programmes.mdb")) {
        bancs::creer_base_vide(chemin);
        donnees::base_programmes base(chemin);
        donnees::transaction ecriture(base);
        for (int c = 1; c <= nb_chaines; ++c) {
            base.ajouter_chaine({c, QStringLiteral("Chaine %1").arg(c),
                                 QStringLiteral("http://127.0.0.1/%1").arg(c), (c - 1) % 16 + 1});
            date_heure t = date_heure::depuis_date(jour, 6, c % 7);
            for (int i = 0; i < par_chaine; ++i) {
                const date_heure d = date_heure::duree_hm(0, 10 + (i * 7 + c) % 16);
                base.ajouter_programme({bancs::titre_semaine(i, c), t, d, t + d}, c);
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

// The kept week: 300 channels of eight days, every programme with its details.
struct semaine_banc {
    QTemporaryDir dossier;
    QString chemin;
    qint64 lignes;
    date_heure maintenant = date_heure::depuis_date(jour, 0, 0);

    semaine_banc()
        : chemin(dossier.path() + QStringLiteral("/programmes.mdb")),
          lignes(bancs::remplir_semaine_banc(chemin, nb_chaines, jour)) {}
};

semaine_banc& semaine() {
    static semaine_banc s;
    return s;
}

// What any reader of the table must do at least.
void scan_sqlite_nu(benchmark::State& state) {
    bancs::mesurer_plancher(state, jeu().chemin.toUtf8(), nb_chaines * par_chaine);
}

// Once per opening and per update: every row read and its title folded.
void lecture_index(benchmark::State& state) {
    for (auto _ : state) {
        const index_recherche i = donnees::lire_index_recherche(jeu().chemin);
        benchmark::DoNotOptimize(i.entrees().size());
    }
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
}

// The rule alone, over the folded titles kept since the last reading.
void frappe_regle(benchmark::State& state) {
    static const index_recherche index = donnees::lire_index_recherche(jeu().chemin);
    const QString saisie = QString::fromUtf8(saisies[std::size_t(state.range(0))]);
    qsizetype total = 0;
    for (auto _ : state) {
        const auto r = index.chercher(saisie, jeu().maintenant, vues::fl_recherche::plafond);
        total = r.total;
        benchmark::DoNotOptimize(r.lignes.data());
    }
    state.SetLabel(saisies[std::size_t(state.range(0))]);
    state.counters["trouves"] = double(total);
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
}

// One keystroke as the user sees it: the rule, then the list refilled.
void frappe_fenetre(benchmark::State& state) {
    horloge_fixe h(jeu().maintenant.en_qdatetime());
    contexte ctx;
    modele::guide guide(ctx);
    ctx.guide = &guide;
    ctx.dossier_appli = jeu().dossier.path();
    ctx.horloge_ = &h;
    vues::fl_recherche* f = vues::fl_recherche::afficher(ctx, {});
    // Controls by name, as the tests reach them.
    f->findChild<QLineEdit*>(QStringLiteral("txt_recherche"))
        ->setText(QString::fromUtf8(saisies[std::size_t(state.range(0))]));
    for (auto _ : state)
        f->chercher();
    state.SetLabel(saisies[std::size_t(state.range(0))]);
    state.counters["lignes"] =
        double(f->findChild<QTreeWidget*>(QStringLiteral("lst_resultats"))->topLevelItemCount());
    state.SetItemsProcessed(state.iterations() * nb_chaines * par_chaine);
    delete f;
}

// The same over the kept week: the floor is a bare scan of every row the
// reading goes through (`liste`, then the week with its texts).
void scan_semaine_nu(benchmark::State& state) {
    for (auto _ : state)
        bancs::balayer_semaine(semaine().chemin.toUtf8(), true);
    state.SetItemsProcessed(state.iterations() * semaine().lignes);
}

void lecture_index_semaine(benchmark::State& state) {
    for (auto _ : state) {
        const index_recherche i = donnees::lire_index_recherche(semaine().chemin);
        benchmark::DoNotOptimize(i.entrees().size());
    }
    state.SetItemsProcessed(state.iterations() * semaine().lignes);
}

void frappe_regle_semaine(benchmark::State& state) {
    static const index_recherche index = donnees::lire_index_recherche(semaine().chemin);
    const QString saisie = QString::fromUtf8(saisies[std::size_t(state.range(0))]);
    qsizetype total = 0;
    for (auto _ : state) {
        const auto r = index.chercher(saisie, semaine().maintenant, vues::fl_recherche::plafond);
        total = r.total;
        benchmark::DoNotOptimize(r.lignes.data());
    }
    state.SetLabel(saisies[std::size_t(state.range(0))]);
    state.counters["trouves"] = double(total);
    state.SetItemsProcessed(state.iterations() * semaine().lignes);
}

void frappe_fenetre_semaine(benchmark::State& state) {
    horloge_fixe h(semaine().maintenant.en_qdatetime());
    contexte ctx;
    // The windows listen to the guide and read the reminders through it.
    modele::guide guide(ctx);
    ctx.guide = &guide;
    ctx.dossier_appli = semaine().dossier.path();
    ctx.horloge_ = &h;
    vues::fl_recherche* f = vues::fl_recherche::afficher(ctx, {});
    f->findChild<QLineEdit*>(QStringLiteral("txt_recherche"))
        ->setText(QString::fromUtf8(saisies[std::size_t(state.range(0))]));
    for (auto _ : state)
        f->chercher();
    state.SetLabel(saisies[std::size_t(state.range(0))]);
    state.counters["lignes"] =
        double(f->findChild<QTreeWidget*>(QStringLiteral("lst_resultats"))->topLevelItemCount());
    state.SetItemsProcessed(state.iterations() * semaine().lignes);
    delete f;
}

} // namespace

BENCHMARK(scan_sqlite_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(lecture_index)->Unit(benchmark::kMillisecond);
BENCHMARK(frappe_regle)->DenseRange(0, int(saisies.size()) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(frappe_fenetre)->DenseRange(0, int(saisies.size()) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(scan_semaine_nu)->Unit(benchmark::kMillisecond);
BENCHMARK(lecture_index_semaine)->Unit(benchmark::kMillisecond);
BENCHMARK(frappe_regle_semaine)->DenseRange(0, int(saisies.size()) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(frappe_fenetre_semaine)->DenseRange(0, int(saisies.size()) - 1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    jeu();
    semaine();
    return bancs::lancer_bancs(argc, argv);
}
