#include "coquille/boites_qt.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

namespace zapo::coquille {

reponse_boite boites_qt::afficher(const QString& titre, const QString& texte, icone_boite icone,
                                  boutons_boite boutons) {
    // A test build of the program answers here instead of the screen.
    if (releve_)
        if (const auto r = releve_(titre, texte, icone, boutons))
            return *r;
    // Not a child of the window: the window may be closed (and freed) while the
    // box waits for its answer. It still opens over it and stays in front of it.
    QMessageBox b;
    b.setWindowModality(Qt::ApplicationModal);
    b.setWindowTitle(titre);
    // Our texts break lines with a lone carriage return.
    QString affiche = texte;
    affiche.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    b.setText(affiche);
    b.setTextFormat(Qt::PlainText);
    switch (icone) {
    case icone_boite::information:
        b.setIcon(QMessageBox::Information);
        break;
    case icone_boite::exclamation:
        b.setIcon(QMessageBox::Warning);
        break;
    case icone_boite::critique:
        b.setIcon(QMessageBox::Critical);
        break;
    case icone_boite::question:
        b.setIcon(QMessageBox::Question);
        break;
    case icone_boite::aucune:
        break;
    }
    QPushButton* ok = nullptr;
    QPushButton* annuler = nullptr;
    QPushButton* oui = nullptr;
    QPushButton* non = nullptr;
    switch (boutons) {
    case boutons_boite::ok:
        ok = b.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        b.setDefaultButton(ok);
        b.setEscapeButton(ok);
        break;
    case boutons_boite::ok_annuler:
        ok = b.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        annuler = b.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
        b.setDefaultButton(ok);
        b.setEscapeButton(annuler);
        break;
    case boutons_boite::oui_non:
        oui = b.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
        non = b.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
        b.setDefaultButton(oui);
        b.setEscapeButton(non);
        break;
    }
    if (parent_ && parent_->isVisible()) {
        b.adjustSize();
        b.move(parent_->frameGeometry().center() - b.rect().center());
        b.winId();
        if (b.windowHandle() && parent_->windowHandle())
            b.windowHandle()->setTransientParent(parent_->windowHandle());
    }
    b.exec();
    const auto* clic = b.clickedButton();
    if (clic && clic == ok)
        return reponse_boite::ok;
    if (clic && clic == annuler)
        return reponse_boite::annuler;
    if (clic && clic == oui)
        return reponse_boite::oui;
    if (clic && clic == non)
        return reponse_boite::non;
    return reponse_boite::aucune;
}

} // namespace zapo::coquille
