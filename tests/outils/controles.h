#pragma once

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtGlobal>

namespace zapo::essais {

// The controls' classes come with it, so that a test needs no generated form.

// A window's control found by its object name, as a screen reader or a user's
// script finds it; a missing one stops the test at once.
template <class T> T* controle(const QObject& fenetre, const char* nom) {
    T* c = fenetre.findChild<T*>(QLatin1String(nom));
    if (!c)
        qFatal("Contrôle introuvable : %s", nom);
    return c;
}

} // namespace zapo::essais
