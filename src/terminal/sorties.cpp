#include "terminal/sorties.h"

#include "donnees/base_logos.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "noyau/decodage.h"
#include "noyau/soirees.h"
#include "noyau/xmltv.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QXmlStreamWriter>

#include <cstdio>

namespace zapo::terminal {

namespace {

// One field of a tab-separated line. Nothing from the base steers the terminal:
// C0 and C1 controls (a base filled by an older version may hold U+009B, a
// terminal's CSI), bidirectional overrides and isolates, and line breaks are spaces.
QString champ(const QString& s) {
    QString r = s;
    for (QChar& c : r)
        if (caractere_pilote(c.unicode()) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return r;
}

// XML 1.0 forbids most control characters and lone surrogates; a base filled by an
// older version may still hold them, and C1 characters or carriage returns too.
QString texte_xml(const QString& brut) {
    const QString s = nettoyer_texte(brut);
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            r += c;
            r += s.at(++i);
        } else if (c.isSurrogate() || u == 0xfffe || u == 0xffff) {
            r += QChar::ReplacementCharacter;
        } else if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') {
            r += QLatin1Char(' ');
        } else {
            r += c;
        }
    }
    return r;
}

QString format_xmltv(date_heure d, int decalage) {
    const QDate j = d.date();
    const int s = d.seconde_du_jour();
    const int a = std::abs(decalage) / 60;
    char texte[48];
    std::snprintf(texte, sizeof texte, "%04d%02d%02d%02d%02d%02d %c%02d%02d", j.year(), j.month(), j.day(),
                  s / 3600, s / 60 % 60, s % 60, decalage < 0 ? '-' : '+', a / 60, a % 60);
    return QString::fromLatin1(texte);
}

QJsonValue iso_ou_nul(const std::optional<en_cours_chaine>& e, bool debut) {
    if (!e)
        return QJsonValue::Null;
    return debut ? heure_iso(e->hdeb, e->instant_debut) : heure_iso(e->hfin, e->instant_fin);
}

} // namespace

QString heure_xmltv(date_heure d) {
    fuseau_local f;
    return heure_xmltv(d, f.lire(d).premiere);
}

QString heure_iso(date_heure d) {
    fuseau_local f;
    return heure_iso(d, f.lire(d).premiere);
}

// The offset is the one the reading took: a moment the spring change skipped
// keeps the offset before it, so that text and instant agree.
QString heure_xmltv(date_heure d, std::int64_t instant) {
    return format_xmltv(d, fuseau_local::decalage_lu(d, instant));
}

QString heure_iso(date_heure d, std::int64_t instant) {
    return QDateTime(d.date(), QTime(0, 0).addSecs(d.seconde_du_jour()), Qt::OffsetFromUTC,
                     fuseau_local::decalage_lu(d, instant))
        .toString(Qt::ISODate);
}

QString id_xmltv(const donnees::chaine& c) {
    const qsizetype diese = c.adresse.indexOf(QLatin1Char('#'));
    const QString fragment = diese < 0 ? QString() : c.adresse.mid(diese + 1).trimmed();
    if (!fragment.isEmpty())
        return fragment;
    return QStringLiteral("%1.zapo-tv").arg(c.num_chaine);
}

std::vector<maintenant_chaine> calculer_maintenant(donnees::base_programmes& base,
                                                   const QDateTime& maintenant) {
    const std::vector<donnees::chaine> chaines = base.lire_chaines();
    // The channel list's own computation; no channel is the current one here.
    calcul_panneau calcul(std::numeric_limits<int>::min(), maintenant);
    base.parcourir_peut_etre_en_cours(calcul.maintenant(), [&](const donnees::ligne_liste& r) {
        calcul.ajouter(r.hdeb, r.hfin, r.programme, r.chaine, r.duree);
    });
    const etat_panneau e = calcul.resultat();
    std::vector<maintenant_chaine> res;
    res.reserve(chaines.size());
    for (const auto& c : chaines) {
        maintenant_chaine m{c, std::nullopt};
        const auto it = e.par_chaine.constFind(c.num_chaine);
        if (it != e.par_chaine.cend())
            m.en_cours = *it;
        res.push_back(std::move(m));
    }
    return res;
}

std::vector<soir_chaine> calculer_ce_soir(donnees::base_programmes& base, date_heure maintenant, int jour) {
    const std::vector<donnees::chaine> chaines = base.lire_chaines();
    std::vector<int> nums;
    for (const auto& c : chaines)
        nums.push_back(c.num_chaine);
    std::vector<std::vector<ligne_panneau>> choix = donnees::lire_soirees(base, nums, maintenant, jour);
    std::vector<soir_chaine> res;
    res.reserve(chaines.size());
    for (size_t i = 0; i < chaines.size(); ++i)
        res.push_back({chaines[i], std::move(choix[i])});
    return res;
}

int soirees_gardees(donnees::base_programmes& base, date_heure maintenant) {
    return int(choix_soirees(maintenant, donnees::dernier_debut_semaine(base)).size());
}

