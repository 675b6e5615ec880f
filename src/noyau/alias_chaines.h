#pragma once

#include <QString>
#include <QStringList>

#include <span>
#include <vector>

// Channels that changed their id in a feed or their name on air: every id and
// name one channel has been known by, so that an older address still finds it.
namespace zapo::inline noyau {

struct alias_chaine {
    QStringList ids;  // the feed's current id first
    QStringList noms; // the name on air first
};

// Lines "id | id... = name | name...", the current ones first; '#' starts a comment.
// Malformed lines are skipped.
std::vector<alias_chaine> lire_alias_chaines(QStringView texte);

// The entry that knows this id, ignoring case; null when none does.
const alias_chaine* alias_de_chaine(std::span<const alias_chaine> alias, QStringView id);

// The name on air for a stored name, when the stored one is an older name of
// the channel (ignoring case, accents and punctuation): the program gave it,
// the user did not. Empty when the name is current or one of the user's own.
QString nom_a_jour_chaine(const alias_chaine& a, QStringView nom_stocke);

} // namespace zapo::inline noyau
