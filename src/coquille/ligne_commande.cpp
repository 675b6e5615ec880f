#include "coquille/ligne_commande.h"

#include "noyau/horloge.h"
#include "noyau/version.h"
#include "terminal/flux_sortie.h"
#include "terminal/terminal.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <QRegularExpression>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace zapo::coquille {

static_assert(terminal::reussite == statut_normal &&
              terminal::base_inutilisable == statut_demarrage_impossible &&
              terminal::ligne_incorrecte == statut_ligne_refusee &&
              terminal::ecriture_impossible == statut_ecriture_impossible &&
              terminal::sortie_impossible == statut_sortie_impossible);

namespace {

option_ligne cachee(const QString& nom, const QString& valeur = {}) {
    return {{nom}, valeur, {}, true};
}

// Qt reads these itself when the application object is made; refusing them
// would break `zapo-tv -platform xcb` and friends.
QList<option_ligne> options_de_qt() {
    QList<option_ligne> l;
    for (const char* nom : {"platform", "platformpluginpath", "platformtheme", "plugin", "display",
                            "geometry", "qwindowgeometry", "qwindowicon", "qwindowtitle", "style",
                            "stylesheet", "session", "name", "title"})
        l << cachee(QString::fromLatin1(nom), QStringLiteral("valeur"));
    for (const char* nom : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
        l << cachee(QString::fromLatin1(nom));
    return l;
}

// Ours, Qt's and the terminal commands', for the reasons of a refusal.
QList<option_ligne> toutes_options() {
    QList<option_ligne> l = options_connues();
    for (const QCommandLineOption& o : terminal::options())
        l << option_ligne{o.names(), o.valueName(), o.description(), false};
    return l;
}

// The option of `arguments` that `p` could not take, in French.
QString expliquer_refus(const QCommandLineParser& p, const QStringList& arguments) {
    const QStringList inconnues = p.unknownOptionNames();
    if (!inconnues.isEmpty()) {
        // As the user typed them: the parser keeps only the bare names.
        QStringList noms;
        for (int i = 1; i < arguments.size(); ++i) {
            const QString a = arguments.at(i).section(QLatin1Char('='), 0, 0);
            if (a.startsWith(QLatin1Char('-')) &&
                inconnues.contains(QString(a).remove(QRegularExpression(QStringLiteral("^--?")))) &&
                !noms.contains(a))
                noms << a;
        }
        if (noms.isEmpty())
            noms = inconnues;
        return (inconnues.size() == 1 ? QStringLiteral("Option inconnue : %1.")
                                      : QStringLiteral("Options inconnues : %1."))
            .arg(noms.join(QStringLiteral(", ")));
    }
    for (const option_ligne& o : toutes_options()) {
        for (int i = 1; i < arguments.size(); ++i) {
            QString a = arguments.at(i);
            if (!a.startsWith(QLatin1Char('-')))
                continue;
            a.remove(0, a.startsWith(QStringLiteral("--")) ? 2 : 1);
            const bool avec_egal = a.contains(QLatin1Char('='));
            const QString nom = a.section(QLatin1Char('='), 0, 0);
            if (!o.noms.contains(nom))
                continue;
            if (!o.valeur.isEmpty() && !avec_egal && i + 1 == arguments.size())
                return QStringLiteral("L'option %1 attend une valeur.").arg(arguments.at(i));
            if (o.valeur.isEmpty() && avec_egal)
                return QStringLiteral("L'option --%1 ne prend pas de valeur.").arg(nom);
        }
    }
    return QStringLiteral("Ligne de commande incorrecte.");
}

} // namespace

const QList<option_ligne>& options_connues() {
    static const QList<option_ligne> options = [] {
        QList<option_ligne> l{
            {{QStringLiteral("h"), QStringLiteral("help")},
             {},
             QStringLiteral("Affiche cette aide et s'arrête."),
             false},
            {{QStringLiteral("v"), QStringLiteral("version")},
             {},
             QStringLiteral("Affiche la version et s'arrête."),
             false},
        };
        l << options_de_qt();
        return l;
    }();
    return options;
}

void declarer_options(QCommandLineParser& p) {
    // "-platform" is one option, as Qt writes it, not "-p -l -a...".
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const option_ligne& o : options_connues()) {
        QCommandLineOption q(o.noms, o.aide, o.valeur);
        if (o.cachee)
            q.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(q);
    }
    terminal::declarer_options(p);
}