QString texte_maintenant(const std::vector<maintenant_chaine>& v) {
    QString s;
    for (const auto& m : v) {
        s += champ(m.chaine.nom);
        if (m.en_cours)
            s += QStringLiteral("\t%1\t%2\t%3\t%4")
                     .arg(m.en_cours->hdeb.format_hhnn(), m.en_cours->hfin.format_hhnn(),
                          champ(m.en_cours->titre))
                     .arg(m.en_cours->pourcentage);
        else
            s += QStringLiteral("\t\t\t\t");
        s += QLatin1Char('\n');
    }
    return s;
}

QString texte_ce_soir(const std::vector<soir_chaine>& v) {
    QString s;
    for (const auto& c : v) {
        const QString nom = champ(c.chaine.nom);
        if (c.programmes.empty())
            s += nom + QStringLiteral("\t\t\t\n");
        for (const auto& p : c.programmes)
            s += QStringLiteral("%1\t%2\t%3\t%4\n")
                     .arg(nom, p.hdeb.format_hhnn(), p.hfin.format_hhnn(), champ(p.programme));
    }
    return s;
}

QByteArray json_maintenant(const std::vector<maintenant_chaine>& v) {
    QJsonArray a;
    for (const auto& m : v) {
        QJsonObject o;
        o.insert(QStringLiteral("num_chaine"), m.chaine.num_chaine);
        o.insert(QStringLiteral("chaine"), m.chaine.nom);
        o.insert(QStringLiteral("debut"), iso_ou_nul(m.en_cours, true));
        o.insert(QStringLiteral("fin"), iso_ou_nul(m.en_cours, false));
        o.insert(QStringLiteral("titre"), m.en_cours ? QJsonValue(m.en_cours->titre) : QJsonValue::Null);
        o.insert(QStringLiteral("pourcent"),
                 m.en_cours ? QJsonValue(m.en_cours->pourcentage) : QJsonValue::Null);
        a.append(o);
    }
    return QJsonDocument(a).toJson(QJsonDocument::Indented);
}

QByteArray json_ce_soir(const std::vector<soir_chaine>& v) {
    QJsonArray a;
    for (const auto& c : v) {
        QJsonArray programmes;
        for (const auto& p : c.programmes)
            programmes.append(QJsonObject{{QStringLiteral("debut"), heure_iso(p.hdeb)},
                                          {QStringLiteral("fin"), heure_iso(p.hfin)},
                                          {QStringLiteral("titre"), p.programme}});
        a.append(QJsonObject{{QStringLiteral("num_chaine"), c.chaine.num_chaine},
                             {QStringLiteral("chaine"), c.chaine.nom},
                             {QStringLiteral("programmes"), programmes}});
    }
    return QJsonDocument(a).toJson(QJsonDocument::Indented);
}

namespace {

template <class E> void ecrire_details(QXmlStreamWriter& x, const details_programme& d, const E& element) {
    element(QStringLiteral("sub-title"), d.sous_titre);
    element(QStringLiteral("desc"), d.description);
    if (!d.realisateur.isEmpty() || !d.acteurs.isEmpty()) {
        x.writeStartElement(QStringLiteral("credits"));
        element(QStringLiteral("director"), d.realisateur, false);
        for (const QString& a : d.acteurs)
            element(QStringLiteral("actor"), a, false);
        x.writeEndElement();
    }
    element(QStringLiteral("date"), d.annee, false);
    for (const QString& c : d.categories)
        element(QStringLiteral("category"), c);
    for (const auto& [systeme, valeur] : {std::pair{QStringLiteral("xmltv_ns"), d.episode_ns},
                                          std::pair{QStringLiteral("onscreen"), d.episode_ecran}}) {
        if (valeur.isEmpty())
            continue;
        x.writeStartElement(QStringLiteral("episode-num"));
        x.writeAttribute(QStringLiteral("system"), systeme);
        x.writeCharacters(texte_xml(valeur));
        x.writeEndElement();
    }
    if (d.rediffusion)
        x.writeEmptyElement(QStringLiteral("previously-shown"));
    // The feeds' `premiere` and `new` both read as "Inédit"; the first stands for both.
    if (d.inedit)
        x.writeEmptyElement(QStringLiteral("premiere"));
    if (!d.classement.isEmpty()) {
        x.writeStartElement(QStringLiteral("rating"));
        x.writeAttribute(QStringLiteral("system"), QStringLiteral("CSA"));
        element(QStringLiteral("value"), d.classement, false);
        x.writeEndElement();
    }
    // Kept as "3/5" or "4,5/5" by the reader; XMLTV wants a point. Anything
    // else an older base may hold is left out.
    static const QRegularExpression note(QStringLiteral("^\\d{1,2}([.,]\\d{1,2})?/\\d{1,2}$"));
    if (note.match(d.etoiles).hasMatch()) {
        x.writeStartElement(QStringLiteral("star-rating"));
        element(QStringLiteral("value"), QString(d.etoiles).replace(QLatin1Char(','), QLatin1Char('.')),
                false);
        x.writeEndElement();
    }
}

// A logo's address as a reader may fetch it: http or https with a host, else none.
QString adresse_icone(const QString& adresse) {
    const QUrl u(adresse);
    const QString schema = u.scheme().toLower();
    if (!u.isValid() || u.host().isEmpty() ||
        (schema != QLatin1String("http") && schema != QLatin1String("https")))
        return {};
    // A user name or password the feed put in it is nobody's business.
    return texte_xml(u.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded));
}

} // namespace

