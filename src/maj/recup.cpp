#include "maj/recup.h"

#include "maj/alias_maj.h"
#include "maj/journal.h"
#include "noyau/decodage.h"
#include "noyau/horloge.h"
#include "noyau/sante.h"
#include "noyau/scanner.h"
#include "noyau/xmltv.h"
#include "plateforme/gzip.h"
#include "plateforme/telechargeur.h"

#include <QDir>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>

namespace zapo::maj {

namespace {

QString sans_fragment(const QUrl& url) {
    return url.adjusted(QUrl::RemoveFragment).toString();
}

const char* nom_regle(regle_xmltv r) {
    switch (r) {
    case regle_xmltv::identifiant:
        return "identifiant exact";
    case regle_xmltv::casse:
        return "identifiant sans tenir compte de la casse";
    case regle_xmltv::nom_affiche:
        return "nom affiché";
    case regle_xmltv::ancien_identifiant:
        return "ancien identifiant";
    case regle_xmltv::ancien_nom:
        return "ancien nom";
    }
    return "?";
}

// A body or a spill: on disk, never in memory, gone with the run.
std::unique_ptr<QTemporaryFile> fichier_temporaire() {
    auto f = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("zapo-tv-XXXXXX")));
    if (!f->open())
        return nullptr;
    return f;
}

// Why a temporary file could not take its bytes: the disk holding it is full, in
// practice, and saying so tells the user what to free.
QString texte_dossier_plein() {
    return QStringLiteral("Le dossier temporaire est plein (%1).")
        .arg(QDir::toNativeSeparators(QDir::tempPath()));
}

// Everything written reached the file: its buffer too.
bool bien_ecrit(QTemporaryFile& f) {
    return f.flush() && f.error() == QFileDevice::NoError;
}

} // namespace

recuperateur::recuperateur(const horloge& h)
    : horloge_(h), telechargeur_(std::make_unique<plateforme::telechargeur>()) {}

recuperateur::~recuperateur() = default;

void recuperateur::interrompre() {
    telechargeur_->interrompre();
}

void recuperateur::prevoir(const QString& adresse, const QString& nom, const validateurs* tenus) {
    const QUrl url(adresse);
    const QString cle = sans_fragment(url);
    const bool premiere = !voulues_.contains(cle);
    conditions& c = conditions_[cle];
    const bool valables = tenus && !(tenus->etag.isEmpty() && tenus->modifie_le.isEmpty());
    if (premiere)
        c = {valables ? *tenus : validateurs{}, valables};
    else
        c.communes = c.communes && valables && *tenus == c.v;
    chaine_voulue v{url.fragment(QUrl::FullyDecoded), nom, {}, {}};
    // The other ids and names the channel has been known by also find it.
    if (const alias_chaine* a = alias_de_chaine(alias_connus(), v.id)) {
        v.autres_ids = a->ids;
        v.autres_noms = a->noms;
    }
    voulues_[cle].push_back(std::move(v));
}

plateforme::page_telechargee recuperateur::recup_logo(const QString& adresse, const QByteArray& etag,
                                                      const QByteArray& modifie_le, qsizetype taille_max,
                                                      int duree_ms) {
    plateforme::demande_page d;
    d.etag = etag;
    d.modifie_le = modifie_le;
    d.taille_max = taille_max;
    d.duree_max_ms = std::max(1, std::min(duree_ms, delai_ms_ * 5));
    d.redirections_max = 5;
    d.sans_identifiants = true;
    telechargeur_->definir_delai(std::max(1, std::min(delai_ms_, duree_ms)));
    return telechargeur_->telecharger(adresse, d);
}

void recuperateur::lire_corps(document& d, std::unique_ptr<QTemporaryFile> corps,
                              const QByteArray& type_contenu, const QString& cle, const QString& adresse) {
    corps->seek(0);
    if (plateforme::est_gzip(corps->peek(2))) {
        // Inflated against the same cap as a plain body; the compressed copy goes at once.
        auto brut = fichier_temporaire();
        if (!brut) {
            d.erreur = QStringLiteral("Impossible d'écrire un fichier temporaire.");
            return;
        }
        const qsizetype cap = telechargeur_->taille_max();
        const auto issue = plateforme::inflater_gzip(*corps, *brut, cap);
        corps = std::move(brut);
        if (issue == plateforme::issue_gzip::ecriture || !bien_ecrit(*corps)) {
            d.erreur = texte_dossier_plein();
            return;
        }
        if (issue == plateforme::issue_gzip::trop_gros) {
            d.erreur = QStringLiteral("Le document décompressé dépasse %1 Mo.").arg(cap / (1024 * 1024));
            return;
        }
        if (issue != plateforme::issue_gzip::ok) {
            d.erreur = QStringLiteral("Le document compressé est endommagé.");
            return;
        }
        corps->seek(0);
    }
    if (corps->size() == 0) {
        d.erreur = QStringLiteral("La page est vide.");
        return;
    }
    // Each document is read once, whatever the channels that point into it.
    qCInfo(zapo_maj) << "lecture de" << cle << ":" << corps->size() << "octets";
    if (est_xmltv(corps->peek(64 * 1024))) {
        // Read once for every channel of the feed, keeping only theirs, set aside
        // on disk channel by channel.
        std::vector<chaine_voulue> voulues = voulues_.value(cle);
        if (voulues.empty())
            voulues.push_back({QUrl(adresse).fragment(QUrl::FullyDecoded), QString()});
        std::shared_ptr<QTemporaryFile> debord = fichier_temporaire();
        if (!debord) {
            d.erreur = QStringLiteral("Impossible d'écrire un fichier temporaire.");
            return;
        }
        auto l = std::make_shared<lecture_xmltv_differee>(*corps, *debord, horloge_.maintenant_dh(), voulues);
        corps.reset();
        const lecture_xmltv& e = l->entete();
        if (!e.ok) {
            d.erreur = QStringLiteral("Le programme reçu est illisible : %1").arg(e.erreur);
            if (!d.erreur.endsWith(QLatin1Char('.')))
                d.erreur += QLatin1Char('.');
            return;
        }
        for (auto it = e.correspondances.cbegin(); it != e.correspondances.cend(); ++it)
            qCInfo(zapo_maj) << "chaîne" << it.key() << "trouvée dans" << cle << "par"
                             << nom_regle(it.value().first) << "sous" << it.value().second;
        d.flux = std::move(l);
        d.debord = std::move(debord);
        d.reussi = true;
        return;
    }
    // The text is made from the file piece by piece: the bytes are never held beside it.
    const QString texte = decoder_page(*corps, type_contenu);
    corps.reset();
    if (texte.isEmpty()) {
        d.erreur = QStringLiteral("La page ne contient aucun texte.");
        return;
    }
    d.programmes = decouper_page(texte, horloge_).programmes;
    // A page with no time on it (a Wi-Fi login page, an error page sent with 200)
    // is no schedule: the channel keeps what it had.
    if (d.programmes.empty()) {
        d.erreur = QStringLiteral("La réponse n'est pas un programme XMLTV.");
        return;
    }
    d.reussi = true;
}

