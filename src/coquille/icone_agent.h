#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

namespace zapo::coquille {

// The notification-area icon and its menu ("Mettre à jour", "Quitter"). The icon
// is made on first use: Qt settles at that moment, for the whole run, which kind
// of notification area it talks to.
class icone_agent : public QObject {
    Q_OBJECT
public:
    icone_agent();
    ~icone_agent() override;

    QSystemTrayIcon& icone();
    void montrer();
    void cacher();
    // A picture found after the icon was made (the theme's) replaces ours.
    void changer_image(const QIcon& image);
    bool visible() const { return icone_ && icone_->isVisible(); }
    // The tray's own balloon, where the desktop shows one.
    bool messages_possibles() const;
    void afficher_message(const QString& titre, const QString& texte);

    const QMenu& menuicone() const { return menuicone_; }
    QAction* menu02() const { return menu02_; } // "Mettre à jour"
    QAction* menu01() const { return menu01_; } // "Quitter"

Q_SIGNALS:
    void mise_a_jour_demandee();
    void quitter_demande();
    void activee(QSystemTrayIcon::ActivationReason raison);
    void message_clique();

private:
    QMenu menuicone_;
    QAction* menu02_ = nullptr;
    QAction* menu01_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> icone_;
};

// Whether a StatusNotifierWatcher with a host to show its items owns its name
// on the session bus; asked without touching Qt's own tray code, which makes up
// its mind once for the whole run.
bool zone_sni_presente();

} // namespace zapo::coquille
