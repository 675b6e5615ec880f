#pragma once

#include "ui_fl_mots.h"

#include <QDialog>
#include <QStringList>

namespace zapo::vues {

// The favourite words' editor: one word or phrase a line.
class fl_mots : public QDialog, private Ui::fl_mots {
    Q_OBJECT
public:
    explicit fl_mots(const QStringList& mots, QWidget* parent = nullptr);
    QStringList mots() const;
};

} // namespace zapo::vues
