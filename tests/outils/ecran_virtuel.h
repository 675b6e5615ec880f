#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace zapo::essais {

// An X server of the test's own (Xvfb), ended with the test even when it crashes.
class ecran_virtuel {
public:
    ecran_virtuel();
    ~ecran_virtuel();

    bool valide() const { return !affichage_.isEmpty(); }
    QString affichage() const { return affichage_; } // ":N"

    // The variables that put a Qt program on this server.
    void preparer(QProcessEnvironment& env) const;
    // Saves the whole screen as a PNG with the capture tool given.
    bool capturer(const QString& outil_capture, const QString& fichier) const;

private:
    QProcess xvfb_;
    QString affichage_;
};

} // namespace zapo::essais
