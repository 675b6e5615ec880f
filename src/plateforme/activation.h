#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <functional>

namespace zapo::plateforme {

// The running copy on the session bus under the application's id, answering
// org.freedesktop.Application.Activate as desktops do; a second start asks it
// to come forward.
class activation_bus : public QObject {
    Q_OBJECT
public:
    explicit activation_bus(std::function<void()> activer, QObject* parent = nullptr);
    ~activation_bus() override;
    // Takes the name and shows the object; false with no bus or when another
    // program holds the name (the copy then simply cannot be called).
    bool inscrire(const QDBusConnection& bus = QDBusConnection::sessionBus());
    // Asks the copy that holds the name to bring its main window forward; false
    // when nobody answered within `attente_ms`.
    static bool activer_ouverte(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                                int attente_ms = 3000);

    // The object's path, made from the id as the desktop's rule wants it.
    static QString chemin();

private:
    friend class adaptateur_application;
    std::function<void()> activer_;
    QDBusConnection bus_{QString()};
    bool inscrit_ = false;
};

// org.freedesktop.Application, Activate only: the program opens no files and
// has no actions to offer.
class adaptateur_application : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit adaptateur_application(activation_bus* parent);

public Q_SLOTS:
    void Activate(const QVariantMap& platform_data);

private:
    activation_bus* activation_;
};

} // namespace zapo::plateforme
