// What every benchmark program of its own shares: reading its memory figures and
// running the registered benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>

namespace zapo::bancs {

// A line of /proc/self/status in kB ("VmRSS:", "VmHWM:"), or -1.
inline qint64 ligne_status(const char* nom) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith(nom))
            return l.mid(qsizetype(qstrlen(nom))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The body of a benchmark's own main(), once its set-up is made.
inline int lancer_bancs(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace zapo::bancs
