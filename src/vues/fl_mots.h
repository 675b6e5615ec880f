#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class fl_mots;
}

namespace zapo::vues {

// The favourite words' editor: one word or phrase a line.
class fl_mots : public QDialog {
    Q_OBJECT
    std::unique_ptr<Ui::fl_mots> ui_;

public:
    ~fl_mots() override;
    explicit fl_mots(const QStringList& mots, QWidget* parent = nullptr);
    QStringList mots() const;
};

} // namespace zapo::vues
