#include "noyau/details.h"

namespace zapo::inline noyau {

namespace {

// The first number of one xmltv_ns part ("4" or "4/12"), or -1.
int partie_ns(QStringView p) {
    const qsizetype barre = p.indexOf(u'/');
    const QStringView n = (barre < 0 ? p : p.first(barre)).trimmed();
    if (n.isEmpty() || n.size() > 6)
        return -1;
    bool ok = false;
    const int v = n.toInt(&ok);
    return ok && v >= 0 ? v : -1;
}

QString coupe(const QString& s, qsizetype n) {
    if (s.size() <= n)
        return s;
    qsizetype k = n;
    if (s[k - 1].isHighSurrogate())
        --k;
    return s.left(k) + QStringLiteral("…");
}

} // namespace

QString texte_episode_ns(QStringView ns) {
    const QList<QStringView> parties = ns.split(u'.');
    if (parties.size() < 2)
        return {};
    const int saison = partie_ns(parties[0]);
    const int episode = partie_ns(parties[1]);
    if (saison >= 0 && episode >= 0)
        return QStringLiteral("Saison %1, épisode %2").arg(saison + 1).arg(episode + 1);
    if (episode >= 0)
        return QStringLiteral("Épisode %1").arg(episode + 1);
    if (saison >= 0)
        return QStringLiteral("Saison %1").arg(saison + 1);
    return {};
}

QString texte_episode(const details_programme& d) {
    const QString ns = texte_episode_ns(d.episode_ns);
    return ns.isEmpty() ? d.episode_ecran : ns;
}

QString texte_classement(QStringView valeur) {
    const QStringView v = valeur.trimmed();
    QStringView n = v;
    if (n.startsWith(u'-'))
        n = n.sliced(1);
    if (n.endsWith(u"ans", Qt::CaseInsensitive))
        n = n.chopped(3).trimmed();
    bool ok = false;
    const int age = n.toInt(&ok);
    if (ok && age > 0 && age < 100)
        return QStringLiteral("Déconseillé aux moins de %1 ans").arg(age);
    if (v.compare(u"TP", Qt::CaseInsensitive) == 0 || v.compare(u"Tout public", Qt::CaseInsensitive) == 0 ||
        v.compare(u"Tous publics", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Tout public");
    return v.toString();
}

QString texte_diffusion(const details_programme& d) {
    if (d.inedit)
        return QStringLiteral("Inédit");
    if (d.rediffusion)
        return QStringLiteral("Rediffusion");
    return {};
}

QString lire_etoiles(QStringView valeur) {
    const QList<QStringView> parties = valeur.split(u'/');
    if (parties.size() != 2)
        return {};
    const auto nombre = [](QStringView n, bool entier) {
        n = n.trimmed();
        bool point = false;
        if (n.isEmpty() || n.size() > 4)
            return QString();
        for (const QChar c : n) {
            if (c == u'.' || c == u',') {
                if (point || entier)
                    return QString();
                point = true;
            } else if (c < u'0' || c > u'9') {
                return QString();
            }
        }
        return n.toString().replace(QLatin1Char('.'), QLatin1Char(','));
    };
    const QString note = nombre(parties[0], false);
    const QString sur = nombre(parties[1], true);
    if (note.isEmpty() || sur.isEmpty() || sur.toInt() == 0)
        return {};
    return note + QLatin1Char('/') + sur;
}

QString resume_details(const details_programme& d) {
    QStringList l;
    if (!d.sous_titre.isEmpty())
        l << d.sous_titre;
    QStringList ligne;
    const QString diffusion = texte_diffusion(d);
    if (!diffusion.isEmpty())
        ligne << diffusion;
    if (!d.etoiles.isEmpty())
        ligne << d.etoiles;
    const QString ep = texte_episode(d);
    if (!ep.isEmpty())
        ligne << ep;
    if (!d.annee.isEmpty())
        ligne << d.annee;
    if (!d.categories.isEmpty())
        ligne << d.categories.join(QStringLiteral(", "));
    if (!ligne.isEmpty())
        l << ligne.join(QStringLiteral(" – "));
    if (!d.classement.isEmpty())
        l << texte_classement(d.classement);
    if (!d.description.isEmpty())
        l << coupe(d.description.simplified(), 240);
    return l.join(QLatin1Char('\n'));
}

QString texte_details(const QString& titre, const details_programme& d) {
    QStringList l;
    l << titre;
    const auto ajouter = [&l](const QString& etiquette, const QString& valeur) {
        if (!valeur.isEmpty())
            l << QStringLiteral("%1 : %2").arg(etiquette, valeur);
    };
    ajouter(QStringLiteral("Sous-titre"), d.sous_titre);
    ajouter(QStringLiteral("Épisode"), texte_episode(d));
    ajouter(QStringLiteral("Année"), d.annee);
    ajouter(QStringLiteral("Genre"), d.categories.join(QStringLiteral(", ")));
    ajouter(QStringLiteral("Réalisation"), d.realisateur);
    ajouter(QStringLiteral("Avec"), d.acteurs.join(QStringLiteral(", ")));
    ajouter(QStringLiteral("Note"), d.etoiles);
    if (!texte_diffusion(d).isEmpty())
        l << texte_diffusion(d);
    if (!d.classement.isEmpty())
        l << texte_classement(d.classement);
    if (!d.description.isEmpty())
        l << QString() << d.description;
    if (d.vide())
        l << QStringLiteral("Aucun détail pour ce programme.");
    return l.join(QLatin1Char('\n'));
}

QString texte_fiche(const QString& titre, const QString& chaine, const QString& quand,
                    const details_programme& d) {
    QStringList l = texte_details(titre, d).split(QLatin1Char('\n'));
    QStringList tete;
    if (!chaine.isEmpty())
        tete << QStringLiteral("Chaîne : %1").arg(chaine);
    if (!quand.isEmpty())
        tete << quand;
    for (qsizetype i = 0; i < tete.size(); ++i)
        l.insert(1 + i, tete[i]);
    return l.join(QLatin1Char('\n'));
}

QString joindre(const QStringList& l) {
    return l.join(QLatin1Char('\n'));
}

QStringList separer(const QString& s) {
    return s.isEmpty() ? QStringList() : s.split(QLatin1Char('\n'));
}

} // namespace zapo::inline noyau
