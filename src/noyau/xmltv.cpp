#include "noyau/xmltv.h"

#include "noyau/decodage.h"

#include <QDataStream>
#include <QDateTime>
#include <QFileDevice>
#include <QIODevice>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <algorithm>
#include <chrono>
#include <limits>
#include <unordered_map>

namespace zapo::inline noyau {

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
    const std::chrono::year_month_day date{std::chrono::year(a), std::chrono::month(unsigned(m)),
                                           std::chrono::day(unsigned(j))};
    return std::chrono::sys_days(date).time_since_epoch().count();
}

struct brut {
    qint64 debut = 0;
    qint64 fin = -1;  // -1: no stop
    quint64 rang = 0; // order in the document, for equal starts
    QString titre;
    details_programme details;
};

bool avant(const brut& a, const brut& b) {
    return a.debut != b.debut ? a.debut < b.debut : a.rang < b.rang;
}

QDataStream& operator<<(QDataStream& f, const brut& b) {
    const details_programme& d = b.details;
    return f << b.debut << b.fin << b.rang << b.titre << d.sous_titre << d.description << d.categories
             << d.episode_ns << d.episode_ecran << d.annee << d.realisateur << d.acteurs << d.classement
             << d.rediffusion << d.inedit << d.etoiles;
}

QDataStream& operator>>(QDataStream& f, brut& b) {
    details_programme& d = b.details;
    return f >> b.debut >> b.fin >> b.rang >> b.titre >> d.sous_titre >> d.description >> d.categories >>
           d.episode_ns >> d.episode_ecran >> d.annee >> d.realisateur >> d.acteurs >> d.classement >>
           d.rediffusion >> d.inedit >> d.etoiles;
}

// What one feed channel keeps: the programmes of the week that can still be
// among its first 1,500 (and the one after them, which bounds the last), and the
// first start after the week. Memory stays bounded whatever the feed holds.
struct retenue {
    static constexpr size_t garde = max_programmes_semaine + 1;
    std::vector<brut> dans_fenetre;
    qint64 apres = std::numeric_limits<qint64>::max();
    // Where its earlier programmes were set aside (a differed reading's spill):
    // each segment's offset and length, as written.
    std::vector<std::pair<qint64, qint64>> segments;
    // Some of them could not be set aside: the channel is lost, never read short.
    bool perdue = false;

    void ajouter(brut&& b, qint64 basse, qint64 haute) {
        if (b.debut < basse)
            return;
        if (b.debut >= haute) {
            apres = std::min(apres, b.debut);
            return;
        }
        dans_fenetre.push_back(std::move(b));
        if (dans_fenetre.size() >= 2 * garde)
            elaguer();
    }
    void elaguer() {
        if (dans_fenetre.size() <= garde)
            return;
        std::nth_element(dans_fenetre.begin(), dans_fenetre.begin() + garde, dans_fenetre.end(), avant);
        dans_fenetre.resize(garde);
    }
};

// Candidates for one wanted channel, at most two of each kind: two already mean "not this rule".
struct pistes {
    bool exacte = false;
    QStringList casse;
    QStringList nom;
    QStringList ancien_id;
    QStringList ancien_nom;
};

void noter(QStringList& l, const QString& id) {
    if (l.size() < 2 && !l.contains(id))
        l << id;
}

class lecteur {
public:
    lecteur(QByteArrayView doc, date_heure maintenant, std::span<const chaine_voulue> voulues, bool tout)
        : doc_(doc), tout_(tout), voulues_(voulues), pistes_(voulues.size()) {
        preparer(maintenant);
    }
    // Read from a device; with a spill, each channel's programmes go there once
    // the feed moves on to another, and `lire` leaves them there.
    lecteur(QIODevice& doc, QIODevice* debord, date_heure maintenant, std::span<const chaine_voulue> voulues)
        : source_(&doc), debord_(debord), tout_(false), voulues_(voulues), pistes_(voulues.size()) {
        preparer(maintenant);
    }

