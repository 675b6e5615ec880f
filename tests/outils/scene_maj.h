#pragma once

// The real program in a folder of its own: its channels on a local server of
// the test's, earlier programmes and a stale stamp stored, and a clock that
// libfaketime starts at a fixed moment.

#include "outils/banc_maj.h"

#include "outils/programme_essai.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace zapo::essais {

inline QString bibliotheque_faketime() {
    return QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");
}

// The moment every run starts at.
inline const QDate jour_essai(2026, 12, 7);
inline const char* const heure_essai = "@2026-12-07 14:00:00";

// A channel and what the main window must show for it at 14:00 (the times are
// chosen so that the first minute of the run cannot change the rounding).
struct chaine_vue {
    chaine_essai c;
    QString en_cours;
    QString pour_cent;
};

inline std::vector<chaine_vue> cinq_chaines() {
    return {
        {{2,
          QStringLiteral("Télé Une"),
          QStringLiteral("/une"),
          {{"06h00", "Réveil"}, {"12h30", "Journal de midi"}, {"20h50", "Film du soir"}}},
         QStringLiteral("Journal de midi"),
         QStringLiteral("18")},
        {{3,
          QStringLiteral("Deuxième Chaîne"),
          QStringLiteral("/deux"),
          {{"06h30", "Matinale"}, {"20h45", "Série"}}},
         QStringLiteral("Matinale"),
         QStringLiteral("53")},
        {{5,
          QStringLiteral("Canal Trois"),
          QStringLiteral("/trois"),
          {{"07h00", "Dessins animés"}, {"13h20", "Météo des neiges"}, {"21h00", "Débat"}}},
         QStringLiteral("Météo des neiges"),
         QStringLiteral("9")},
        {{7,
          QStringLiteral("Quatre Sports"),
          QStringLiteral("/quatre"),
          {{"11h00", "Tournoi en direct"}, {"15h00", "Magazine"}, {"22h00", "Documentaire"}}},
         QStringLiteral("Tournoi en direct"),
         QStringLiteral("75")},
        {{9,
          QStringLiteral("Cinq Infos"),
          QStringLiteral("/cinq"),
          {{"09h00", "Infos en continu"}, {"19h00", "Le grand journal"}}},
         QStringLiteral("Infos en continu"),
         QStringLiteral("50")},
    };
}

class scene_maj {
public:
    // options: the four lines of config.ini; vitesse: libfaketime's rate ("x10"), or empty.
    scene_maj(const QString& options, std::vector<chaine_essai> chaines, const QString& vitesse = {})
        : p(options), chaines_(std::move(chaines)) {
        ok_ = p.valide() && QFileInfo::exists(bibliotheque_faketime()) && serveur.demarrer() &&
              QFile::copy(chemin_base_livree(), p.base()) &&
              QFile::setPermissions(p.base(), QFile::ReadOwner | QFile::WriteOwner);
        if (!ok_)
            return;
        executer_sql(p.base(), "DELETE FROM chaines");
        {
            donnees::base_programmes b(p.base());
            const date_heure midi = date_heure::depuis_date(jour_essai, 12, 0);
            for (const auto& c : chaines_) {
                b.ajouter_chaine({c.num, c.nom, serveur.url(c.chemin), 1 + c.num % 16});
                serveur.definir_page(c.chemin, page_programmes(c.programmes));
                // What an earlier run stored: one programme on now, one tonight.
                b.ajouter_programme({QStringLiteral("Rediffusion ") + c.nom, midi, date_heure::duree_hm(4, 0),
                                     midi + date_heure::duree_hm(4, 0)},
                                    c.num);
                b.ajouter_programme({QStringLiteral("Soirée ") + c.nom, midi + date_heure::duree_hm(9, 0),
                                     date_heure::duree_hm(2, 0), midi + date_heure::duree_hm(11, 0)},
                                    c.num);
            }
            // Yesterday evening: stale since 10:00 today.
            b.ecrire_maj(date_heure::depuis_date(jour_essai.addDays(-1), 20, 15, 7));
        }
        auto& env = p.environnement();
        env.insert(QStringLiteral("LD_PRELOAD"), bibliotheque_faketime());
        env.insert(QStringLiteral("FAKETIME"),
                   QLatin1String(heure_essai) + (vitesse.isEmpty() ? QString() : QLatin1Char(' ') + vitesse));
        // A program built with AddressSanitizer refuses a library loaded before its runtime.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                                                       QStringLiteral("verify_asan_link_order=0"));
        // Dialling must fail at once: no system bus at all.
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                   QStringLiteral("unix:path=") + p.dossier() + QStringLiteral("/aucun_bus"));
    }

    bool valide() const { return ok_; }
    const std::vector<chaine_essai>& chaines() const { return chaines_; }

    // liste and maj, byte for byte.
    QByteArray etat() const { return vider_table(p.base(), "liste") + "--\n" + vider_table(p.base(), "maj"); }

    programme_essai p;
    serveur_http serveur;

private:
    std::vector<chaine_essai> chaines_;
    bool ok_ = false;
};

inline std::vector<chaine_essai> chaines_de(const std::vector<chaine_vue>& v) {
    std::vector<chaine_essai> res;
    for (const auto& c : v)
        res.push_back(c.c);
    return res;
}

} // namespace zapo::essais
