#include "update/recup.h"

#include "core/decodage.h"
#include "core/horloge.h"
#include "core/scanner.h"
#include "platform/telechargeur.h"

namespace zapo::recup {

recuperateur::recuperateur(const horloge& h)
    : horloge_(h), telechargeur_(std::make_unique<plateforme::telechargeur>()) {}

recuperateur::~recuperateur() = default;

void recuperateur::interrompre() {
    telechargeur_->interrompre();
}

bool recuperateur::recup_programmes(int num_chaine, const QString& adresse) {
    (void)num_chaine;
    programmes_lus_.clear();
    erreur_.clear();

    telechargeur_->definir_delai(delai_ms_);
    const plateforme::page_telechargee page = telechargeur_->telecharger(adresse);
    if (!page.reussie) {
        erreur_ = page.erreur;
        return false;
    }
    if (page.corps.isEmpty()) {
        erreur_ = QStringLiteral("La page est vide.");
        return false;
    }
    if (progres1_)
        progres1_(80);

    const QString texte = decoder_page(page.corps, page.type_contenu);
    programmes_lus_ = decouper_page(texte, horloge_).programmes;
    return true;
}

} // namespace zapo::recup
