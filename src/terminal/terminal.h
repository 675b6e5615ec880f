#pragma once

#include "core/horloge.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <optional>

// The guide from a terminal: what is on now, tonight's picks, and the stored
// programmes as XMLTV, read from the base without a window and without writing.
namespace zapo::terminal {

// Exit statuses.
enum statut : int {
    reussite = 0,
    ligne_incorrecte = 1,    // unknown option, missing value, two commands at once
    base_inutilisable = 2,   // missing, damaged or foreign base
    ecriture_impossible = 3, // the export file could not be written
};

void declarer_options(QCommandLineParser& p);
// The statuses, for the end of --help.
QString texte_statuts();

// True when the arguments (program name first) ask for one of the commands
// above, or for the help: the window must then not open.
bool est_commande(const QStringList& arguments);

// nullopt when no terminal command is asked for (the window starts).
std::optional<int> executer(const QCommandLineParser& p, QTextStream& sortie, QTextStream& erreurs,
                            const horloge& h);

// For main(): parses, runs with the system clock on stdout / stderr; nullopt
// when the arguments ask for no terminal command. Needs no QCoreApplication.
std::optional<int> lancer_si_demande(int argc, char** argv);

// Where the program keeps its base, found without creating anything.
QString chemin_base_par_defaut();

} // namespace zapo::terminal
