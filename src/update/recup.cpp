#include "update/recup.h"

#include "core/decodage.h"
#include "core/horloge.h"
#include "core/scanner.h"
#include "core/xmltv.h"
#include "platform/gzip.h"
#include "platform/telechargeur.h"

#include <QUrl>

namespace zapo::recup {

recuperateur::recuperateur(const horloge& h)
    : horloge_(h), telechargeur_(std::make_unique<plateforme::telechargeur>()) {}

recuperateur::~recuperateur() = default;

void recuperateur::interrompre() {
    telechargeur_->interrompre();
}

const recuperateur::document& recuperateur::obtenir(const QString& cle, const QString& adresse) {
    if (const auto it = documents_.constFind(cle); it != documents_.cend())
        return it.value();
    document d;
    telechargeur_->definir_delai(delai_ms_);
    plateforme::page_telechargee page = telechargeur_->telecharger(adresse);
    d.reussi = page.reussie;
    d.erreur = page.erreur;
    d.type_contenu = page.type_contenu;
    if (d.reussi && plateforme::est_gzip(page.corps)) {
        QByteArray brut;
        if (plateforme::decompresser_gzip(page.corps, brut)) {
            page.corps = std::move(brut);
        } else {
            d.reussi = false;
            d.erreur = QStringLiteral("Le document compressé est endommagé.");
        }
    }
    if (d.reussi && xmltv::est_xmltv(page.corps)) {
        // Read once for every channel of the feed.
        auto l = std::make_shared<xmltv::lecture>(xmltv::lire(page.corps, horloge_.maintenant_dh()));
        if (!l->ok) {
            d.reussi = false;
            d.erreur = l->erreur;
        }
        d.flux = std::move(l);
    } else if (d.reussi) {
        d.corps = std::move(page.corps);
    }
    // A failed download also counts: a dead feed must not cost one time-out per channel.
    return documents_.insert(cle, std::move(d)).value();
}

bool recuperateur::recup_programmes(int num_chaine, const QString& adresse) {
    (void)num_chaine;
    programmes_lus_.clear();
    erreur_.clear();

    const QUrl url(adresse);
    const QString cle = url.adjusted(QUrl::RemoveFragment).toString();
    const document& d = obtenir(cle, adresse);
    if (!d.reussi) {
        erreur_ = d.erreur;
        return false;
    }
    if (d.flux) {
        const QString id = url.fragment(QUrl::FullyDecoded);
        if (id.isEmpty() || !d.flux->chaines.contains(id)) {
            erreur_ = QStringLiteral("La chaîne « %1 » n'est pas dans le programme reçu.").arg(id);
            return false;
        }
        if (progres1_)
            progres1_(80);
        programmes_lus_ = d.flux->programmes.value(id);
        return true;
    }
    if (d.corps.isEmpty()) {
        erreur_ = QStringLiteral("La page est vide.");
        return false;
    }
    if (progres1_)
        progres1_(80);

    const QString texte = decoder_page(d.corps, d.type_contenu);
    programmes_lus_ = decouper_page(texte, horloge_).programmes;
    return true;
}

} // namespace zapo::recup
