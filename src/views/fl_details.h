#pragma once

#include "core/details.h"

#include <QDialog>
#include <QPointer>

class QPlainTextEdit;

namespace zapo::vues {

// "Zapo-TV - Détails": all that is known of one programme, as one read-only
// text a screen reader reads in full. Modeless, one at a time: opening it for
// another programme replaces its text. Échap closes it.
class fl_details : public QDialog {
    Q_OBJECT
public:
    static fl_details* afficher(const QString& titre, const details_programme& d, QWidget* parent = nullptr);
    static fl_details* ouverte();
    ~fl_details() override;

    QString texte() const;

private:
    explicit fl_details(QWidget* parent);

    QPlainTextEdit* txt_details_;
    static QPointer<fl_details> ouverte_;
};

} // namespace zapo::vues
