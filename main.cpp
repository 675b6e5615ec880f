#include "shell/application.h"
#include "terminal/terminal.h"

int main(int argc, char** argv) {
    // The terminal commands run before any window machinery exists.
    if (const auto statut = zapo::terminal::lancer_si_demande(argc, argv))
        return *statut;
    return zapo::coquille::principal(argc, argv);
}
