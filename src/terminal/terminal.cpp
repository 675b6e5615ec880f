#include "terminal/terminal.h"

#include "donnees/raison_ecriture.h"
#include "noyau/soirees.h"
#include "plateforme/dossier.h"
#include "terminal/flux_sortie.h"
#include "terminal/lecture_base.h"
#include "terminal/sorties.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zapo::terminal {

namespace {

const QString opt_maintenant = QStringLiteral("maintenant");
const QString opt_ce_soir = QStringLiteral("ce-soir");
const QString opt_json = QStringLiteral("json");
const QString opt_exporter = QStringLiteral("exporter-xmltv");
const QString opt_base = QStringLiteral("base");
const QString opt_jour = QStringLiteral("jour");

const QStringList nos_options = {opt_maintenant, opt_ce_soir, opt_jour, opt_json, opt_exporter, opt_base};

bool meme_fichier(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString message_ecriture(const QString& cible, const QString& raison) {
    if (cible == QLatin1String("-"))
        return QStringLiteral("Impossible d'écrire sur la sortie standard : %1.\n").arg(raison);
    return QStringLiteral("Impossible d'écrire le fichier « %1 » : %2.\n").arg(cible, raison);
}

// /dev/stdout, /dev/fd/N, /proc/self/fd/N (what `>(…)` hands over): a
// descriptor this process already holds, written through as it is, so that
// its offset and its appending stay the shell's. -1 for any other path.
int descripteur_ouvert(const QString& cible) {
    static const QRegularExpression chemin_fd(QStringLiteral("^/(?:dev/fd|proc/self/fd)/(\\d{1,9})$"));
    int fd = -1;
    if (cible == QLatin1String("/dev/stdout"))
        fd = STDOUT_FILENO;
    else if (cible == QLatin1String("/dev/stderr"))
        fd = STDERR_FILENO;
    else if (const auto m = chemin_fd.match(cible); m.hasMatch())
        fd = m.captured(1).toInt();
    const int mode = fd < 0 ? -1 : ::fcntl(fd, F_GETFL);
    if (mode < 0 || (mode & O_ACCMODE) == O_RDONLY)
        return -1;
    return fd;
}

// Standard output, a pipe, a FIFO or a device: written to as it is. What was
// sent cannot be taken back, so a base changed under the reading is said,
// not read again into the same output.
int exporter_flux(const QString& base, const QString& cible, QIODevice& dest, QTextStream& erreurs) {
    tampon_sortie tampon(dest);
    int lectures = 0;
    bool ecrit = true;
    lire_base(base, [&](donnees::base_programmes& b) {
        if (++lectures == 1)
            ecrit = ecrire_xmltv(b, tampon);
    });
    if (!ecrit || !tampon.vider()) {
        erreurs << message_ecriture(cible, tampon.errorString());
        return ecriture_impossible;
    }
    if (lectures > 1) {
        erreurs << message_ecriture(cible, QStringLiteral("la base des programmes a changé pendant "
                                                          "l'export, relancez la commande"));
        return ecriture_impossible;
    }
    return reussite;
}

int exporter(const QString& base, const QString& cible, QIODevice& sortie, QTextStream& erreurs) {
    if (cible != QLatin1String("-") && meme_fichier(cible, base)) {
        erreurs << QStringLiteral(
                       "Le fichier « %1 » est la base des programmes : l'export ne peut pas la remplacer.\n")
                       .arg(cible);
        return ecriture_impossible;
    }
    if (cible == QLatin1String("-"))
        return exporter_flux(base, cible, sortie, erreurs);
    if (const int fd = descripteur_ouvert(cible); fd >= 0) {
        sortie_fd dest(fd);
        return exporter_flux(base, cible, dest, erreurs);
    }
    const QByteArray nom = QFile::encodeName(cible);
    // Nothing is ever made or renamed among the devices and the process files
    // (a /dev/stdout left dangling by a closed output, say).
    const QString dossier = QFileInfo(cible).absolutePath();
    const bool systeme = dossier == QLatin1String("/dev") || dossier.startsWith(QLatin1String("/dev/fd")) ||
                         dossier.startsWith(QLatin1String("/proc/"));
    struct stat s {};
    if (systeme || (::stat(nom.constData(), &s) == 0 && !S_ISREG(s.st_mode))) {
        if (S_ISDIR(s.st_mode)) {
            erreurs << message_ecriture(cible, QStringLiteral("c'est un dossier"));
            return ecriture_impossible;
        }
        // A file renamed over a device or a FIFO would replace it: those are written to.
        const int fd = ::open(nom.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            const int e = errno;
            erreurs << message_ecriture(cible, e == ENOENT ? QStringLiteral("ce périphérique n'existe pas")
                                                           : donnees::raison_erreur_systeme(e));
            return ecriture_impossible;
        }
        sortie_fd dest(fd, true);
        return exporter_flux(base, cible, dest, erreurs);
    }
    // Whole or not at all: an interrupted export never leaves half a document.
    // A second reading of the base starts a fresh file.
    std::optional<QSaveFile> f;
    bool ecrit = false;
    lire_base(base, [&](donnees::base_programmes& b) {
        f.emplace(cible);
        ecrit = f->open(QIODevice::WriteOnly) && ecrire_xmltv(b, *f);
    });
    if (!ecrit || !f->commit()) {
        erreurs << message_ecriture(cible,
                                    donnees::raison_ecriture_impossible(QFileInfo(cible).absolutePath()));
        return ecriture_impossible;
    }
    return reussite;
}

// Standard output for --maintenant and --ce-soir; a reader gone or a full disk is said.
int ecrire_sortie(QIODevice& sortie, const QByteArray& octets, QTextStream& erreurs) {
    if (sortie.write(octets) == octets.size())
        return reussite;
    erreurs << message_ecriture(QStringLiteral("-"), sortie.errorString());
    return sortie_impossible;
}

} // namespace

const QList<QCommandLineOption>& options() {
    static const QList<QCommandLineOption> liste{
        {opt_maintenant, QStringLiteral("Affiche, pour chaque chaîne, le programme en cours et sa partie "
                                        "écoulée en pour cent, sans ouvrir de fenêtre.")},
        {opt_ce_soir, QStringLiteral("Affiche, pour chaque chaîne, les programmes de la soirée.")},
        {opt_jour,
         QStringLiteral("Avec --ce-soir : la soirée du jour JOUR, parmi les jours gardés : « samedi 12 », "
                        "« dimanche » (le prochain), « demain », « aujourd'hui » ou AAAA-MM-JJ."),
         QStringLiteral("JOUR")},
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

std::optional<int> executer(const QCommandLineParser& p, QIODevice& sortie, QTextStream& erreurs,
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
    if (p.isSet(opt_jour) && !ce_soir) {
        erreurs << QStringLiteral("--jour va avec --ce-soir.\n");
        return ligne_incorrecte;
    }
    // One reading of the clock for every row, as the main window does.
    const QDateTime lu = h.maintenant();
    const date_heure t = date_heure::depuis_qdatetime(lu);
    std::optional<jour_soiree> jour = jour_soiree{};
    if (p.isSet(opt_jour) && !(jour = lire_jour_soiree(p.value(opt_jour), t))) {
        erreurs << QStringLiteral(
                       "Jour incorrect : « %1 ». Indiquez un des jours gardés par son nom (« samedi "
                       "12 », « dimanche »), « demain », « aujourd'hui » ou une date AAAA-MM-JJ.\n")
                       .arg(p.value(opt_jour).left(40));
        return ligne_incorrecte;
    }
    const qint64 ecart = jour->ecart;
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
        const bool json = p.isSet(opt_json);
        if (maintenant) {
            std::vector<maintenant_chaine> v;
            lire_base(base, [&](donnees::base_programmes& b) { v = calculer_maintenant(b, lu); });
            return ecrire_sortie(sortie, json ? json_maintenant(v) : texte_maintenant(v).toUtf8(), erreurs);
        }
        std::vector<soir_chaine> v;
        int jours = 0;
        lire_base(base, [&](donnees::base_programmes& b) {
            jours = soirees_gardees(b, t);
            if (ecart >= 0 && ecart < jours)
                v = calculer_ce_soir(b, t, int(ecart));
        });
        if (ecart < 0 || ecart >= jours) {
            // Said back as it was asked: by weekday ("samedi 12") or by date.
            const auto nom = [&](qint64 k) {
                return jour->nomme ? texte_jour_date(t.jour() + date_heure::duree_hm(int(24 * k), 0))
                                   : t.date().addDays(k).toString(Qt::ISODate);
            };
            erreurs << QStringLiteral(
                           "Le %1 n'est pas un des jours gardés : choisissez un jour du %2 au %3.\n")
                           .arg(nom(ecart), nom(0), nom(jours - 1));
            return ligne_incorrecte;
        }
        return ecrire_sortie(sortie, json ? json_ce_soir(v) : texte_ce_soir(v).toUtf8(), erreurs);
    } catch (const donnees::erreur_base& e) {
        erreurs << e.message() << QLatin1Char('\n');
        return base_inutilisable;
    }
}

QString chemin_base_par_defaut() {
    // The same folder the window uses, but nothing is created to find it.
    return plateforme::trouver_dossier_appli(false) + QStringLiteral("/programmes.mdb");
}

} // namespace zapo::terminal
