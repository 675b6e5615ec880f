#pragma once

#include "core/services.h"

#include <QPointer>
#include <QWidget>

namespace zapo::coquille {

// Real message boxes, worded in French whatever the system's language.
class boites_qt final : public boites_message {
public:
    reponse_boite afficher(const QString& titre, const QString& texte, icone_boite icone,
                           boutons_boite boutons) override;
    void definir_parent(QWidget* p) { parent_ = p; }

private:
    QPointer<QWidget> parent_;
};

} // namespace zapo::coquille
