// One update run, without a window, that keeps eight days of 30 channels from
// one feed served on 127.0.0.1: a realistic XMLTV feed of our own making (about
// 35 programmes a day per channel, each with sub-title, description,
// categories, people, marks), every channel pointing at it by its id.
//
// The pauses the run must make between its steps are counted, not waited (the
// run's pace is a service: here one that adds them up), so the time measured is
// the run's own work beyond its pacing. Memory: the process's resident memory
// at rest (libraries loaded, server ready, base made) and its peak during the
// runs, as counters (kB), and the difference, what a run adds to whatever
// process makes it. The first repetition reads the whole feed; the server
// answers the next ones 304 (If-Modified-Since). The feed is served by another process (Python's
// http.server), so that what the server holds is not counted as the run's.
#include "commun_banc.h"
#include "donnees/base_programmes.h"
#include "donnees/semaine.h"
#include "maj/maj_programmes.h"
#include "maj/recup.h"
#include "modele/guide.h"
#include "noyau/contexte.h"
#include "noyau/horloge.h"
#include "outils/faux_services.h"
#include "outils/horloge_fixe.h"

#include "base_vide.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace zapo;

namespace {

constexpr int nb_chaines = 30;
const QDate jour(2026, 12, 7);

QByteArray heure(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + " +0100";
}

// Eight days and a half from 00:00 today, channel after channel, as the public feeds are laid out.
QByteArray flux_semaine() {
    QByteArray f = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"banc\">\n";
    for (int c = 0; c < nb_chaines; ++c)
        f += "  <channel id=\"Chaine" + QByteArray::number(c) + ".fr\"><display-name>Chaîne " +
             QByteArray::number(c) + "</display-name></channel>\n";
    const QDateTime debut(jour, QTime(0, 0));
    const QDateTime fin = debut.addDays(8).addSecs(12 * 3600);
    for (int c = 0; c < nb_chaines; ++c) {
        QDateTime a = debut.addSecs(60 * (c % 7));
        for (int n = 0; a < fin; ++n) {
            const QDateTime b = a.addSecs(60 * (10 + (n * 7 + c) % 51));
            f += "  <programme start=\"" + heure(a) + "\" stop=\"" + heure(b) + "\" channel=\"Chaine" +
                 QByteArray::number(c) + ".fr\">\n    <title lang=\"fr\">Émission n° " +
                 QByteArray::number(n) + " &amp; suite</title>\n    <sub-title lang=\"fr\">Épisode " +
                 QByteArray::number(n % 40) +
                 "</sub-title>\n    <desc lang=\"fr\">Une description comme en donnent les guides : "
                 "l'intrigue, les invités, les lieux du tournage et la distribution, en quelques phrases, "
                 "avec ce qu'il faut savoir avant de regarder.</desc>\n"
                 "    <credits><director>Jean Lefèvre</director><actor>Camille Durand</actor>"
                 "<actor>Hélène Petit</actor></credits>\n    <date>2019</date>\n"
                 "    <category lang=\"fr\">Série</category>\n    <category "
                 "lang=\"fr\">Divertissement</category>\n" +
                 QByteArray(n % 3 == 0 ? "    <previously-shown/>\n" : "") +
                 "    <star-rating><value>3/5</value></star-rating>\n  </programme>\n";
            a = b;
        }
    }
    f += "</tv>\n";
    return f;
}

struct banc {
    QTemporaryDir dossier;
    QProcess serveur;
    QString adresse;
    horloge_fixe h{QDateTime(jour, QTime(14, 0))};
    essais::fausse_connexion cx;
    essais::rythme_nul pas;
    contexte ctx;
    // The run tells it its start and end.
    modele::guide guide{ctx};
    qint64 octets = 0;
    qint64 rss_repos = 0;

