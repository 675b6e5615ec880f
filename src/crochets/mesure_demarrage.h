#pragma once

// Start-up measurement, for the benchmarks only: the test build of the program
// and the bare comparison program carry it, never the installed program.
// With ZAPO_TV_MESURE_DEMARRAGE=1 the program writes "premier_affichage_ms <n>" on its standard output once
// its main window has been painted for the first time, n counted from the start of the process, then quits.
// Without the variable nothing is installed. Header-only so that the bare comparison program shares it
// without linking ours.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace zapo::crochets {

// Milliseconds since this process started (its start time in /proc has a
// resolution of one clock tick, 10 ms here), or -1 when unknown.
inline double ms_depuis_lancement() {
    QFile f(QStringLiteral("/proc/self/stat"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    // The command name may hold blanks and brackets: fields count from the last ')'.
    const qsizetype apres_nom = stat.lastIndexOf(')');
    if (apres_nom < 0)
        return -1;
    const QList<QByteArray> champs = stat.mid(apres_nom + 2).split(' ');
    // Field 22 of the line, starttime, is the 20th after the name.
    if (champs.size() < 20)
        return -1;
    bool ok = false;
    const double debut = double(champs[19].toULongLong(&ok)) / double(::sysconf(_SC_CLK_TCK));
    timespec t{};
    if (!ok || ::clock_gettime(CLOCK_BOOTTIME, &t) != 0)
        return -1;
    return (double(t.tv_sec) + double(t.tv_nsec) / 1e9 - debut) * 1000.0;
}

class mesure_demarrage final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* o, QEvent* e) override {
        // The window's own paint comes first, its children's next, the flush to
        // the screen last: the measure is taken once that pass is over.
        if (!fait_ && e->type() == QEvent::Paint && o->inherits("QMainWindow")) {
            fait_ = true;
            QTimer::singleShot(0, this, [] {
                std::printf("premier_affichage_ms %.1f\n", ms_depuis_lancement());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool fait_ = false;
};

// Installs the measure when ZAPO_TV_MESURE_DEMARRAGE=1; call it once the application exists.
inline void mesurer_demarrage_si_demande() {
    if (qEnvironmentVariable("ZAPO_TV_MESURE_DEMARRAGE") == QLatin1String("1"))
        QCoreApplication::instance()->installEventFilter(new mesure_demarrage(QCoreApplication::instance()));
}

} // namespace zapo::crochets
