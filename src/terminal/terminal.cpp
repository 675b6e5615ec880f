#include "terminal/terminal.h"

#include "data/raison_ecriture.h"
#include "terminal/lecture_base.h"
#include "terminal/sorties.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <unistd.h>

namespace zapo::terminal {

namespace {

const QString opt_maintenant = QStringLiteral("maintenant");
const QString opt_ce_soir = QStringLiteral("ce-soir");
const QString opt_json = QStringLiteral("json");
const QString opt_exporter = QStringLiteral("exporter-xmltv");
const QString opt_base = QStringLiteral("base");
const QString opt_aide = QStringLiteral("help");

const QStringList nos_options = {opt_maintenant, opt_ce_soir, opt_json, opt_exporter, opt_base};

bool meme_fichier(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

int exporter(const QString& base, const QString& cible, QTextStream& sortie, QTextStream& erreurs) {
    if (cible != QLatin1String("-") && meme_fichier(cible, base)) {
        erreurs << QStringLiteral(
                       "Le fichier « %1 » est la base des programmes : l'export ne peut pas la remplacer.\n")
                       .arg(cible);
        return ecriture_impossible;
    }
    QByteArray document;
    lire_base(base, [&](donnees::base_programmes& b) { document = xmltv(b); });
    if (cible == QLatin1String("-")) {
        sortie << QString::fromUtf8(document);
        return reussite;
    }
    // Whole or not at all: an interrupted export never leaves half a document.
    QSaveFile f(cible);
    if (!f.open(QIODevice::WriteOnly) || f.write(document) != document.size() || !f.commit()) {
        erreurs << QStringLiteral("Impossible d'écrire le fichier « %1 » : %2.\n")
                       .arg(cible, donnees::raison_ecriture_impossible(QFileInfo(cible).absolutePath()));
        return ecriture_impossible;
    }
    return reussite;
}

} // namespace

void declarer_options(QCommandLineParser& p) {
    p.addOption(
        {opt_maintenant, QStringLiteral("Affiche, pour chaque chaîne, le programme en cours et sa partie "
                                        "écoulée en pour cent, sans ouvrir de fenêtre.")});
    p.addOption({opt_ce_soir, QStringLiteral("Affiche, pour chaque chaîne, les programmes de la soirée.")});
    p.addOption({opt_json, QStringLiteral("Avec --maintenant ou --ce-soir : écrit un tableau JSON.")});
    p.addOption({opt_exporter,
                 QStringLiteral("Écrit tous les programmes enregistrés au format XMLTV dans FICHIER "
                                "(« - » : la sortie standard)."),
                 QStringLiteral("FICHIER")});
    p.addOption({opt_base, QStringLiteral("Lit la base FICHIER au lieu de celle du programme."),
                 QStringLiteral("FICHIER")});
}

QString texte_statuts() {
    return QStringLiteral("Codes de sortie de --maintenant, --ce-soir et --exporter-xmltv :\n"
                          "  0  réussite\n"
                          "  1  ligne de commande incorrecte\n"
                          "  2  base des programmes introuvable, endommagée ou d'un autre programme\n"
                          "  3  fichier d'export impossible à écrire\n");
}

bool est_commande(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(QLatin1String("--")))
            continue;
        const QString nom = a.mid(2).section(QLatin1Char('='), 0, 0);
        if (nos_options.contains(nom) || nom == opt_aide)
            return true;
    }
    return false;
}

std::optional<int> executer(const QCommandLineParser& p, QTextStream& sortie, QTextStream& erreurs,
                            const horloge& h) {
    const bool maintenant = p.isSet(opt_maintenant);
    const bool ce_soir = p.isSet(opt_ce_soir);
    const bool export_xmltv = p.isSet(opt_exporter);
    const int nb = int(maintenant) + int(ce_soir) + int(export_xmltv);
    if (nb == 0 && !p.isSet(opt_json) && !p.isSet(opt_base))
        return std::nullopt;
    if (nb != 1) {
        erreurs << QStringLiteral("Indiquez une commande et une seule : --maintenant, --ce-soir ou "
                                  "--exporter-xmltv FICHIER.\n");
        return ligne_incorrecte;
    }
    if (p.isSet(opt_json) && export_xmltv) {
        erreurs << QStringLiteral("--json va avec --maintenant ou --ce-soir, pas avec --exporter-xmltv.\n");
        return ligne_incorrecte;
    }
    if (!p.positionalArguments().isEmpty()) {
        erreurs << QStringLiteral("Argument inattendu : %1\n").arg(p.positionalArguments().constFirst());
        return ligne_incorrecte;
    }
    const QString base = p.isSet(opt_base) ? p.value(opt_base) : chemin_base_par_defaut();
    try {
        if (export_xmltv)
            return exporter(base, p.value(opt_exporter), sortie, erreurs);
        // One reading of the clock for every row, as the main window does.
        const date_heure t = h.maintenant_dh();
        const bool json = p.isSet(opt_json);
        if (maintenant) {
            std::vector<maintenant_chaine> v;
            lire_base(base, [&](donnees::base_programmes& b) { v = calculer_maintenant(b, t); });
            sortie << (json ? QString::fromUtf8(json_maintenant(v)) : texte_maintenant(v));
        } else {
            std::vector<soir_chaine> v;
            lire_base(base, [&](donnees::base_programmes& b) { v = calculer_ce_soir(b, t); });
            sortie << (json ? QString::fromUtf8(json_ce_soir(v)) : texte_ce_soir(v));
        }
    } catch (const donnees::erreur_base& e) {
        erreurs << e.message() << QLatin1Char('\n');
        return base_inutilisable;
    }
    return reussite;
}

QString chemin_base_par_defaut() {
    // The same folder the window uses, but nothing is created to find it.
    const QString exe = QCoreApplication::applicationDirPath();
    if (!exe.isEmpty() && ::access(QFile::encodeName(exe).constData(), W_OK) == 0)
        return QDir::cleanPath(exe) + QStringLiteral("/programmes.mdb");
    QString perso = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (perso.isEmpty())
        perso = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(perso + QStringLiteral("/Zapo-TV/programmes.mdb"));
}

std::optional<int> lancer_si_demande(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!est_commande(arguments))
        return std::nullopt;
    // A core application only: no platform plugin, no display, no bus.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zapo-TV"));
    QTextStream sortie(stdout);
    QTextStream erreurs(stderr);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Zapo-TV, le guide des programmes de télévision."));
    declarer_options(p);
    const QCommandLineOption aide({QStringLiteral("h"), opt_aide}, QStringLiteral("Affiche cette aide."));
    p.addOption(aide);
    if (!p.parse(arguments)) {
        const QStringList inconnues = p.unknownOptionNames();
        if (!inconnues.isEmpty())
            erreurs << QStringLiteral("Option inconnue : %1\n").arg(inconnues.constFirst());
        else
            erreurs << QStringLiteral("Il manque le nom de fichier après --base ou --exporter-xmltv.\n");
        erreurs << QStringLiteral("Voir : zapo-tv --help\n");
        return ligne_incorrecte;
    }
    if (p.isSet(aide)) {
        // Qt's own words in the help ("Usage", "Options") in French too.
        QTranslator traduction;
        if (traduction.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&traduction);
        sortie << p.helpText() << QLatin1Char('\n') << texte_statuts();
        return reussite;
    }
    horloge_systeme h;
    const std::optional<int> r = executer(p, sortie, erreurs, h);
    sortie.flush();
    erreurs.flush();
    return r.value_or(ligne_incorrecte);
}

} // namespace zapo::terminal
