#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>

namespace zapo::plateforme {

// Reminder warnings through org.freedesktop.Notifications, with the action
// "Voir". Unlike the health notices, the answer is awaited (without blocking):
// when no server takes the call, `sans_serveur` runs so that the caller can
// warn some other way.
class notifications_rappels : public QObject {
    Q_OBJECT
public:
    explicit notifications_rappels(QObject* parent = nullptr);

    // `cle` comes back through `voir` when the user picks "Voir".
    void envoyer(const QString& titre, const QString& corps, const QString& icone, int cle,
                 std::function<void()> sans_serveur);

    std::function<void(int cle)> voir;
    // How long a silent server is given before the other way is taken.
    int delai_reponse_ms = 5000;

private Q_SLOTS:
    void action_choisie(uint id, const QString& action);
    void fermee(uint id, uint raison);

private:
    void ecouter();

    bool a_l_ecoute_ = false;
    // Notifications on screen and their key; bounded, the oldest go first.
    std::map<uint, int> ouvertes_;
};

} // namespace zapo::plateforme