bool ecrire_xmltv(donnees::base_programmes& base, QIODevice& sortie) {
    const std::vector<donnees::chaine> chaines = base.lire_chaines();
    QXmlStreamWriter x(&sortie);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(2);
    x.writeStartDocument();
    x.writeDTD(QStringLiteral("<!DOCTYPE tv SYSTEM \"xmltv.dtd\">"));
    x.writeStartElement(QStringLiteral("tv"));
    x.writeAttribute(QStringLiteral("generator-info-name"), QStringLiteral("Zapo-TV"));

    // Channel number -> id; two channels never share an id, and a number's
    // programmes go to the first channel that bears it.
    fuseau_local f;
    QHash<int, suite_instants> suites;
    const QHash<int, QString> logos = donnees::lire_adresses_logos(base);
    QHash<int, QString> ids;
    QSet<QString> pris;
    for (const auto& c : chaines) {
        if (ids.contains(c.num_chaine))
            continue;
        QString id = identifiant_xmltv_valide(id_xmltv(c), c.num_chaine);
        if (pris.contains(id))
            id = QStringLiteral("%1.zapo-tv").arg(c.num_chaine);
        for (int k = 2; pris.contains(id); ++k)
            id = QStringLiteral("%1-%2.zapo-tv").arg(c.num_chaine).arg(k);
        pris.insert(id);
        ids.insert(c.num_chaine, id);
        x.writeStartElement(QStringLiteral("channel"));
        x.writeAttribute(QStringLiteral("id"), id);
        x.writeStartElement(QStringLiteral("display-name"));
        x.writeAttribute(QStringLiteral("lang"), QStringLiteral("fr"));
        x.writeCharacters(texte_xml(c.nom));
        x.writeEndElement();
        if (const QString icone = adresse_icone(logos.value(c.num_chaine)); !icone.isEmpty()) {
            x.writeEmptyElement(QStringLiteral("icon"));
            x.writeAttribute(QStringLiteral("src"), icone);
        }
        x.writeEndElement();
    }

    const auto element = [&x](const QString& nom, const QString& texte, bool langue = true) {
        if (texte.isEmpty())
            return;
        x.writeStartElement(nom);
        if (langue)
            x.writeAttribute(QStringLiteral("lang"), QStringLiteral("fr"));
        x.writeCharacters(texte_xml(texte));
        x.writeEndElement();
    };
    // Rows of a channel no longer chosen have nowhere to go.
    const auto ecrire_programme = [&](const donnees::programme_semaine& r) {
        const auto id = ids.constFind(r.chaine);
        if (id == ids.cend())
            return;
        // Each channel's rows come in time order (`liste`'s, then the week's after
        // them): that order tells the two passes of the repeated hour apart.
        const auto [debut, fin] = suites[r.chaine].lire(f, r.hdeb, r.hfin, r.duree);
        x.writeStartElement(QStringLiteral("programme"));
        x.writeAttribute(QStringLiteral("start"),
                         format_xmltv(r.hdeb, fuseau_local::decalage_lu(r.hdeb, debut)));
        x.writeAttribute(QStringLiteral("stop"),
                         format_xmltv(r.hfin, fuseau_local::decalage_lu(r.hfin, fin)));
        x.writeAttribute(QStringLiteral("channel"), *id);
        x.writeStartElement(QStringLiteral("title"));
        x.writeAttribute(QStringLiteral("lang"), QStringLiteral("fr"));
        x.writeCharacters(texte_xml(r.titre));
        x.writeEndElement();
        // The details follow the title in the order the XMLTV DTD gives.
        ecrire_details(x, r.details, element);
        x.writeEndElement();
    };
    struct sortie_en_echec {};
    try {
        // The kept week: `liste` for the day it holds, then each channel's
        // later days; a channel without a week (a schedule page) has `liste` alone.
        donnees::parcourir_semaine_flux(base, [&](const donnees::programme_semaine& r) {
            // A reader gone or a full disk: reading on would write nowhere.
            if (x.hasError())
                throw sortie_en_echec{};
            ecrire_programme(r);
        });
    } catch (const sortie_en_echec&) {
        return false;
    }
    x.writeEndElement();
    x.writeEndDocument();
    return !x.hasError();
}

} // namespace zapo::terminal
