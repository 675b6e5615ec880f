#pragma once

#include "noyau/fiche_programme.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QTemporaryFile;

namespace zapo::inline noyau {
class horloge;
class lecture_xmltv_differee;
struct chaine_voulue;
} // namespace zapo::inline noyau
namespace zapo::plateforme {
class telechargeur;
struct page_telechargee;
} // namespace zapo::plateforme

namespace zapo::maj {

// Fetches and reads channels' schedules for one update run. One instance per run.
class recuperateur {
public:
    explicit recuperateur(const horloge& h);
    ~recuperateur();

    // Transfer time-out (60 s for the program; tests shorten it).
    void definir_delai(int millisecondes) { delai_ms_ = millisecondes; }
    // Called with 80 when a non-empty page has arrived (the "Opération en cours" bar).
    void definir_progression(std::function<void(int)> f) { progres1_ = std::move(f); }

    // The validators of the document a channel's rows were read from.
    struct validateurs {
        QByteArray etag;
        QByteArray modifie_le;
        bool operator==(const validateurs&) const = default;
    };

    // Announces a channel of the run before the fetches start, so that a feed
    // shared by several channels keeps only what those channels need. The
    // address is asked conditionally only when every channel of it holds rows
    // read from the same copy (`tenus`, the same for all).
    void prevoir(const QString& adresse, const QString& nom, const validateurs* tenus = nullptr);

    // Fetches `adresse` and cuts it into programmes. False when the transfer
    // failed or the answer gave the channel no programme for the kept period:
    // the run then shows "ECHEC " and the name.
    // An XMLTV document (plain or gzip) is recognised by its content; the
    // address's fragment then names the channel in it. Within one run an address
    // (without its fragment) is downloaded and read once, whatever the channels.
    bool recup_programmes(const QString& adresse);

    const std::vector<fiche_programme>& programmes_lus() const { return programmes_lus_; }
    // The icon address the feed gives for the channel of the last successful
    // fetch (made absolute against the feed's); empty for a page or without one.
    const QString& icone_lue() const { return icone_lue_; }
    int nb_programmes() const { return int(programmes_lus_.size()); }
    // The week read with them (a feed's eight days; a schedule page's rows as they are).
    const std::vector<fiche_programme>& semaine_lue() const { return semaine_lue_; }
    // The server said the document had not changed since the channel's rows were
    // read (304): nothing was read, the caller takes them again from what it kept.
    bool inchangee() const { return inchangee_; }
    // The validators of the document of the last successful fetch (none after a 304),
    // and whether it was an XMLTV feed.
    const validateurs& validateurs_lus() const { return validateurs_lus_; }
    bool flux_lu() const { return flux_lu_; }
    // The feed gave nothing after the channel's week: a later day's 304 loses nothing.
    bool semaine_entiere() const { return semaine_entiere_; }
    // Why the last fetch failed (French); empty after a success.
    const QString& derniere_erreur() const { return erreur_; }

    // Ends the fetch in progress as a failure (the window is going away).
    void interrompre();

    // A channel's logo: http or https only, at most `taille_max` bytes, `duree_ms`
    // at most (silences shorter still); conditional when validators are given.
    plateforme::page_telechargee recup_logo(const QString& adresse, const QByteArray& etag,
                                            const QByteArray& modifie_le, qsizetype taille_max, int duree_ms);

private:
    // What one address gave during this run: never the body, only what was read
    // from it (a feed's channels wait in a temporary file, read back one at a time).
    struct document {
        bool reussi = false;
        QString erreur;
        std::vector<fiche_programme> programmes;      // a schedule page's
        std::shared_ptr<QTemporaryFile> debord;       // a feed's programmes, set aside
        std::shared_ptr<lecture_xmltv_differee> flux; // set when the body is XMLTV
        bool inchange = false;                        // answered 304
        validateurs valid;
    };
    // Per address without fragment: the copy every channel of it holds, if they hold one.
    struct conditions {
        validateurs v;
        bool communes = false;
    };
    const document& obtenir(const QString& cle, const QString& adresse);
    void lire_corps(document& d, std::unique_ptr<QTemporaryFile> corps, const QByteArray& type_contenu,
                    const QString& cle, const QString& adresse);

    const horloge& horloge_;
    QHash<QString, document> documents_;
    QHash<QString, std::vector<chaine_voulue>> voulues_; // per address without fragment
    QHash<QString, conditions> conditions_;
    int delai_ms_ = 60000;
    std::function<void(int)> progres1_;
    std::vector<fiche_programme> programmes_lus_;
    QString icone_lue_;
    std::vector<fiche_programme> semaine_lue_;
    bool inchangee_ = false;
    validateurs validateurs_lus_;
    bool flux_lu_ = false;
    bool semaine_entiere_ = false;
    QString erreur_;
    std::unique_ptr<plateforme::telechargeur> telechargeur_;
};

} // namespace zapo::maj