    lecture_xmltv lire();
    // A differed reading's wanted channel, read back from the spill; `perdue`
    // when it could not be set aside whole or read back.
    lecture_xmltv extraire(const QString& id, bool& perdue);

private:
    void preparer(date_heure maintenant) {
        const date_heure aujourdhui = maintenant.jour();
        basse_ = convertisseur_local::utc(aujourdhui);
        haute_liste_ = convertisseur_local::utc(aujourdhui + un_jour + date_heure::duree_hm(10, 0));
        haute_ = convertisseur_local::utc(aujourdhui + date_heure::duree_hm(24 * jours_semaine, 0));
        for (size_t i = 0; i < voulues_.size(); ++i) {
            par_id_[voulues_[i].id].push_back(i);
            par_casse_[voulues_[i].id.toCaseFolded()].push_back(i);
            const QString n = nom_simplifie(voulues_[i].nom);
            if (!n.isEmpty())
                par_nom_[n].push_back(i);
            for (const QString& a : voulues_[i].autres_ids)
                par_ancien_id_[a.toCaseFolded()].push_back(i);
            for (const QString& a : voulues_[i].autres_noms)
                if (const QString an = nom_simplifie(a); !an.isEmpty())
                    par_ancien_nom_[an].push_back(i);
        }
        x_.setEntityExpansionLimit(entite_max_xmltv);
    }

    QXmlStreamReader::TokenType suivant();
    void deverser(retenue& r);
    bool nourrir();
    retenue* vue(const QString& id);
    retenue* pour_programme(QStringView id);
    void nom_affiche(const QString& id, QStringView nom);
    void sortir(lecture_xmltv& res, const QString& cle, retenue& r);

    QByteArrayView doc_;
    QIODevice* source_ = nullptr;
    QIODevice* debord_ = nullptr;
    retenue* remplie_ = nullptr;        // the channel the last programme went to
    qint64 fin_debord_ = 0;             // where the spill's good bytes end
    bool debord_rate_ = false;          // a write failed: nothing goes there any more
    QHash<QString, retenue*> trouvees_; // a differed reading's wanted channels
    bool tout_;
    std::span<const chaine_voulue> voulues_;
    std::vector<pistes> pistes_;
    QHash<QString, std::vector<size_t>> par_id_, par_casse_, par_nom_, par_ancien_id_, par_ancien_nom_;
    QHash<QString, QString> icones_;                // feed id -> its channel element's icon
    std::unordered_map<QString, retenue> retenues_; // stable addresses
    QString dernier_id_;
    retenue* dernier_ = nullptr;
    bool dernier_valide_ = false;
    QXmlStreamReader x_;
    qsizetype lu_ = 0;
    qint64 references_ = 0;
    qint64 longueur_entite_ = 0; // longest text an entity may give; 0 without declarations
    bool trop_d_entites_ = false;
    qint64 basse_ = 0, haute_ = 0, haute_liste_ = 0;
    QSet<QString> ids_;
};

// Fed in small pieces: Qt never holds the document's text at once, and entities
// are counted before a piece can expand them.
bool lecteur::nourrir() {
    QByteArray lu;
    QByteArrayView morceau;
    if (source_) {
        lu = source_->read(16 * 1024);
        if (lu.isEmpty())
            return false;
        morceau = lu;
    } else {
        if (lu_ >= doc_.size())
            return false;
        const qsizetype n = std::min<qsizetype>(16 * 1024, doc_.size() - lu_);
        morceau = doc_.sliced(lu_, n);
        lu_ += n;
    }
    references_ += morceau.count('&');
    if (longueur_entite_ == 0 && morceau.contains(QByteArrayView("<!ENTITY")))
        longueur_entite_ = entite_max_xmltv; // until the declarations are read
    if (references_ * longueur_entite_ > entites_total_max_xmltv) {
        trop_d_entites_ = true;
        return false;
    }
    x_.addData(source_ ? lu : morceau.toByteArray());
    return true;
}

// A channel's programmes so far go to the end of the spill; it keeps only where.
// A write that fails (a full temporary folder) loses this channel and every one
// set aside after it: what follows the failure is never read back as anyone's.
void lecteur::deverser(retenue& r) {
    if (r.dans_fenetre.empty())
        return;
    r.elaguer();
    const qint64 ou = fin_debord_;
    bool ok = !debord_rate_ && debord_->seek(ou);
    if (ok) {
        QDataStream f(debord_);
        f << quint32(r.dans_fenetre.size());
        for (const brut& b : r.dans_fenetre)
            f << b;
        ok = f.status() == QDataStream::Ok;
        // A file's buffer reaches the disk here, so that a failure is this channel's.
        if (auto* fichier = qobject_cast<QFileDevice*>(debord_); ok && fichier)
            ok = fichier->flush() && fichier->error() == QFileDevice::NoError;
        ok = ok && debord_->pos() > ou;
    }
    r.dans_fenetre = {};
    if (!ok) {
        debord_rate_ = true;
        r.perdue = true;
        return;
    }
    r.segments.emplace_back(ou, debord_->pos() - ou);
    fin_debord_ = debord_->pos();
}

