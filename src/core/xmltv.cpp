#include "core/xmltv.h"

#include <QDateTime>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <algorithm>
#include <unordered_map>

namespace zapo::xmltv {

namespace {

constexpr int max_programmes = 100;

bool chiffres(QStringView s, qsizetype debut, qsizetype n, int& valeur) {
    if (debut + n > s.size())
        return false;
    valeur = 0;
    for (qsizetype i = debut; i < debut + n; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        valeur = valeur * 10 + (c - u'0');
    }
    return true;
}

// Local wall-clock reading of a UTC instant. Offsets are cached by hour: a
// document holds thousands of times and the zone changes a few times a year.
class convertisseur_local {
public:
    date_heure local(qint64 utc) {
        const qint64 heure = utc / 3600;
        if (heure != heure_) {
            heure_ = heure;
            decalage_ = QDateTime::fromSecsSinceEpoch(heure * 3600, Qt::UTC).toLocalTime().offsetFromUtc();
        }
        return date_heure::depuis_secondes(utc + decalage_ + secondes_1970);
    }
    // UTC instant of a local wall-clock time.
    static qint64 utc(date_heure local) { return local.en_qdatetime().toSecsSinceEpoch(); }

private:
    static constexpr qint64 secondes_1970 = 25569LL * 86400; // 1899-12-30 to 1970-01-01
    qint64 heure_ = std::numeric_limits<qint64>::min();
    int decalage_ = 0;
};

// Days since 1970-01-01 of a civil date (proleptic Gregorian), without QDateTime:
// a feed holds tens of thousands of times.
qint64 jours_depuis_1970(int a, int m, int j) {
    a -= m <= 2;
    const qint64 ere = (a >= 0 ? a : a - 399) / 400;
    const qint64 annee_ere = a - ere * 400;
    const qint64 jour_annee = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + j - 1;
    const qint64 jour_ere = annee_ere * 365 + annee_ere / 4 - annee_ere / 100 + jour_annee;
    return ere * 146097 + jour_ere - 719468;
}

struct brut {
    qint64 debut = 0;
    qint64 fin = -1; // -1: no stop
    QString titre;
};

} // namespace

bool est_xmltv(QByteArrayView document) {
    QXmlStreamReader x(
        QByteArray::fromRawData(document.data(), std::min<qsizetype>(document.size(), 64 * 1024)));
    while (!x.atEnd()) {
        switch (x.readNext()) {
        case QXmlStreamReader::StartElement:
            return x.name() == QLatin1String("tv");
        case QXmlStreamReader::Invalid:
            // A cut-off prolog is still not a `tv` element.
            return false;
        default:
            break;
        }
    }
    return false;
}

bool lire_heure(QStringView texte, qint64& utc) {
    const QStringView t = texte.trimmed();
    int a, mo, j, h = 0, mi = 0, s = 0;
    if (!chiffres(t, 0, 4, a) || !chiffres(t, 4, 2, mo) || !chiffres(t, 6, 2, j))
        return false;
    qsizetype i = 8;
    if (chiffres(t, 8, 2, h) && chiffres(t, 10, 2, mi)) {
        i = 12;
        if (chiffres(t, 12, 2, s))
            i = 14;
    }
    if (!QDate::isValid(a, mo, j) || !QTime::isValid(h, mi, s))
        return false;
    QStringView reste = t.sliced(i).trimmed();
    if (reste.isEmpty()) {
        const QDateTime local(QDate(a, mo, j), QTime(h, mi, s));
        if (!local.isValid())
            return false;
        utc = local.toSecsSinceEpoch();
        return true;
    }
    int hh, mm;
    if (reste.size() != 5 || (reste[0] != u'+' && reste[0] != u'-') || !chiffres(reste, 1, 2, hh) ||
        !chiffres(reste, 3, 2, mm))
        return false;
    const int decalage = (hh * 3600 + mm * 60) * (reste[0] == u'-' ? -1 : 1);
    utc = jours_depuis_1970(a, mo, j) * 86400 + h * 3600 + mi * 60 + s - decalage;
    return true;
}

lecture lire(QByteArrayView document, date_heure maintenant) {
    lecture res;
    const date_heure aujourdhui = maintenant.jour();
    const qint64 borne_basse = convertisseur_local::utc(aujourdhui);
    const qint64 borne_haute = convertisseur_local::utc(aujourdhui + un_jour + date_heure::duree_hm(10, 0));

    std::unordered_map<QString, std::vector<brut>> bruts; // stable addresses
    std::vector<std::pair<QString, std::vector<brut>*>> index;
    // Read in place: a feed is megabytes.
    QXmlStreamReader x(QByteArray::fromRawData(document.data(), document.size()));
    bool racine_vue = false;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!racine_vue) {
            racine_vue = true;
            if (x.name() != QLatin1String("tv")) {
                res.erreur = QStringLiteral("ce n'est pas un document XMLTV");
                return res;
            }
            continue;
        }
        if (x.name() == QLatin1String("channel")) {
            res.chaines.insert(x.attributes().value(QLatin1String("id")).toString());
            x.skipCurrentElement();
            continue;
        }
        if (x.name() != QLatin1String("programme")) {
            x.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes att = x.attributes();
        const QStringView id = att.value(QLatin1String("channel"));
        // Few channels, many programmes: find the channel's list without a new string each time.
        std::vector<brut>* liste = nullptr;
        for (auto& [nom, l] : index) {
            if (nom == id) {
                liste = l;
                break;
            }
        }
        if (!liste) {
            const QString nom = id.toString();
            res.chaines.insert(nom);
            liste = &bruts[nom];
            index.emplace_back(nom, liste);
        }
        brut b;
        const bool debut_ok = lire_heure(att.value(QLatin1String("start")), b.debut);
        if (!att.hasAttribute(QLatin1String("stop")) || !lire_heure(att.value(QLatin1String("stop")), b.fin))
            b.fin = -1;
        // Titles: the French one, else the first.
        QString premier;
        bool francais = false;
        while (x.readNextStartElement()) {
            if (x.name() == QLatin1String("title")) {
                const bool fr = x.attributes().value(QLatin1String("lang")).startsWith(QLatin1String("fr"));
                const QString t = x.readElementText(QXmlStreamReader::IncludeChildElements);
                if (fr && !francais) {
                    b.titre = t;
                    francais = true;
                } else if (premier.isNull()) {
                    premier = t;
                }
            } else {
                x.skipCurrentElement();
            }
        }
        if (!francais)
            b.titre = premier.isNull() ? QString() : premier;
        if (debut_ok)
            liste->push_back(std::move(b));
    }
    if (x.hasError()) {
        res.erreur = QStringLiteral("document XMLTV illisible (ligne %1) : %2")
                         .arg(x.lineNumber())
                         .arg(x.errorString());
        return res;
    }
    if (!racine_vue) {
        res.erreur = QStringLiteral("document vide");
        return res;
    }

    convertisseur_local local;
    for (auto& [nom, liste] : bruts) {
        std::stable_sort(liste.begin(), liste.end(),
                         [](const brut& a, const brut& b) { return a.debut < b.debut; });
        std::vector<fiche_programme>& sortie = res.programmes[nom];
        for (size_t i = 0; i < liste.size() && int(sortie.size()) < max_programmes; ++i) {
            const brut& b = liste[i];
            if (b.debut < borne_basse || b.debut >= borne_haute)
                continue;
            qint64 fin = b.fin;
            if (fin < b.debut)
                fin = i + 1 < liste.size() ? liste[i + 1].debut : b.debut + 3600;
            fiche_programme p;
            p.programme = b.titre;
            p.hdeb = local.local(b.debut);
            p.hfin = local.local(fin);
            // The real length, also across a change of summer or winter time.
            p.duree = date_heure::depuis_secondes(fin - b.debut);
            sortie.push_back(std::move(p));
        }
    }
    res.ok = true;
    return res;
}

} // namespace zapo::xmltv
