#include "plateforme/signaux_arret.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using zapo::plateforme::signaux_arret;

namespace {

// Whether the signal is left to its default (ending the program).
bool par_defaut(int signal) {
    struct sigaction a {};
    ::sigaction(signal, nullptr, &a);
    return a.sa_handler == SIG_DFL;
}

} // namespace

class test_signaux_arret : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Caught, told on the event loop, then left to its default: a second one
    // ends a program stuck on its way out.
    void signal_recu_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signal_recu() {
        QFETCH(int, signal);
        {
            signaux_arret s;
            QVERIFY(s.actif());
            QVERIFY(!par_defaut(signal));
            QSignalSpy espion(&s, &signaux_arret::arret_demande);
            QCOMPARE(::raise(signal), 0);
            QVERIFY(espion.wait(5000));
            QCOMPARE(espion.size(), 1);
            QCOMPARE(espion.at(0).at(0).toInt(), signal);
            QVERIFY(par_defaut(signal));
            // One at a time: a second object catches nothing.
            signaux_arret autre;
            QVERIFY(!autre.actif());
        }
        QVERIFY(par_defaut(SIGTERM));
        QVERIFY(par_defaut(SIGINT));
        // Free again once gone.
        signaux_arret suivant;
        QVERIFY(suivant.actif());
    }

    // Ignored by whoever started the program (a job in a shell's background): left so.
    void signal_ignore() {
        std::signal(SIGINT, SIG_IGN);
        {
            signaux_arret s;
            QVERIFY(s.actif());
            QSignalSpy espion(&s, &signaux_arret::arret_demande);
            QCOMPARE(::raise(SIGINT), 0);
            QVERIFY(!espion.wait(200)); // nothing to wait on but a little time
            QVERIFY(!par_defaut(SIGTERM));
        }
        struct sigaction a {};
        ::sigaction(SIGINT, nullptr, &a);
        QVERIFY(a.sa_handler == SIG_IGN);
        std::signal(SIGINT, SIG_DFL);
    }
};

QTEST_GUILESS_MAIN(test_signaux_arret)
#include "test_signaux_arret.moc"
