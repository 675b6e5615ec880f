#pragma once

#include "donnees/base_programmes.h"
#include "donnees/catalogue.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "noyau/contexte.h"
#include "noyau/rappels.h"
#include "noyau/recherche.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace zapo::modele {

// What the status line says of the update runs, each sentence worded once
// (texte_statut); `aucun` before anything was said.
enum class statut_maj { aucun, a_jour, pas_a_jour, en_cours, connexion, echec_connexion, echec };
QString texte_statut(statut_maj s);

// The guide as the windows see it, without a window: they read through it and
// listen to what it says changed. What several of them ask again and again (the
// reminders, their setting, the favourite words) is read from the base once per
// change. Every change goes through it and is announced from inside: nobody
// announces by hand.
//
// Every read below throws donnees::erreur_base when the base cannot be read.
class guide : public QObject {
    Q_OBJECT
public:
    explicit guide(contexte& ctx, QObject* parent = nullptr);
    ~guide() override;

    // While one lives, the reads share one connection, opened on the first of
    // them: a window's refresh reads the base several times, and the start-up
    // once per part of the window. Outside one, each read opens and closes the
    // base, so that nothing stays open between the user's actions.
    class seance {
    public:
        explicit seance(guide& g);
        ~seance();
        seance(const seance&) = delete;
        seance& operator=(const seance&) = delete;

    private:
        QPointer<guide> g_;
    };

    std::vector<donnees::chaine> chaines();
    // The channels' own logos, by channel number (those the update found).
    QHash<int, QByteArray> logos();
    std::map<int, donnees::sante_chaine> sante();
    // The date of the last complete update, none when never stamped.
    std::optional<date_heure> derniere_maj();
    // The catalogue of channels one can add ("modele").
    std::vector<donnees::entree_modele> catalogue();

    // One channel's rows of the day, in stored order, and their details by start.
    void parcourir_chaine(int chaine, const std::function<void(const donnees::ligne_liste&)>& f);
    QHash<qint64, details_programme> details_chaine(int chaine);
    // What the panel uses (see donnees::base_programmes::parcourir_panneau).
    void parcourir_panneau(
        int chaine, date_heure maintenant,
        const std::function<void(const donnees::ligne_liste&, qint64, std::optional<qint64>)>& f,
        const std::function<bool(const donnees::ligne_liste&)>& titre_utile);
    // A kept programme of any day, none when it is gone.
    std::optional<donnees::programme_semaine> programme(int chaine, date_heure hdeb);
    std::optional<details_programme> details(donnees::source_details source, int chaine, date_heure hdeb);
    std::vector<QStringList> categories(donnees::source_details source,
                                        std::span<const std::pair<int, date_heure>> cles);
    // The evening `soir` days after today, per channel of `chaines` in that order.
    std::vector<std::vector<ligne_panneau>> soirees(std::span<const int> chaines, date_heure maintenant,
                                                    int soir);
    // The last kept start, of the whole week or of some channels.
    std::optional<date_heure> dernier_debut_semaine();
    std::optional<date_heure> dernier_debut(std::span<const int> chaines);
    // The kept programmes on between `debut` and `fin`, details included.
    void parcourir_periode(date_heure debut, date_heure fin,
                           const std::function<void(const donnees::programme_semaine&)>& f);
    index_recherche index_de_recherche();
    // Several reads that must see one state of the file (a window's refill).
    void en_une_lecture(const std::function<void()>& lire);

    // What the windows keep of themselves (fenetres_changees).
    std::optional<QSize> taille_fenetre();
    void ecrire_taille_fenetre(QSize taille);
    std::optional<QRect> place_grille();
    void ecrire_place_grille(QRect place);
    // Whether the agent was offered once already; noting it (reglages_changes).
    bool agent_propose();
    void noter_agent_propose();

    // A channel added from the catalogue (chaines_changees when it is). `avant_annonce`
    // runs once it is in, before anyone hears of it: the dialog goes first.
    donnees::bilan_ajout ajouter_du_catalogue(const QString& nom, int num_image,
                                              const std::function<void()>& avant_annonce = {});
    // One channel, or all of them, removed with everything kept about them (their
    // programmes, week, health, logo, reminders) in one transaction, announced once.
    void retirer_chaine(int chaine);
    void vider_chaines();

    // Every reminder, removed ones included, in the order they were set.
    const std::vector<rappel>& rappels();
    // Whether a live reminder names the programme (channel, start as date_heure seconds).
    bool rappel_prevu(int chaine, qint64 debut);
    int minutes_avant();
    QStringList mots_favoris();

    // "Me prévenir" (`prevu` false) or "Ne plus me prévenir" on a kept programme of
    // any day. False when the programme is gone meanwhile: nothing changed.
    bool basculer_rappel(int chaine, qint64 debut, bool prevu);
    void ecrire_minutes_avant(int minutes);
    // The new words, and the reminders they give at once among the stored
    // programmes: how many reminders the words now hold. `dire` tells the user
    // that number before a reminder added is announced (rappel_ajoute may offer
    // the agent, which must come after).
    int ecrire_mots_favoris(const QStringList& mots, const std::function<void(int)>& dire = {});

    // Reminders told (or dropped) noted in the base; false when it stays busy
    // (`attendre`: a while, else not at all). Nothing a window shows changed:
    // nothing is announced, but the next read takes the base's.
    bool noter_rappels_dits(std::span<const qint64> ids, bool attendre);

    // The update runs as the windows see them, one for the program: whether one
    // goes, and the status line's sentence, kept while the main window is
    // closed. Each change is announced (etat_maj_change).
    bool maj_en_cours() const { return maj_en_cours_; }
    statut_maj statut() const { return statut_; }
    QString texte_etat() const { return texte_statut(statut_); }
    void definir_statut(statut_maj s);
    // A run starts, then ends: the code that runs it calls both, whatever way it
    // ends. After a run that may have written programmes (`programmes_ecrits`),
    // the reminders follow their programmes and the favourite words add theirs;
    // then health, programmes, logos and reminders are announced. Never throws:
    // reminders that cannot be adjusted now wait for the next run.
    void commencer_maj();
    void finir_maj(bool programmes_ecrits) noexcept;

Q_SIGNALS:
    // Channels added or removed (their programmes with them).
    void chaines_changees();
    void programmes_changes();
    void sante_changee();
    void rappels_changes();
    void mots_changes();
    // The reminder setting (minutes before the start).
    void reglages_changes();
    // The user set a reminder, by hand or through words (after rappels_changes).
    void rappel_ajoute();
    // The main window's size or the grid's place.
    void fenetres_changees();
    // A run gave channels their logos or their names on air.
    void logos_changes();
    // maj_en_cours or the status line's sentence.
    void etat_maj_change();

private:
    // The session's connection, or one for this read alone. Holders keep it
    // alive past the session's end.
    std::shared_ptr<donnees::base_programmes> connexion();
    // Channels gone: their reminders went with them.
    void annoncer_chaines();

    contexte& ctx_;
    int seances_ = 0;
    std::shared_ptr<donnees::base_programmes> base_seance_;
    std::optional<std::vector<rappel>> rappels_;
    std::optional<int> minutes_;
    std::optional<QStringList> mots_;
    bool maj_en_cours_ = false;
    statut_maj statut_ = statut_maj::aucun;
};

// The guide the program's windows share (set by the shell in the context).
guide& guide_de(contexte& ctx);

} // namespace zapo::modele