lecture_xmltv lecteur::extraire(const QString& id, bool& perdue) {
    lecture_xmltv res;
    perdue = false;
    retenue* r = trouvees_.value(id);
    if (!r)
        return res;
    retenue t;
    t.apres = r->apres;
    QDataStream f(debord_);
    // Each segment is read back whole and to its exact end, or the channel is lost.
    perdue = r->perdue;
    for (const auto& [ou, longueur] : r->segments) {
        if (perdue)
            break;
        if (!debord_->seek(ou)) {
            perdue = true;
            break;
        }
        f.resetStatus();
        quint32 n = 0;
        f >> n;
        for (quint32 i = 0; i < n && f.status() == QDataStream::Ok; ++i) {
            brut b;
            f >> b;
            t.dans_fenetre.push_back(std::move(b));
            if (t.dans_fenetre.size() >= 2 * retenue::garde)
                t.elaguer();
        }
        perdue = f.status() != QDataStream::Ok || debord_->pos() != ou + longueur;
    }
    if (perdue)
        return res;
    sortir(res, id, t);
    return res;
}

QXmlStreamReader::TokenType lecteur::suivant() {
    for (;;) {
        const auto t = x_.readNext();
        if (t == QXmlStreamReader::Invalid && x_.error() == QXmlStreamReader::PrematureEndOfDocumentError &&
            nourrir())
            continue;
        if (t == QXmlStreamReader::DTD) {
            qint64 l = 0;
            for (const auto& e : x_.entityDeclarations())
                l = std::max<qint64>(l, e.value().contains(u'&') ? entite_max_xmltv : e.value().size());
            longueur_entite_ = l;
            if (references_ * longueur_entite_ > entites_total_max_xmltv) {
                trop_d_entites_ = true;
                return QXmlStreamReader::Invalid;
            }
        }
        return t;
    }
}

// A feed id met in a channel element or a programme: kept when some wanted channel may be it.
retenue* lecteur::vue(const QString& id) {
    if (tout_) {
        ids_.insert(id);
        return &retenues_[id];
    }
    if (const auto it = retenues_.find(id); it != retenues_.end())
        return &it->second;
    bool garder = false;
    if (const auto it = par_id_.constFind(id); it != par_id_.cend()) {
        for (size_t i : *it)
            pistes_[i].exacte = true;
        garder = true;
    }
    if (const auto it = par_casse_.constFind(id.toCaseFolded()); it != par_casse_.cend()) {
        for (size_t i : *it) {
            if (pistes_[i].casse.size() < 2) {
                noter(pistes_[i].casse, id);
                garder = true;
            }
        }
    }
    if (const auto it = par_ancien_id_.constFind(id.toCaseFolded()); it != par_ancien_id_.cend()) {
        for (size_t i : *it) {
            if (pistes_[i].ancien_id.size() < 2) {
                noter(pistes_[i].ancien_id, id);
                garder = true;
            }
        }
    }
    return garder ? &retenues_[id] : nullptr;
}

retenue* lecteur::pour_programme(QStringView id) {
    // Programmes come grouped by channel: most of them name the previous one's.
    if (dernier_valide_ && id == dernier_id_)
        return dernier_;
    dernier_id_ = id.toString();
    dernier_ = vue(dernier_id_);
    dernier_valide_ = true;
    return dernier_;
}

void lecteur::nom_affiche(const QString& id, QStringView nom) {
    if (tout_)
        return;
    const QString simple = nom_simplifie(nom);
    for (auto [index, champ] :
         {std::pair{&par_nom_, &pistes::nom}, std::pair{&par_ancien_nom_, &pistes::ancien_nom}}) {
        const auto it = index->constFind(simple);
        if (it == index->cend())
            continue;
        for (size_t i : *it) {
            QStringList& l = pistes_[i].*champ;
            if (l.size() < 2 && !l.contains(id)) {
                noter(l, id);
                retenues_.try_emplace(id);
                dernier_valide_ = false;
            }
        }
    }
}

