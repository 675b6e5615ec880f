#pragma once

#include "noyau/contexte.h"
#include "noyau/rappels.h"

#include <QObject>
#include <QStringList>

#include <optional>
#include <vector>

namespace zapo::modele {

// The guide as the windows see it, without a window: they read through it and
// listen to what it says changed. What several of them ask again and again (the
// reminders, their setting, the favourite words) is read from the base once per
// change. Changes made outside it (a run, a channel added or removed, the
// channels' health) are announced to it by whoever made them.
class guide : public QObject {
    Q_OBJECT
public:
    explicit guide(contexte& ctx, QObject* parent = nullptr);

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
    // programmes: how many reminders the words now hold. The caller tells the
    // user first, then announces a reminder added when there is one.
    int ecrire_mots_favoris(const QStringList& mots);
    void annoncer_rappel_ajoute();

    // After a run: new programmes, and the reminders that followed them.
    void annoncer_programmes();
    // A channel added or removed, its programmes with it.
    void annoncer_chaines();
    void annoncer_sante();
    // The reminders changed in the base behind the guide (adjusted).
    void relire_rappels();
    // Reminders were noted as told: nothing a window shows changed, but the
    // next read takes the base's.
    void rappels_notes() { rappels_.reset(); }

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

private:
    contexte& ctx_;
    std::optional<std::vector<rappel>> rappels_;
    std::optional<int> minutes_;
    std::optional<QStringList> mots_;
};

// The guide the program's windows share (set by the shell in the context).
guide& guide_de(contexte& ctx);

} // namespace zapo::modele