const recuperateur::document& recuperateur::obtenir(const QString& cle, const QString& adresse) {
    if (const auto it = documents_.constFind(cle); it != documents_.cend())
        return it.value();
    document d;
    telechargeur_->definir_delai(delai_ms_);
    plateforme::demande_page demande;
    if (const conditions c = conditions_.value(cle); c.communes) {
        demande.etag = c.v.etag;
        demande.modifie_le = c.v.modifie_le;
    }
    // The body goes to disk as it comes: a feed of several megabytes is never held.
    std::unique_ptr<QTemporaryFile> corps = fichier_temporaire();
    plateforme::page_telechargee page;
    if (corps) {
        demande.sortie = corps.get();
        page = telechargeur_->telecharger(adresse, demande);
    } else {
        page.erreur = QStringLiteral("Impossible d'écrire un fichier temporaire.");
    }
    // A body cut short by a full disk is no page: the channel keeps what it had.
    if (corps && (page.sortie_refusee || !bien_ecrit(*corps)) && !(page.reussie && page.inchangee)) {
        page.reussie = false;
        page.erreur = texte_dossier_plein();
    }
    if (page.reussie && page.inchangee) {
        qCInfo(zapo_maj) << cle << "inchangé depuis la dernière lecture";
        d.reussi = true;
        d.inchange = true;
    } else if (page.reussie) {
        d.valid = {std::move(page.etag), std::move(page.modifie_le)};
        lire_corps(d, std::move(corps), page.type_contenu, cle, adresse);
    } else
        d.erreur = page.erreur;
    if (!d.reussi)
        qCWarning(zapo_maj).noquote() << "échec de" << cle << ":" << d.erreur;
    // A failed download also counts: a dead feed must not cost one time-out per channel.
    return documents_.insert(cle, std::move(d)).value();
}

bool recuperateur::recup_programmes(const QString& adresse) {
    programmes_lus_.clear();
    icone_lue_.clear();
    semaine_lue_.clear();
    inchangee_ = false;
    validateurs_lus_ = {};
    flux_lu_ = false;
    semaine_entiere_ = false;
    erreur_.clear();

    const QUrl url(adresse);
    const QString cle = sans_fragment(url);
    const document& d = obtenir(cle, adresse);
    if (!d.reussi) {
        erreur_ = d.erreur;
        return false;
    }
    if (d.inchange) {
        inchangee_ = true;
        return true;
    }
    validateurs_lus_ = d.valid;
    flux_lu_ = bool(d.flux);
    if (d.flux) {
        const QString id = url.fragment(QUrl::FullyDecoded);
        const lecture_xmltv& e = d.flux->entete();
        if (id.isEmpty() || !e.chaines.contains(id)) {
            erreur_ = raison_chaine_absente(id);
            qCWarning(zapo_maj).noquote() << "échec de" << adresse << ":" << erreur_;
            return false;
        }
        lecture_xmltv_differee::chaine_lue lue = d.flux->extraire(id);
        if (lue.perdue) {
            erreur_ = texte_dossier_plein();
            qCWarning(zapo_maj).noquote() << "échec de" << adresse << ":" << erreur_;
            return false;
        }
        programmes_lus_ = std::move(lue.programmes);
        // A stale feed, or one without this channel's programmes for the kept period.
        if (programmes_lus_.empty()) {
            erreur_ = QStringLiteral("Le flux ne contient aucun programme pour aujourd'hui.");
            qCWarning(zapo_maj).noquote() << "échec de" << adresse << ":" << erreur_;
            return false;
        }
        if (progres1_)
            progres1_(80);
        if (const QString icone = e.icones.value(id); !icone.isEmpty())
            icone_lue_ = QUrl(cle).resolved(QUrl(icone)).toString();
        semaine_lue_ = std::move(lue.semaine);
        semaine_entiere_ = !lue.au_dela;
        return true;
    }
    if (progres1_)
        progres1_(80);
    programmes_lus_ = d.programmes;
    semaine_lue_ = d.programmes;
    return true;
}

} // namespace zapo::maj