QString texte_aide() {
    QString t =
        QStringLiteral("Utilisation : zapo-tv [options]\n"
                       "Guide des programmes de télévision : ce qui passe maintenant, ensuite et ce soir.\n"
                       "\n"
                       "Options :\n");
    for (const option_ligne& o : options_connues()) {
        if (o.cachee)
            continue;
        QStringList noms;
        for (const QString& n : o.noms)
            noms << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString gauche = noms.join(QStringLiteral(", "));
        if (!o.valeur.isEmpty())
            gauche += QLatin1Char(' ') + o.valeur;
        t += QStringLiteral("  %1  %2\n").arg(gauche, -24).arg(o.aide);
    }
    for (const QCommandLineOption& o : terminal::options()) {
        QString gauche = QStringLiteral("--") + o.names().constFirst();
        if (!o.valueName().isEmpty())
            gauche += QLatin1Char(' ') + o.valueName();
        t += QStringLiteral("  %1  %2\n").arg(gauche, -24).arg(o.description());
    }
    t +=
        QStringLiteral("\n"
                       "Les options de Qt (-platform, -display, -style...) sont acceptées.\n"
                       "\n"
                       "Codes de retour :\n"
                       "  %1  fin normale (y compris quand Zapo-TV tourne déjà)\n"
                       "  %2  démarrage impossible, ou base introuvable, endommagée ou d'un autre programme\n"
                       "  %3  ligne de commande refusée (dont un --jour mal écrit ou hors des jours gardés)\n"
                       "  %4  export impossible à écrire (fichier, périphérique ou sortie standard)\n"
                       "  %5  sortie standard impossible à écrire (--maintenant, --ce-soir)\n")
            .arg(statut_normal)
            .arg(statut_demarrage_impossible)
            .arg(statut_ligne_refusee)
            .arg(statut_ecriture_impossible)
            .arg(statut_sortie_impossible);
    return t;
}

decision_ligne analyser(QCommandLineParser& p, const QStringList& arguments) {
    decision_ligne d;
    if (!p.parse(arguments)) {
        d.quitter = true;
        d.statut = statut_ligne_refusee;
        d.erreur =
            QStringLiteral("zapo-tv : %1\nEssayez « zapo-tv --help ».\n").arg(expliquer_refus(p, arguments));
        return d;
    }
    if (!p.positionalArguments().isEmpty()) {
        d.quitter = true;
        d.statut = statut_ligne_refusee;
        d.erreur = QStringLiteral("zapo-tv : argument inattendu : « %1 ».\nEssayez « zapo-tv --help ».\n")
                       .arg(p.positionalArguments().constFirst());
        return d;
    }
    if (p.isSet(QStringLiteral("help"))) {
        d.quitter = true;
        d.sortie = texte_aide();
    } else if (p.isSet(QStringLiteral("version"))) {
        d.quitter = true;
        d.sortie = QStringLiteral("Zapo-TV %1\n").arg(texte_version());
    }
    return d;
}

QString raison_sans_affichage(const QString& plateforme, const QString& display, const QString& wayland) {
    const QStringList essais = plateforme.split(QLatin1Char(';'));
    for (const QString& e : essais) {
        const QString nom = e.section(QLatin1Char(':'), 0, 0).trimmed();
        // Other platforms (offscreen, wayland, vnc...) know their own needs.
        if (!nom.isEmpty() && nom != QLatin1String("xcb"))
            return {};
        if (!display.isEmpty() || (nom.isEmpty() && !wayland.isEmpty()))
            return {};
    }
    return QStringLiteral("Zapo-TV a besoin d'une session graphique : aucun écran n'est disponible ici "
                          "(ni DISPLAY ni WAYLAND_DISPLAY). Démarrez-le depuis le bureau.\n"
                          "Sans écran, les commandes --maintenant, --ce-soir et --exporter-xmltv "
                          "fonctionnent (zapo-tv --help).\n");
}

std::optional<int> repondre_ligne_commande(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser ligne;
    declarer_options(ligne);
    const decision_ligne d = analyser(ligne, arguments);
    if (!d.quitter) {
        if (!terminal::demandee(ligne)) {
            // Checked before Qt, which would end the program with an English
            // message and a core dump.
            const auto valeur = [&](const char* option, const char* variable) {
                return ligne.isSet(QString::fromLatin1(option)) ? ligne.value(QString::fromLatin1(option))
                                                                : qEnvironmentVariable(variable);
            };
            const QString raison =
                raison_sans_affichage(valeur("platform", "QT_QPA_PLATFORM"), valeur("display", "DISPLAY"),
                                      qEnvironmentVariable("WAYLAND_DISPLAY"));
            if (raison.isEmpty())
                return std::nullopt;
            std::fputs(raison.toLocal8Bit().constData(), stderr);
            return statut_demarrage_impossible;
        }
        // A core application only: no platform plugin, no display, no bus.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Zapo-TV"));
        // A refused base is said once, in the command's own words, not again as a log line.
        if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
            QLoggingCategory::setFilterRules(QStringLiteral("zapo.base.warning=false"));
        // A reader gone is a failed write to report, not a silent death.
        std::signal(SIGPIPE, SIG_IGN);
        terminal::sortie_fd sortie(STDOUT_FILENO);
        QTextStream erreurs(stderr);
        const horloge_systeme h;
        const std::optional<int> r = terminal::executer(ligne, sortie, erreurs, h);
        erreurs.flush();
        return r.value_or(statut_ligne_refusee);
    }
    std::fputs(d.sortie.toLocal8Bit().constData(), stdout);
    std::fputs(d.erreur.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
    return d.statut;
}

} // namespace zapo::coquille