    banc() {
        ctx.guide = &guide;
        ctx.dossier_appli = dossier.path();
        ctx.horloge_ = &h;
        ctx.connexion = &cx;
        ctx.pas = &pas;
        {
            const QByteArray f = flux_semaine();
            octets = f.size();
            QFile x(dossier.filePath(QStringLiteral("tnt.xml")));
            if (!x.open(QIODevice::WriteOnly) || x.write(f) != f.size())
                qFatal("flux non écrit");
        }
        // Port 0: the system picks a free one, which the server's first line gives.
        serveur.setProcessChannelMode(QProcess::MergedChannels);
        serveur.start(QStringLiteral("python3"),
                      {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                       QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--directory"),
                       dossier.path(), QStringLiteral("0")});
        static const QRegularExpression port(QStringLiteral("port (\\d+)"));
        QByteArray sortie;
        while (!port.match(QString::fromLatin1(sortie)).hasMatch()) {
            if (!serveur.waitForReadyRead(30000))
                qFatal("serveur local muet");
            sortie += serveur.readAll();
        }
        adresse = QStringLiteral("http://127.0.0.1:%1/tnt.xml")
                      .arg(port.match(QString::fromLatin1(sortie)).captured(1));
        bancs::creer_base_vide(ctx.chemin_base());
        donnees::base_programmes b(ctx.chemin_base());
        for (int c = 0; c < nb_chaines; ++c)
            b.ajouter_chaine({c + 1, QStringLiteral("Chaîne %1").arg(c),
                              adresse + QStringLiteral("#Chaine%1.fr").arg(c), c % 16 + 1});
    }
    ~banc() {
        serveur.kill();
        serveur.waitForFinished();
    }
};

banc& jeu() {
    static banc b;
    return b;
}

class suivi_muet final : public maj::suivi_maj {
public:
    void ecrire_progres1(float) override {}
    void ecrire_progres2(float v) override { v2 = v; }
    float valeur_progres2() const override { return v2; }
    void ecrire_cours(const QString&) override {}
    void sur_interruption(std::function<void()>) override {}
    float v2 = 0;
};

void maj_30_chaines_8_jours(benchmark::State& state) {
    auto& b = jeu();
    qint64 semaine = 0;
    for (auto _ : state) {
        b.pas.total = 0;
        suivi_muet s;
        maj::branchements br;
        br.fabrique_recup = [&b] { return std::make_unique<maj::recuperateur>(b.h); };
        if (maj::pilote_maj(b.ctx, s, std::move(br)).maj_programmes() != maj::fin_maj::complete)
            state.SkipWithError("la mise à jour n'est pas complète");
        state.PauseTiming();
        donnees::base_programmes base(b.ctx.chemin_base());
        semaine = 0;
        donnees::parcourir_semaine(base, false, [&](const donnees::programme_semaine&) { ++semaine; });
        state.ResumeTiming();
    }
    state.counters["flux_ko"] = double(b.octets / 1024);
    state.counters["programmes_gardes"] = double(semaine);
    state.counters["pauses_s"] = b.pas.total;
    state.counters["rss_repos_ko"] = double(b.rss_repos);
    const qint64 pic = bancs::ligne_status("VmHWM:");
    state.counters["pic_ko"] = double(pic);
    // What the run itself adds: the same in the program at rest, whose figure is set beside it.
    state.counters["ajout_ko"] = double(pic - b.rss_repos);
}

} // namespace

BENCHMARK(maj_30_chaines_8_jours)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    qputenv("ZAPO_TV_ADRESSE_TEST", "127.0.0.1");
    QCoreApplication app(argc, argv);
    jeu();
    // The resting process, before any run: what the run's peak is set against.
    // Making the feed raised the peak; it starts again from here.
    if (QFile r(QStringLiteral("/proc/self/clear_refs")); r.open(QIODevice::WriteOnly))
        r.write("5");
    jeu().rss_repos = bancs::ligne_status("VmRSS:");
    return bancs::lancer_bancs(argc, argv);
}
