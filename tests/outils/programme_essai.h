#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace zapo::essais {

// The real executable, copied into a temporary folder of its own (which is then
// its data folder), with HOME and XDG folders inside that folder and message
// boxes written to a journal instead of the screen.
class programme_essai {
public:
    // Writes a config.ini with the four options unless `options` is empty.
    explicit programme_essai(
        const QString& options = QStringLiteral("#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"));
    ~programme_essai();

    bool valide() const { return ok_; }
    QString dossier() const { return dir_.path(); }
    QString exe() const { return dir_.path() + QStringLiteral("/zapo-tv"); }
    QString base() const { return dir_.path() + QStringLiteral("/programmes.mdb"); }

    // Extra variables for the next starts (DISPLAY, ...).
    QProcessEnvironment& environnement() { return env_; }

    // Starts one copy; the object keeps it and ends it on destruction.
    QProcess* lancer(const QStringList& arguments = {});

    // Message boxes shown so far, in order.
    QList<QJsonObject> boites() const;
    // The next starts write what the main window shows to vues.jsonl, and
    // fenetre_affichee() says whether a copy has shown it with its panel filled:
    // the program is up.
    void suivre_fenetre();
    bool fenetre_affichee() const;

private:
    QTemporaryDir dir_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> processus_;
    bool ok_ = false;
};

// Waits up to `ms` for a line of the process's output that starts with `attendu`.
bool attendre_ligne(QProcess& p, const QByteArray& attendu, int ms = 20000);

// Waits up to `ms` for `condition`, letting events run.
template <class F> bool attendre_que(F&& condition, int ms);

} // namespace zapo::essais

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

template <class F> bool zapo::essais::attendre_que(F&& condition, int ms) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}
