#pragma once

#include "noyau/horloge.h"

#include <QCommandLineParser>
#include <QIODevice>
#include <QStringList>
#include <QTextStream>

#include <optional>

// The guide from a terminal: what is on now, tonight's picks, and the stored
// programmes as XMLTV, read from the base without a window and without writing.
namespace zapo::terminal {

// Exit statuses, the same numbers as the whole program's.
enum statut : int {
    reussite = 0,
    base_inutilisable = 1,   // missing, damaged or foreign base
    ligne_incorrecte = 2,    // two commands at once, --json with the export...
    ecriture_impossible = 3, // the export (file, device or standard output) could not be written
    sortie_impossible = 4,   // --maintenant or --ce-soir could not write standard output
};

// The options, in the order --help lists them.
const QList<QCommandLineOption>& options();
void declarer_options(QCommandLineParser& p);

// True when `p` (parsed) holds one of the options above: the window must then not open.
bool demandee(const QCommandLineParser& p);

// nullopt when no terminal command is asked for (the window starts). `sortie`
// is standard output; a failed write there is said with its errorString().
std::optional<int> executer(const QCommandLineParser& p, QIODevice& sortie, QTextStream& erreurs,
                            const horloge& h);

// Where the program keeps its base, found without creating anything.
QString chemin_base_par_defaut();

} // namespace zapo::terminal