void lecteur::sortir(lecture_xmltv& res, const QString& cle, retenue& r) {
    std::vector<brut>& liste = r.dans_fenetre;
    r.elaguer();
    std::sort(liste.begin(), liste.end(), avant);
    convertisseur_local local;
    std::vector<fiche_programme>& semaine = res.semaine[cle];
    std::vector<fiche_programme>& sortie = res.programmes[cle];
    if (r.apres != std::numeric_limits<qint64>::max() || liste.size() > size_t(max_programmes_semaine))
        res.au_dela.insert(cle);
    // `liste`'s rows are the week's first ones, up to 10:00 tomorrow: the same
    // programmes, with the same ends, as when only they were read.
    for (size_t i = 0; i < liste.size() && int(semaine.size()) < max_programmes_semaine; ++i) {
        brut& b = liste[i];
        qint64 fin = b.fin;
        if (fin < b.debut) {
            if (i + 1 < liste.size())
                fin = liste[i + 1].debut;
            else
                fin = r.apres != std::numeric_limits<qint64>::max() ? r.apres : b.debut + 3600;
        }
        fiche_programme p;
        p.programme = b.titre;
        p.hdeb = local.local(b.debut);
        p.hfin = local.local(fin);
        // The real length, also across a change of summer or winter time.
        p.duree = date_heure::depuis_secondes(fin - b.debut);
        p.details = std::move(b.details);
        if (b.debut < haute_liste_ && int(sortie.size()) < max_programmes)
            sortie.push_back(p);
        semaine.push_back(std::move(p));
    }
}

