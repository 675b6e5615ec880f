#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace zapo::inline noyau {

// The four options, in file order.
struct valeurs_options {
    bool opt_majauto = false;
    bool opt_connexion = false;
    bool opt_deconnexion = false;
    bool opt_agent = false;
    bool operator==(const valeurs_options&) const = default;
};

// Reads the first four fields of config.ini. A field ends at a line end or a comma;
// "#TRUE#" / "#FALSE#" or a number (non-zero is true). Empty when a field is missing
// or is not a truth value: that is a first run.
std::optional<valeurs_options> lire_options(QByteArrayView contenu);

// Exactly four lines of "#TRUE#" / "#FALSE#", each ended by CR LF.
QByteArray ecrire_options(const valeurs_options& v);

} // namespace zapo::inline noyau
