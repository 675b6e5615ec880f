#include "update/minuterie_rappels.h"

#include "core/horloge.h"
#include "data/base_rappels.h"

#include <QLoggingCategory>

#include <algorithm>
#include <map>

namespace zapo::maj {

namespace {

Q_LOGGING_CATEGORY(zapo_rappels, "zapo.rappels")

constexpr qint64 attente_max_ms = 15 * 60 * 1000;
constexpr qint64 nouvel_essai_ms = 20 * 1000;

} // namespace

QString corps_avertissement(const rappel& r, const QString& nom_chaine) {
    return QStringLiteral("%1 à %2").arg(nom_chaine, r.debut.format_hhnn());
}

minuterie_rappels::minuterie_rappels(contexte& ctx, avertisseur_rappels& a) : ctx_(ctx), avertisseur_(a) {
    minuteur.setSingleShot(true);
    minuteur.setTimerType(Qt::PreciseTimer);
}

void minuterie_rappels::rearmer() {
    std::vector<rappel> rappels;
    int minutes = minutes_avant_defaut;
    {
        donnees::base_programmes base(ctx_.chemin_base());
        rappels = donnees::lire_rappels(base);
        minutes = donnees::lire_minutes_avant(base);
    }
    std::erase_if(rappels, [&](const rappel& r) { return envoyes_.contains(r.id); });
    const auto prochaine = prochaine_alerte(rappels, minutes);
    if (!prochaine && envoyes_.empty()) {
        minuteur.stop();
        return;
    }
    qint64 attente = attente_max_ms;
    if (prochaine)
        attente = std::clamp<qint64>((*prochaine - ctx_.horloge_->maintenant_dh()).secondes() * 1000, 0,
                                     attente_max_ms);
    // Some are still to be noted as told: soon, not in a loop.
    if (!envoyes_.empty())
        attente = std::min<qint64>(attente, nouvel_essai_ms);
    minuteur.start(int(attente));
}

void minuterie_rappels::verifier() {
    const date_heure maintenant = ctx_.horloge_->maintenant_dh();
    std::vector<std::pair<rappel, QString>> a_dire;
    {
        donnees::base_programmes base(ctx_.chemin_base());
        const auto rappels = donnees::lire_rappels(base);
        const int minutes = donnees::lire_minutes_avant(base);
        std::map<int, QString> noms;
        for (const auto& c : base.lire_chaines())
            noms[c.num_chaine] = c.nom;
        std::vector<qint64> a_noter;
        for (const auto& r : rappels) {
            if (r.envoye) {
                envoyes_.erase(r.id);
                continue;
            }
            if (envoyes_.contains(r.id)) {
                a_noter.push_back(r.id);
                continue;
            }
            const auto s = decider_rappel(r, maintenant, minutes);
            if (s == sort_rappel::avertir)
                a_dire.emplace_back(r, noms[r.chaine]);
            if (s == sort_rappel::avertir || s == sort_rappel::abandonner) {
                envoyes_.insert(r.id);
                a_noter.push_back(r.id);
            }
        }
        // Noted before anyone is told: a box that opens its own loop below
        // cannot let the same reminder through again.
        try {
            base.commencer();
            for (qint64 id : a_noter)
                donnees::marquer_envoye(base, id);
            base.valider();
            for (qint64 id : a_noter)
                envoyes_.erase(id);
        } catch (const donnees::erreur_base&) {
            base.annuler();
            qCWarning(zapo_rappels, "Rappels non notés comme envoyés ; nouvel essai au prochain passage.");
        }
    }
    for (const auto& [r, nom] : a_dire)
        avertisseur_.avertir(r, nom);
    rearmer();
}

void ajuster_rappels_apres_maj(contexte& ctx) {
    donnees::base_programmes base(ctx.chemin_base());
    donnees::ajuster_rappels(base, ctx.horloge_->maintenant_dh());
}

} // namespace zapo::maj