lecture_xmltv lecteur::lire() {
    lecture_xmltv res;
    enum class dans { rien, chaine, programme };
    dans ou = dans::rien;
    int prof = 0;
    bool racine_vue = false, racine_fermee = false;
    quint64 rang = 0;

    // The element being read and what it collects.
    QString id_chaine;
    QString icone;
    retenue* cible = nullptr;
    brut b;
    bool debut_ok = false;
    QString premier;
    bool francais = false;
    bool titre_fr = false;
    enum class texte {
        aucun,
        titre,
        nom,
        sous_titre,
        description,
        categorie,
        annee,
        episode,
        classement,
        realisateur,
        acteur,
        etoiles
    } collecte = texte::aucun;
    QString t;
    int prof_collecte = 0;
    qsizetype cap = titre_max;
    // Details: the French text when there is one, else the first.
    bool texte_fr = false;
    bool sous_titre_fr = false, description_fr = false;
    QStringList categories_fr, categories_autres;
    bool episode_ns = false;
    bool csa = false;
    bool note = false;
    const auto commencer = [&](texte k, qsizetype c) {
        collecte = k;
        prof_collecte = prof;
        cap = c;
        texte_fr = x_.attributes().value(QLatin1String("lang")).startsWith(QLatin1String("fr"));
        t.clear();
    };
    bool credits = false;
    // The text just read, cut at `cap` on a character boundary, as it may be stored.
    const auto lu = [&] {
        qsizetype n = std::min(t.size(), cap);
        if (n > 0 && n < t.size() && t[n - 1].isHighSurrogate())
            --n;
        return nettoyer_texte(QStringView(t).first(n));
    };
    const auto garder_detail = [&] {
        details_programme& d = b.details;
        switch (collecte) {
        case texte::sous_titre:
            if (texte_fr && !sous_titre_fr) {
                d.sous_titre = lu().trimmed();
                sous_titre_fr = true;
            } else if (d.sous_titre.isEmpty() && !sous_titre_fr) {
                d.sous_titre = lu().trimmed();
            }
            break;
        case texte::description:
            if (texte_fr && !description_fr) {
                d.description = lu().trimmed();
                description_fr = true;
            } else if (d.description.isEmpty() && !description_fr) {
                d.description = lu().trimmed();
            }
            break;
        case texte::categorie: {
            QStringList& l = texte_fr ? categories_fr : categories_autres;
            const QString c = lu().simplified();
            if (!c.isEmpty() && l.size() < categories_max && !l.contains(c, Qt::CaseInsensitive))
                l << c;
            break;
        }
        case texte::annee: {
            const QString a = lu().trimmed().left(4);
            if (d.annee.isEmpty() && a.size() == 4 &&
                std::all_of(a.begin(), a.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
                d.annee = a;
            break;
        }
        case texte::episode:
            if (episode_ns && d.episode_ns.isEmpty())
                d.episode_ns = lu().simplified().remove(QLatin1Char(' '));
            else if (!episode_ns && d.episode_ecran.isEmpty())
                d.episode_ecran = lu().simplified();
            break;
        case texte::classement:
            d.classement = lu().simplified();
            break;
        case texte::realisateur:
            d.realisateur = lu().simplified();
            break;
        case texte::etoiles:
            d.etoiles = lire_etoiles(lu());
            break;
        case texte::acteur: {
            const QString a = lu().simplified();
            if (!a.isEmpty())
                d.acteurs << a;
            break;
        }
        default:
            break;
        }
    };

    while (!racine_fermee) {
        const auto jeton = suivant();
        if (jeton == QXmlStreamReader::Invalid || jeton == QXmlStreamReader::EndDocument)
            break;
        switch (jeton) {
        case QXmlStreamReader::StartElement: {
            // The reader keeps every open element: a deep pile is refused before it costs memory.
            if (++prof > profondeur_max_xmltv) {
                res.erreur = QStringLiteral("document XMLTV refusé : plus de %1 éléments imbriqués")
                                 .arg(profondeur_max_xmltv);
                return res;
            }
            const QStringView nom = x_.name();
            if (prof == 1) {
                racine_vue = true;
                if (nom != QLatin1String("tv")) {
                    res.erreur = QStringLiteral("ce n'est pas un document XMLTV");
                    return res;
                }
            } else if (prof == 2 && nom == QLatin1String("channel")) {
                ou = dans::chaine;
                id_chaine = x_.attributes().value(QLatin1String("id")).toString();
                icone.clear();
                vue(id_chaine);
                dernier_valide_ = false;
            } else if (prof == 2 && nom == QLatin1String("programme")) {
                ou = dans::programme;
                const QXmlStreamAttributes att = x_.attributes();
                cible = pour_programme(att.value(QLatin1String("channel")));
                b = brut{};
                b.rang = rang++;
                debut_ok = lire_heure_xmltv(att.value(QLatin1String("start")), b.debut);
                if (!att.hasAttribute(QLatin1String("stop")) ||
                    !lire_heure_xmltv(att.value(QLatin1String("stop")), b.fin))
                    b.fin = -1;
                premier = QString();
                francais = false;
                sous_titre_fr = description_fr = false;
                categories_fr.clear();
                categories_autres.clear();
            } else if (prof == 2) {
                ou = dans::rien;
            } else if (prof == 3 && ou == dans::programme && cible && nom == QLatin1String("title")) {
                collecte = texte::titre;
                prof_collecte = prof;
                cap = titre_max;
                titre_fr = x_.attributes().value(QLatin1String("lang")).startsWith(QLatin1String("fr"));
                t.clear();
            } else if (prof == 3 && ou == dans::chaine && nom == QLatin1String("icon")) {
                const QStringView src = x_.attributes().value(QLatin1String("src")).trimmed();
                if (icone.isEmpty() && src.size() <= icone_max_xmltv)
                    icone = src.toString();
            } else if (prof == 3 && ou == dans::chaine && nom == QLatin1String("display-name")) {
                collecte = texte::nom;
                prof_collecte = prof;
                cap = titre_max;
                t.clear();
            } else if (prof == 3 && ou == dans::programme && cible) {
                if (nom == QLatin1String("sub-title"))
                    commencer(texte::sous_titre, titre_max);
                else if (nom == QLatin1String("desc"))
                    commencer(texte::description, description_max);
                else if (nom == QLatin1String("category"))
                    commencer(texte::categorie, nom_max);
                else if (nom == QLatin1String("date"))
                    commencer(texte::annee, nom_max);
                else if (nom == QLatin1String("episode-num")) {
                    episode_ns = x_.attributes().value(QLatin1String("system")) == QLatin1String("xmltv_ns");
                    commencer(texte::episode, nom_max);
                } else if (nom == QLatin1String("credits")) {
                    credits = true;
                } else if (nom == QLatin1String("rating")) {
                    csa = x_.attributes()
                              .value(QLatin1String("system"))
                              .compare(QLatin1String("CSA"), Qt::CaseInsensitive) == 0;
                } else if (nom == QLatin1String("star-rating")) {
                    note = true;
                } else if (nom == QLatin1String("previously-shown")) {
                    b.details.rediffusion = true;
                } else if (nom == QLatin1String("premiere") || nom == QLatin1String("new")) {
                    b.details.inedit = true;
                }
            } else if (prof == 4 && ou == dans::programme && cible && collecte == texte::aucun) {
                if (nom == QLatin1String("value") && csa && b.details.classement.isEmpty())
                    commencer(texte::classement, nom_max);
                else if (nom == QLatin1String("value") && note && b.details.etoiles.isEmpty())
                    commencer(texte::etoiles, nom_max);
                else if (credits && nom == QLatin1String("director") && b.details.realisateur.isEmpty())
                    commencer(texte::realisateur, nom_max);
                else if (credits && nom == QLatin1String("actor") && b.details.acteurs.size() < acteurs_max)
                    commencer(texte::acteur, nom_max);
            }
            break;
        }
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (collecte != texte::aucun && t.size() <= cap) {
                const QStringView morceau = x_.text();
                t += morceau.first(std::min(morceau.size(), cap + 1 - t.size()));
            }
            break;
        case QXmlStreamReader::EndElement:
            // Elements inside a text (markup in a title) do not end it.
            if (collecte != texte::aucun && prof == prof_collecte) {
                if (collecte == texte::titre) {
                    const QString lu = nettoyer_texte(couper_titre(t));
                    if (titre_fr && !francais) {
                        b.titre = lu;
                        francais = true;
                    } else if (premier.isNull()) {
                        premier = lu.isNull() ? QStringLiteral("") : lu;
                    }
                } else if (collecte == texte::nom) {
                    nom_affiche(id_chaine, couper_titre(t));
                } else {
                    garder_detail();
                }
                collecte = texte::aucun;
            }
            if (prof == 3)
                csa = credits = note = false;
            if (prof == 2 && ou == dans::programme) {
                if (!francais)
                    b.titre = premier.isNull() ? QString() : premier;
                b.details.categories = categories_fr.isEmpty() ? categories_autres : categories_fr;
                if (debut_ok && cible) {
                    // Grouped feeds move on from a channel once: what it had waits in the spill.
                    if (debord_ && remplie_ && remplie_ != cible)
                        deverser(*remplie_);
                    remplie_ = cible;
                    cible->ajouter(std::move(b), basse_, haute_);
                }
                cible = nullptr;
            }
            // The first channel element of an id gives its icon; only a channel that may be wanted keeps one.
            if (prof == 2 && ou == dans::chaine && !icone.isEmpty() && !icones_.contains(id_chaine) &&
                (tout_ || retenues_.count(id_chaine) > 0))
                icones_.insert(id_chaine, icone);
            if (prof == 2)
                ou = dans::rien;
            if (prof == 1)
                racine_fermee = true;
            --prof;
            break;
        default:
            break;
        }
    }
    if (trop_d_entites_) {
        res.erreur = QStringLiteral("document XMLTV refusé : ses entités donneraient un texte trop long");
        return res;
    }
    if (!racine_fermee && x_.hasError()) {
        res.erreur = QStringLiteral("document XMLTV illisible (ligne %1) : %2")
                         .arg(x_.lineNumber())
                         .arg(x_.errorString());
        return res;
    }
    if (!racine_vue) {
        res.erreur = QStringLiteral("document vide");
        return res;
    }
    if (!racine_fermee) {
        res.erreur = QStringLiteral("document XMLTV incomplet");
        return res;
    }

    if (tout_) {
        res.chaines = std::move(ids_);
        res.icones = std::move(icones_);
        for (auto& [id, r] : retenues_)
            sortir(res, id, r);
    } else {
        for (size_t i = 0; i < voulues_.size(); ++i) {
            const pistes& p = pistes_[i];
            std::pair<regle_xmltv, QString> trouvee;
            if (p.exacte)
                trouvee = {regle_xmltv::identifiant, voulues_[i].id};
            else if (p.casse.size() == 1)
                trouvee = {regle_xmltv::casse, p.casse.front()};
            else if (p.ancien_id.size() == 1)
                trouvee = {regle_xmltv::ancien_identifiant, p.ancien_id.front()};
            else if (p.nom.size() == 1)
                trouvee = {regle_xmltv::nom_affiche, p.nom.front()};
            else if (p.ancien_nom.size() == 1)
                trouvee = {regle_xmltv::ancien_nom, p.ancien_nom.front()};
            else
                continue;
            const auto it = retenues_.find(trouvee.second);
            if (it == retenues_.end())
                continue;
            res.chaines.insert(voulues_[i].id);
            res.correspondances.insert(voulues_[i].id, trouvee);
            if (const QString ic = icones_.value(trouvee.second); !ic.isEmpty())
                res.icones.insert(voulues_[i].id, ic);
            if (debord_)
                trouvees_.insert(voulues_[i].id, &it->second);
            else
                sortir(res, voulues_[i].id, it->second);
        }
    }
    if (debord_) {
        // Everything waits in the spill; the reader's own buffers go too.
        for (auto& [id, r] : retenues_)
            deverser(r);
        x_.clear();
    }
    res.ok = true;
    return res;
}

} // namespace

struct lecture_xmltv_differee::etat {
    etat(QIODevice& document, QIODevice& debord, date_heure maintenant,
         std::span<const chaine_voulue> voulues)
        : l(document, &debord, maintenant, voulues) {}
    lecteur l;
};

lecture_xmltv_differee::lecture_xmltv_differee(QIODevice& document, QIODevice& debord, date_heure maintenant,
                                               std::span<const chaine_voulue> voulues)
    : voulues_(voulues.begin(), voulues.end()) {
    e_ = std::make_unique<etat>(document, debord, maintenant, voulues_);
    entete_ = e_->l.lire();
}

lecture_xmltv_differee::~lecture_xmltv_differee() = default;

lecture_xmltv_differee::chaine_lue lecture_xmltv_differee::extraire(const QString& id) const {
    bool perdue = false;
    lecture_xmltv l = e_->l.extraire(id, perdue);
    if (perdue)
        return {{}, {}, false, true};
    return {l.programmes.take(id), l.semaine.take(id), l.au_dela.contains(id), false};
}

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

bool lire_heure_xmltv(QStringView texte, qint64& utc) {
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

QString nom_simplifie(QStringView nom) {
    const QString d = nom.toString().normalized(QString::NormalizationForm_KD);
    QString res;
    res.reserve(d.size());
    for (const QChar c : d)
        if (c.isLetterOrNumber())
            res += c.toCaseFolded();
    return res;
}

QString identifiant_xmltv_valide(QStringView id, int num_chaine) {
    const auto permis = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-';
    };
    const QList<QStringView> etiquettes = id.split(u'.');
    bool valide = etiquettes.size() >= 2;
    for (const QStringView e : etiquettes)
        valide = valide && !e.isEmpty() && std::all_of(e.begin(), e.end(), permis);
    if (valide)
        return id.toString();

    QStringList propres;
    for (const QStringView e : etiquettes) {
        QString p;
        for (const QChar c : e.toString().normalized(QString::NormalizationForm_KD)) {
            if (c.category() == QChar::Mark_NonSpacing)
                continue;
            // One hyphen for a run of other characters, none at either end.
            if (permis(c) && c != u'-')
                p += c;
            else if (!p.isEmpty() && !p.endsWith(u'-'))
                p += u'-';
        }
        while (p.endsWith(u'-'))
            p.chop(1);
        if (!p.isEmpty())
            propres << p;
    }
    if (propres.isEmpty())
        return QStringLiteral("%1.zapo-tv").arg(num_chaine);
    if (propres.size() == 1)
        propres << QStringLiteral("zapo-tv");
    return propres.join(u'.');
}

lecture_xmltv lire_xmltv(QByteArrayView document, date_heure maintenant) {
    return lecteur(document, maintenant, {}, true).lire();
}

lecture_xmltv lire_xmltv(QByteArrayView document, date_heure maintenant,
                         std::span<const chaine_voulue> voulues) {
    return lecteur(document, maintenant, voulues, false).lire();
}

jour_xmltv reprendre_semaine(std::vector<fiche_programme> semaine, date_heure maintenant) {
    const date_heure aujourdhui = maintenant.jour();
    const date_heure haute_liste = aujourdhui + un_jour + date_heure::duree_hm(10, 0);
    jour_xmltv res;
    std::erase_if(semaine, [&](const fiche_programme& p) { return p.hdeb < aujourdhui; });
    for (const fiche_programme& p : semaine) {
        if (p.hdeb >= haute_liste || int(res.programmes.size()) >= max_programmes)
            break;
        res.programmes.push_back(p);
    }
    res.semaine = std::move(semaine);
    return res;
}

} // namespace zapo::inline noyau
