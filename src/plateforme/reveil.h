#pragma once

#include <QObject>

#include <functional>

namespace zapo::plateforme {

// The machine waking from sleep, as logind tells it on the system bus
// (PrepareForSleep(false)). Without a system bus or logind nothing comes; the
// callers still look at the wall clock on their own.
class reveil_systeme : public QObject {
    Q_OBJECT
public:
    explicit reveil_systeme(QObject* parent = nullptr);

    std::function<void()> apres_veille;

private Q_SLOTS:
    void veille(bool avant);
};

} // namespace zapo::plateforme
