#include "plateforme/registre.h"

#include "plateforme/dossier.h"
#include "plateforme/journal_plateforme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace zapo::plateforme {

namespace {

// Escapes for a string value of a desktop entry.
QString echapper_valeur(QString s) {
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    s.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    s.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return s;
}

} // namespace

QString chemin_entree() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/Zapo-TV.desktop");
}

QString nom_icone(const QString& dossier_executable) {
    return plateforme::programme_installe(dossier_executable) ? QStringLiteral(ZAPO_ID_APPLI)
                                                              : QStringLiteral("zapo-tv");
}

QString citer_exec(const QString& programme) {
    static const QString reserves = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = programme;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool citer = false;
    for (QChar c : arg)
        if (reserves.contains(c))
            citer = true;
    if (citer) {
        QString q;
        for (QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                q += QLatin1Char('\\');
            q += c;
        }
        arg = QLatin1Char('"') + q + QLatin1Char('"');
    }
    return echapper_valeur(arg);
}

QString contenu_entree(const QString& programme, const QString& icone) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zapo-TV\n"
                          "Comment=Guide des programmes de télévision\n"
                          "Exec=%1\n"
                          "TryExec=%2\n"
                          "Icon=%3\n"
                          "Terminal=false\n"
                          "Categories=AudioVideo;TV;\n")
        .arg(citer_exec(programme), echapper_valeur(programme), echapper_valeur(icone));
}

bool inscrire_demarrage(const QString& icone) {
    const QString chemin = chemin_entree();
    QDir().mkpath(chemin.section(QLatin1Char('/'), 0, -2));
    QSaveFile f(chemin);
    const auto echec = [&] {
        qCWarning(zapo_plateforme, "Démarrage à l'ouverture de session non inscrit : « %s » : %s.",
                  qUtf8Printable(chemin), qUtf8Printable(f.errorString()));
        return false;
    };
    // Unbuffered, so that a short write is seen before the commit.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return echec();
    // /proc/self/exe: the real file, whatever link started us.
    const QByteArray contenu = contenu_entree(QCoreApplication::applicationFilePath(), icone).toUtf8();
    if (f.write(contenu) != contenu.size()) {
        f.cancelWriting();
        return echec();
    }
    if (!f.commit())
        return echec();
    return true;
}

void retirer_demarrage() {
    QFile entree(chemin_entree());
    if (entree.exists() && !entree.remove())
        qCWarning(zapo_plateforme, "Entrée de démarrage « %s » non retirée : %s.",
                  qUtf8Printable(entree.fileName()), qUtf8Printable(entree.errorString()));
}

} // namespace zapo::plateforme
