#pragma once

#include <QString>
#include <QStringList>

namespace zapo::inline noyau {

// Message boxes. The real one shows a QMessageBox; tests record and answer.
// Line breaks inside texts are a single carriage return ("\r"), as the program
// words them; the real box turns them into line breaks on screen.
enum class icone_boite { aucune, information, exclamation, critique, question };
enum class boutons_boite { ok, ok_annuler, oui_non };
enum class reponse_boite { aucune, ok, annuler, oui, non };

class boites_message {
public:
    virtual ~boites_message() = default;
    virtual reponse_boite afficher(const QString& titre, const QString& texte, icone_boite icone,
                                   boutons_boite boutons = boutons_boite::ok) = 0;
};

// Whether the computer is on line, and the dial-up line.
class service_connexion {
public:
    virtual ~service_connexion() = default;
    virtual bool est_connecte() = 0;
    virtual void connecter() = 0;
    virtual void deconnecter() = 0;
};

// The update's pacing pauses. The real one waits while events run; tests use zero.
class rythme {
public:
    virtual ~rythme() = default;
    virtual void attendre(double secondes) = 0;
};

// Desktop notifications. The real one speaks D-Bus; tests record.
class notificateur {
public:
    virtual ~notificateur() = default;
    // Never waits for an answer; nothing shows when no notification server is there.
    virtual void envoyer(const QString& titre, const QString& corps, const QString& icone = {},
                         const QStringList& actions = {}) = 0;
};

// What a window may ask of the application around it. The shell answers; a
// window never knows which one, and nothing is asked when there is none.
class application_zapo {
public:
    virtual ~application_zapo() = default;
    virtual void lancer_maj() = 0;
    virtual void charger_fenetre() = 0; // load and show fl_main when it is not loaded
    virtual void enregistrer_options() = 0;
};

} // namespace zapo::inline noyau
