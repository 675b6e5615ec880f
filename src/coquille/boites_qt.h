#pragma once

#include "noyau/services.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace zapo::coquille {

// Real message boxes, worded in French whatever the system's language.
class boites_qt final : public boites_message {
public:
    reponse_boite afficher(const QString& titre, const QString& texte, icone_boite icone,
                           boutons_boite boutons) override;
    void definir_parent(QWidget* p) { parent_ = p; }

    // Answers a box instead of showing it, or lets it be shown (nullopt).
    using releve_boites = std::function<std::optional<reponse_boite>(
        const QString& titre, const QString& texte, icone_boite icone, boutons_boite boutons)>;
    void definir_releve(releve_boites r) { releve_ = std::move(r); }

private:
    releve_boites releve_;
    QPointer<QWidget> parent_;
};

} // namespace zapo::coquille
