// The time grid over a full week: 300 channels x 8 days (about 100 000
// programmes, in `semaine`, today's first rows also in `liste`), next to the
// bare SQLite read of the shown day's rows.
#include "base_vide.h"
#include "commun_banc.h"
#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/lecture_grille.h"
#include "donnees/semaine.h"
#include "donnees/transaction.h"
#include "modele/guide.h"
#include "noyau/horloge.h"
#include "outils/horloge_fixe.h"
#include "vues/fl_grille.h"
#include "vues/grille_vue.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

using namespace zapo;

namespace {

constexpr int nb_chaines = 300;
constexpr int dans_liste = 40; // today's first rows, as an update leaves them
const QDate jour(2026, 12, 7);
const char* const categories[] = {
    "Film", "Série policière", "Magazine sportif", "Journal", "Dessin animé", "Documentaire",
    "Jeu",  "Concert",         "Magazine",         "Téléfilm"};

struct donnees_banc {
    QTemporaryDir dossier;
    QString chemin;
    date_heure maintenant = date_heure::depuis_date(jour, 20, 40);
    qint64 nb_programmes = 0;

    donnees_banc() : chemin(dossier.path() + QStringLiteral("/programmes.mdb")) {
        bancs::creer_base_vide(chemin);
        donnees::base_programmes base(chemin);
        donnees::mettre_a_niveau(base);
        donnees::transaction ecriture(base);
        for (int c = 1; c <= nb_chaines; ++c) {
            base.ajouter_chaine({c, QStringLiteral("Chaine %1").arg(c),
                                 QStringLiteral("http://127.0.0.1/%1").arg(c), (c - 1) % 16 + 1});
            // From 00:00 today for eight days, 10 to 56 minutes each.
            std::vector<fiche_programme> v;
            date_heure t = date_heure::depuis_date(jour, 0, c % 7);
            const date_heure fin = date_heure::depuis_date(jour.addDays(jours_semaine), 0, 0);
            for (int i = 0; t < fin; ++i) {
                const date_heure d = date_heure::duree_hm(0, 10 + (i * 7 + c) % 47);
                fiche_programme p{QStringLiteral("Programme %1 de la chaine %2").arg(i).arg(c), t, d, t + d};
                p.details.categories = {QString::fromUtf8(categories[(i + c) % 10])};
                p.details.description = QStringLiteral("Ce que raconte le programme %1.").arg(i);
                p.details.rediffusion = i % 5 == 0;
                v.push_back(std::move(p));
                t += d;
            }
            nb_programmes += qint64(v.size());
            const std::vector<fiche_programme> premiers(v.begin(), v.begin() + dans_liste);
            base.remplacer_programmes(c, premiers);
            donnees::remplacer_details(base, c, premiers);
            donnees::remplacer_semaine(base, c, v);
        }
        ecriture.valider();
    }
};

donnees_banc& jeu() {
    static donnees_banc d;
    return d;
}

// The floor: the shown day's rows of the week, read with the columns the grid draws.
void lecture_jour_nue(benchmark::State& state) {
    auto& d = jeu();
    const qint64 debut = d.maintenant.jour().secondes();
    qint64 lignes = 0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(d.chemin.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT chaine, hdeb, hfin, titre, categories, rediffusion, inedit FROM semaine "
                           "WHERE hdeb >= ?1 AND hdeb < ?2",
                           -1, &st, nullptr);
        sqlite3_bind_int64(st, 1, debut);
        sqlite3_bind_int64(st, 2, debut + un_jour.secondes());
        qint64 somme = 0;
        lignes = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            somme += sqlite3_column_int64(st, 0) + sqlite3_column_int64(st, 1) + sqlite3_column_int64(st, 2) +
                     sqlite3_column_bytes(st, 3) + sqlite3_column_bytes(st, 4) + sqlite3_column_int(st, 5) +
                     sqlite3_column_int(st, 6);
            ++lignes;
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        benchmark::DoNotOptimize(somme);
    }
    state.counters["lignes"] = double(lignes);
}

