#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// The command line, read before any window system is touched: --help and
// --version must work on a machine without a display.
namespace zapo::coquille {

// Exit statuses, listed in --help and the manual page.
inline constexpr int statut_normal = 0;
inline constexpr int statut_demarrage_impossible = 1;
inline constexpr int statut_ligne_refusee = 2;
inline constexpr int statut_ecriture_impossible = 3;
inline constexpr int statut_sortie_impossible = 4;

// One option of the program. Empty `valeur` for a switch.
struct option_ligne {
    QStringList noms;
    QString valeur;
    QString aide;
    bool cachee = false; // Qt's own options: accepted, not listed
};

// Every option the program knows, in the order --help lists them.
const QList<option_ligne>& options_connues();

// Declares options_connues() and the terminal commands' options on `p`.
void declarer_options(QCommandLineParser& p);

// What the command line asks for.
struct decision_ligne {
    bool quitter = false; // true: print `sortie`/`erreur` and end with `statut`
    int statut = statut_normal;
    QString sortie; // for standard output
    QString erreur; // for standard error
};

// Parses `arguments` (program name first) into `p`, on which declarer_options
// has been called; answers --help, --version and mistakes.
decision_ligne analyser(QCommandLineParser& p, const QStringList& arguments);

// The French help text.
QString texte_aide();

// Why no window can open (no graphical session), in French; empty when one
// can. `plateforme` is -platform or QT_QPA_PLATFORM ("a;b" tries both),
// `display` is -display or DISPLAY.
QString raison_sans_affichage(const QString& plateforme, const QString& display, const QString& wayland);

// The whole step, first thing in the program: reads argv, prints the answer and
// gives the exit status when the command line asks to stop; nullopt to start.
// The terminal commands (--maintenant...) run here too, without a window; a
// start with no graphical session says so in French and ends with status 1.
std::optional<int> repondre_ligne_commande(int argc, char** argv);

} // namespace zapo::coquille
