#pragma once

#include "ui_fl_main.h"

#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QTimer>

#include <vector>

namespace zapo::vues {

// The main window. Controls keep their design names (objectName and member).
// It is unloaded, never hidden: closing it deletes it and emits `dechargee`.
class fl_main : public QMainWindow, public Ui::fl_main {
    Q_OBJECT
public:
    explicit fl_main(QWidget* parent = nullptr);
    ~fl_main() override;

    // Sixteen 48 x 35 channel logos, numbered from 1.
    std::vector<QPixmap> lst_images;
    // Three 16 x 16 marks; the third marks the programme on now.
    std::vector<QIcon> lst_icone;
    QTimer tps_minute;

    // Logo n (1-based) or a null pixmap when n is out of range.
    QPixmap image(int n) const;
    // Closed once: a window kept alive a little longer is never shown again.
    bool est_dechargee() const { return dechargement_signale_; }

Q_SIGNALS:
    void dechargee();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    bool dechargement_signale_ = false;
};

// Logo n of the program's own set of sixteen badges (1-based).
QPixmap dessiner_logo(int n);
// The program's icon (tray and windows).
QIcon icone_programme();
// Centres a top-level window on the screen.
void centrer(QWidget* w);
// Shows a window, or brings it back to the front when it is already open.
void montrer_devant(QWidget* w);

} // namespace zapo::vues
