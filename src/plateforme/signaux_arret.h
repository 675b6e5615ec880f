#pragma once

#include <QObject>

class QSocketNotifier;

namespace zapo::plateforme {

// SIGTERM and SIGINT (a logout, Ctrl+C in the terminal, `kill`) as a Qt signal
// on the thread that made this object: the handler only writes a byte to a
// pipe, which is all a handler may safely do, and the event loop reads it.
// A second one while the first is handled ends the program the default way.
// One at a time in the process; the default dispositions come back with it.
class signaux_arret : public QObject {
    Q_OBJECT
public:
    explicit signaux_arret(QObject* parent = nullptr);
    ~signaux_arret() override;

    // False when the pipe or the handlers could not be set up (nothing is
    // then caught: the signals end the program as before).
    bool actif() const { return notificateur_ != nullptr; }

Q_SIGNALS:
    void arret_demande(int signal);

private:
    void lire();

    QSocketNotifier* notificateur_ = nullptr;
};

} // namespace zapo::plateforme
