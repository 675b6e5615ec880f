#include "terminal/terminal.h"

#include "data/raison_ecriture.h"
#include "platform/dossier.h"
#include "terminal/lecture_base.h"
#include "terminal/sorties.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zapo::terminal {

namespace {

const QString opt_maintenant = QStringLiteral("maintenant");
const QString opt_ce_soir = QStringLiteral("ce-soir");
const QString opt_json = QStringLiteral("json");
const QString opt_exporter = QStringLiteral("exporter-xmltv");
const QString opt_base = QStringLiteral("base");

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

const QList<QCommandLineOption>& options() {
    static const QList<QCommandLineOption> liste{
        {opt_maintenant, QStringLiteral("Affiche, pour chaque chaîne, le programme en cours et sa partie "
                                        "écoulée en pour cent, sans ouvrir de fenêtre.")},
        {opt_ce_soir, QStringLiteral("Affiche, pour chaque chaîne, les programmes de la soirée.")},
        {opt_json, QStringLiteral("Avec --maintenant ou --ce-soir : écrit un tableau JSON.")},
        {opt_exporter,
         QStringLiteral("Écrit tous les programmes enregistrés au format XMLTV dans FICHIER "
                        "(« - » : la sortie standard)."),
         QStringLiteral("FICHIER")},
        {opt_base, QStringLiteral("Lit la base FICHIER au lieu de celle du programme."),
         QStringLiteral("FICHIER")},
    };
    return liste;
}

void declarer_options(QCommandLineParser& p) {
    for (const QCommandLineOption& o : options())
        p.addOption(o);
}

bool demandee(const QCommandLineParser& p) {
    for (const QString& nom : nos_options)
        if (p.isSet(nom))
            return true;
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
    // Before the first start there is nothing to read yet: say what to do.
    if (!p.isSet(opt_base) && !QFileInfo::exists(base)) {
        erreurs << QStringLiteral(
                       "Zapo-TV n'a pas encore de base des programmes (« %1 »). Démarrez Zapo-TV une "
                       "fois : il la crée et vous fait choisir vos chaînes. Puis recommencez.\n")
                       .arg(base);
        return base_inutilisable;
    }
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
    return plateforme::trouver_dossier_appli(false) + QStringLiteral("/programmes.mdb");
}

} // namespace zapo::terminal