// What the grid reads for that day: `liste` winning, the marks, through the program's own reader.
void lecture_periode(benchmark::State& state) {
    auto& d = jeu();
    for (auto _ : state) {
        donnees::base_programmes base(d.chemin, donnees::base_programmes::ouverture::lecture_seule);
        qint64 n = 0;
        donnees::parcourir_periode(base, d.maintenant.jour(), d.maintenant.jour() + un_jour,
                                   [&](const donnees::programme_semaine& p) { n += p.titre.size(); });
        benchmark::DoNotOptimize(n);
    }
}

struct grille_ouverte {
    horloge_fixe h;
    contexte ctx;
    modele::guide guide{ctx};
    vues::fl_grille* w = nullptr;
    QImage image;
    explicit grille_ouverte(donnees_banc& d) : h(d.maintenant.en_qdatetime()) {
        ctx.dossier_appli = d.dossier.path();
        ctx.horloge_ = &h;
        ctx.guide = &guide;
    }
    void ouvrir() {
        w = vues::fl_grille::afficher(ctx, {});
        w->resize(1280, 800);
        peindre();
    }
    // A frame of the grid, painted now as the window system would ask for it.
    void peindre() {
        QWidget* v = w->grille()->viewport();
        if (image.size() != v->size())
            image = QImage(v->size(), QImage::Format_ARGB32_Premultiplied);
        v->render(&image);
    }
    ~grille_ouverte() { delete w; }
};

// From the menu to the first frame: built, the days in view read, laid out, painted.
void premiere_image(benchmark::State& state) {
    auto& d = jeu();
    for (auto _ : state) {
        grille_ouverte g(d);
        g.ouvrir();
        benchmark::DoNotOptimize(g.w->grille()->nb_rangees());
        state.PauseTiming();
        delete g.w;
        g.w = nullptr;
        state.ResumeTiming();
    }
}

// One step of the scroll bar (half an hour), and the repaint it causes.
void pas_defilement(benchmark::State& state) {
    auto& d = jeu();
    grille_ouverte g(d);
    g.ouvrir();
    for (int i = 0; i < 1000 && !(g.w->windowHandle() && g.w->windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    QScrollBar* b = g.w->grille()->horizontalScrollBar();
    const int depart = b->value();
    int sens = 1;
    for (auto _ : state) {
        // Back and forth over the day read already, so that only painting is measured.
        if (b->value() >= depart + 8 * b->singleStep())
            sens = -1;
        else if (b->value() <= depart)
            sens = 1;
        b->setValue(b->value() + sens * b->singleStep());
        // Painted as the window system does: only what the step exposed.
        QCoreApplication::processEvents();
    }
}

qint64 rss_ko() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// What the open grid costs: opened, then scrolled through the whole week so that
// every day is read, against the program before it opened.
void memoire_grille(benchmark::State& state) {
    auto& d = jeu();
    double mo = 0;
    // The idle program has painted text already: fonts and styles are loaded.
    {
        QLabel l(QStringLiteral("Zapo-TV"));
        l.resize(200, 40);
        l.grab();
    }
    for (auto _ : state) {
        const qint64 avant = rss_ko();
        grille_ouverte g(d);
        g.ouvrir();
        QScrollBar* b = g.w->grille()->horizontalScrollBar();
        while (b->value() < b->maximum()) {
            b->setValue(b->value() + b->pageStep());
            g.peindre();
        }
        mo = double(rss_ko() - avant) / 1024.0;
    }
    state.counters["Mo"] = mo;
}

} // namespace

// The memory first, before other runs leave freed pages behind.
BENCHMARK(memoire_grille)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(lecture_jour_nue)->Unit(benchmark::kMillisecond);
BENCHMARK(lecture_periode)->Unit(benchmark::kMillisecond);
BENCHMARK(premiere_image)->Unit(benchmark::kMillisecond);
BENCHMARK(pas_defilement)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    jeu();
    return bancs::lancer_bancs(argc, argv);
}
