#include "modele/guide.h"

#include "donnees/base_logos.h"
#include "donnees/base_rappels.h"
#include "donnees/lecture_grille.h"
#include "donnees/lecture_recherche.h"
#include "donnees/semaine.h"
#include "donnees/taille_fenetre.h"
#include "donnees/transaction.h"
#include "noyau/fraicheur.h"
#include "noyau/horloge.h"

#include <QLoggingCategory>

#include <stdexcept>

namespace zapo::modele {

namespace {

Q_LOGGING_CATEGORY(zapo_guide, "zapo.guide")

} // namespace

QString texte_statut(statut_maj s) {
    switch (s) {
    case statut_maj::aucun:
        break;
    case statut_maj::a_jour:
        return texte_etat_base(true);
    case statut_maj::pas_a_jour:
        return texte_etat_base(false);
    case statut_maj::en_cours:
        return QStringLiteral("Mise à jour en cours...");
    case statut_maj::connexion:
        return QStringLiteral("Connection à Internet");
    case statut_maj::echec_connexion:
        return QStringLiteral("Erreur de connection Internet");
    case statut_maj::echec:
        return QStringLiteral("La mise à jour a échoué.");
    }
    return {};
}

guide::guide(contexte& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

guide::~guide() = default;

guide::seance::seance(guide& g) : g_(&g) {
    ++g.seances_;
}

guide::seance::~seance() {
    if (g_ && --g_->seances_ == 0)
        g_->base_seance_.reset();
}

std::shared_ptr<donnees::base_programmes> guide::connexion() {
    if (seances_ == 0)
        return std::make_shared<donnees::base_programmes>(ctx_.chemin_base());
    // The folder may change meanwhile (the tests', or a moved one): the file named now.
    if (!base_seance_ || base_seance_->chemin() != ctx_.chemin_base())
        base_seance_ = std::make_shared<donnees::base_programmes>(ctx_.chemin_base());
    return base_seance_;
}

std::vector<donnees::chaine> guide::chaines() {
    return connexion()->lire_chaines();
}

QHash<int, QByteArray> guide::logos() {
    return donnees::lire_logos(*connexion());
}

std::map<int, donnees::sante_chaine> guide::sante() {
    return connexion()->lire_sante();
}

std::optional<date_heure> guide::derniere_maj() {
    return connexion()->lire_maj();
}

std::vector<donnees::entree_modele> guide::catalogue() {
    return connexion()->lire_modele();
}

void guide::parcourir_chaine(int chaine, const std::function<void(const donnees::ligne_liste&)>& f) {
    const auto b = connexion();
    b->parcourir_chaine(chaine, f);
}

QHash<qint64, details_programme> guide::details_chaine(int chaine) {
    return donnees::lire_details_chaine(*connexion(), chaine);
}

void guide::parcourir_panneau(
    int chaine, date_heure maintenant,
    const std::function<void(const donnees::ligne_liste&, qint64, std::optional<qint64>)>& f,
    const std::function<bool(const donnees::ligne_liste&)>& titre_utile) {
    const auto b = connexion();
    b->parcourir_panneau(chaine, maintenant, f, titre_utile);
}

std::optional<donnees::programme_semaine> guide::programme(int chaine, date_heure hdeb) {
    return donnees::lire_programme_semaine(*connexion(), chaine, hdeb);
}

std::optional<details_programme> guide::details(donnees::source_details source, int chaine, date_heure hdeb) {
    return donnees::lire_details_source(*connexion(), source, chaine, hdeb);
}

std::vector<QStringList> guide::categories(donnees::source_details source,
                                           std::span<const std::pair<int, date_heure>> cles) {
    return donnees::lire_categories_de(*connexion(), source, cles);
}

std::vector<std::vector<ligne_panneau>> guide::soirees(std::span<const int> chaines, date_heure maintenant,
                                                       int soir) {
    return donnees::lire_soirees(*connexion(), chaines, maintenant, soir);
}

std::optional<date_heure> guide::dernier_debut_semaine() {
    return donnees::dernier_debut_semaine(*connexion());
}

std::optional<date_heure> guide::dernier_debut(std::span<const int> chaines) {
    return donnees::dernier_debut_chaines(*connexion(), chaines);
}

void guide::parcourir_periode(date_heure debut, date_heure fin,
                              const std::function<void(const donnees::programme_semaine&)>& f) {
    const auto b = connexion();
    donnees::parcourir_periode(*b, debut, fin, f);
}

index_recherche guide::index_de_recherche() {
    return donnees::lire_index_recherche(*connexion());
}

void guide::en_une_lecture(const std::function<void()>& lire) {
    const seance s(*this);
    const auto b = connexion();
    donnees::transaction t(*b, donnees::transaction::genre::lecture);
    lire();
    t.valider();
}

std::optional<QSize> guide::taille_fenetre() {
    return donnees::lire_taille_fenetre(*connexion());
}

void guide::ecrire_taille_fenetre(QSize taille) {
    donnees::ecrire_taille_fenetre(*connexion(), taille);
    Q_EMIT fenetres_changees();
}

std::optional<QRect> guide::place_grille() {
    return donnees::lire_place_grille(*connexion());
}

void guide::ecrire_place_grille(QRect place) {
    donnees::ecrire_place_grille(*connexion(), place);
    Q_EMIT fenetres_changees();
}

bool guide::agent_propose() {
    return donnees::agent_propose(*connexion());
}

void guide::noter_agent_propose() {
    donnees::noter_agent_propose(*connexion());
    Q_EMIT reglages_changes();
}

donnees::bilan_ajout guide::ajouter_du_catalogue(const QString& nom, int num_image,
                                                 const std::function<void()>& avant_annonce) {
    const donnees::bilan_ajout bilan = donnees::ajouter_du_catalogue(*connexion(), nom, num_image);
    if (bilan.resultat != donnees::resultat_ajout::ajoutee)
        return bilan;
    if (avant_annonce)
        avant_annonce();
    Q_EMIT chaines_changees();
    return bilan;
}

void guide::retirer_chaine(int chaine) {
    connexion()->effacer_chaine(chaine);
    annoncer_chaines();
}

void guide::vider_chaines() {
    connexion()->effacer_chaines();
    annoncer_chaines();
}

const std::vector<rappel>& guide::rappels() {
    if (!rappels_) {
        rappels_ = donnees::lire_rappels(*connexion());
    }
    return *rappels_;
}

bool guide::rappel_prevu(int chaine, qint64 debut) {
    for (const auto& r : rappels())
        if (!r.retire && r.chaine == chaine && r.debut.secondes() == debut)
            return true;
    return false;
}

int guide::minutes_avant() {
    if (!minutes_) {
        minutes_ = donnees::lire_minutes_avant(*connexion());
    }
    return *minutes_;
}

QStringList guide::mots_favoris() {
    if (!mots_) {
        mots_ = donnees::lire_mots_favoris(*connexion());
    }
    return *mots_;
}

bool guide::basculer_rappel(int chaine, qint64 debut_secondes, bool prevu) {
    {
        const auto b = connexion();
        donnees::base_programmes& base = *b;
        const date_heure debut = date_heure::depuis_secondes(debut_secondes);
        if (prevu) {
            donnees::retirer_rappel(base, chaine, debut);
        } else {
            // Any kept day: the week holds what `liste` does not.
            const auto p = donnees::lire_programme_semaine(base, chaine, debut);
            // Gone meanwhile (an update ran): nothing to remind of.
            if (!p)
                return false;
            donnees::ajouter_rappel(base, rappel{0, chaine, p->hdeb, p->hfin, p->titre});
        }
        rappels_ = donnees::lire_rappels(base);
    }
    Q_EMIT rappels_changes();
    if (!prevu)
        Q_EMIT rappel_ajoute();
    return true;
}

void guide::ecrire_minutes_avant(int minutes) {
    {
        const auto b = connexion();
        donnees::base_programmes& base = *b;
        donnees::ecrire_minutes_avant(base, minutes);
        minutes_ = donnees::lire_minutes_avant(base);
    }
    Q_EMIT reglages_changes();
}

int guide::ecrire_mots_favoris(const QStringList& mots, const std::function<void(int)>& dire) {
    int nb = 0;
    {
        const auto b = connexion();
        donnees::base_programmes& base = *b;
        donnees::ecrire_mots_favoris(base, mots);
        // The programmes already stored count at once, not only after the next update.
        const date_heure maintenant = ctx_.horloge_->maintenant_dh();
        donnees::ajuster_rappels(base, maintenant);
        mots_ = donnees::lire_mots_favoris(base);
        rappels_ = donnees::lire_rappels(base);
        nb = nb_rappels_des_mots(*rappels_, mots, maintenant);
    }
    Q_EMIT mots_changes();
    Q_EMIT rappels_changes();
    if (dire)
        dire(nb);
    if (nb > 0)
        Q_EMIT rappel_ajoute();
    return nb;
}

void guide::annoncer_chaines() {
    rappels_.reset();
    Q_EMIT chaines_changees();
    Q_EMIT rappels_changes();
}

bool guide::noter_rappels_dits(std::span<const qint64> ids, bool attendre) {
    if (ids.empty())
        return true;
    if (!donnees::marquer_envoyes(*connexion(), ids, attendre))
        return false;
    rappels_.reset();
    return true;
}

void guide::definir_statut(statut_maj s) {
    if (s == statut_)
        return;
    statut_ = s;
    Q_EMIT etat_maj_change();
}

void guide::commencer_maj() {
    maj_en_cours_ = true;
    statut_ = statut_maj::en_cours;
    Q_EMIT etat_maj_change();
}

void guide::finir_maj(bool programmes_ecrits) noexcept {
    try {
        if (programmes_ecrits) {
            // Reminders follow their programme, and the favourite words add theirs.
            const auto b = connexion();
            donnees::ajuster_rappels(*b, ctx_.horloge_->maintenant_dh());
        }
    } catch (const std::exception& e) {
        qCWarning(zapo_guide, "Rappels non ajustés après la mise à jour : %s", e.what());
    } catch (...) {
        qCWarning(zapo_guide, "Rappels non ajustés après la mise à jour.");
    }
    rappels_.reset();
    maj_en_cours_ = false;
    // Whoever listens answers inside its own error boundary.
    try {
        Q_EMIT etat_maj_change();
        Q_EMIT sante_changee();
        Q_EMIT programmes_changes();
        Q_EMIT logos_changes();
        Q_EMIT rappels_changes();
    } catch (const std::exception& e) {
        qCWarning(zapo_guide, "Fin de mise à jour mal annoncée : %s", e.what());
    } catch (...) {
        qCWarning(zapo_guide, "Fin de mise à jour mal annoncée.");
    }
}

guide& guide_de(contexte& ctx) {
    if (!ctx.guide)
        throw std::logic_error("Le guide n'est pas installé.");
    return *ctx.guide;
}

} // namespace zapo::modele
