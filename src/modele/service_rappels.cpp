#include "modele/service_rappels.h"

#include "donnees/base_rappels.h"
#include "noyau/horloge.h"

#include <QLoggingCategory>

#include <algorithm>
#include <map>
#include <vector>

namespace zapo::modele {

namespace {

Q_LOGGING_CATEGORY(zapo_rappels, "zapo.rappels")

} // namespace

service_rappels::service_rappels(contexte& ctx, guide& g, avertisseur_rappels& a)
    : ctx_(ctx), guide_(g), avertisseur_(a) {
    minuteur.setSingleShot(true);
    minuteur.setTimerType(Qt::PreciseTimer);
    // A base that cannot be read now is reported by whatever reads it next;
    // the reminders wait for the next change.
    auto rearmer_sans_echec = [this] {
        try {
            rearmer();
        } catch (const std::exception& e) {
            qCWarning(zapo_rappels, "Rappels non programmés : %s", e.what());
        }
    };
    connect(&g, &guide::rappels_changes, this, rearmer_sans_echec);
    connect(&g, &guide::reglages_changes, this, rearmer_sans_echec);
}

service_rappels::~service_rappels() {
    if (envoyes_.empty())
        return;
    // The program ends: waiting a little for the base is better than telling
    // these again at the next start.
    try {
        const std::vector<qint64> ids(envoyes_.begin(), envoyes_.end());
        if (guide_.noter_rappels_dits(ids, true))
            return;
    } catch (const std::exception&) {
    }
    qCWarning(zapo_rappels, "%d rappels dits n'ont pas pu être notés comme envoyés.", int(envoyes_.size()));
}

void service_rappels::arreter() {
    arrete_ = true;
    minuteur.stop();
}

void service_rappels::rearmer() {
    if (arrete_)
        return;
    // Both reads on one connection when neither is kept yet.
    const guide::seance s(guide_);
    std::vector<rappel> rappels = guide_.rappels();
    const int minutes = guide_.minutes_avant();
    std::erase_if(rappels, [&](const rappel& r) { return envoyes_.contains(r.id); });
    const auto prochaine = prochain_instant_alerte(rappels, minutes);
    if (!prochaine && envoyes_.empty()) {
        minuteur.stop();
        return;
    }
    qint64 attente = attente_max_ms;
    if (prochaine)
        attente = std::clamp<qint64>((*prochaine - ctx_.horloge_->maintenant().toSecsSinceEpoch()) * 1000, 0,
                                     attente_max_ms);
    // Some are still to be noted as told: soon, not in a loop.
    if (!envoyes_.empty())
        attente = std::min<qint64>(attente, nouvel_essai_ms);
    minuteur.start(int(attente));
}

void service_rappels::verifier() {
    // The clock's reading, not its wall-clock value: it knows which pass of a repeated hour it is.
    const QDateTime maintenant = ctx_.horloge_->maintenant();
    std::vector<rappel_a_dire> a_dire;
    {
        // The reads and the mark on one connection.
        const guide::seance s(guide_);
        // A copy: the mark lets the guide's go.
        const std::vector<rappel> rappels = guide_.rappels();
        const int minutes = guide_.minutes_avant();
        std::map<int, QString> noms;
        for (const auto& c : guide_.chaines())
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
                a_dire.push_back(dire_rappel(r, noms[r.chaine], maintenant));
            if (s == sort_rappel::avertir || s == sort_rappel::abandonner) {
                envoyes_.insert(r.id);
                a_noter.push_back(r.id);
            }
        }
        // Kept in memory before anyone is told: a box that opens its own loop
        // below cannot let the same reminder through again. An update writing
        // to the base meanwhile does not hold the warning up: the mark waits.
        if (guide_.noter_rappels_dits(a_noter, false)) {
            for (qint64 id : a_noter)
                envoyes_.erase(id);
        } else {
            qCInfo(zapo_rappels, "Base occupée : rappels notés comme envoyés au prochain passage.");
        }
    }
    std::ranges::stable_sort(a_dire, {}, &rappel_a_dire::debut);
    if (!a_dire.empty())
        avertisseur_.avertir(a_dire);
    rearmer();
}

} // namespace zapo::modele
