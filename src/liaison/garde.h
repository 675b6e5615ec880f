#pragma once

#include "noyau/contexte.h"

#include <QString>

#include <exception>
#include <new>
#include <optional>
#include <utility>

namespace zapo::liaison {

// Runs `f`; a failure comes back as its French text (our own errors carry
// French texts), nothing when `f` went through.
template <class F> std::optional<QString> attraper(F&& f) noexcept {
    try {
        f();
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Mémoire insuffisante pour terminer l'opération.");
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        if (!message.isEmpty())
            return message;
    } catch (...) {
    }
    return QStringLiteral("Une erreur inattendue est survenue.");
}

// Every event handler runs through this: a failure becomes a French message box
// titled "Zapo-TV" and the program goes on.
template <class F> bool garde(contexte& ctx, F&& f) noexcept {
    const std::optional<QString> message = attraper(std::forward<F>(f));
    if (!message)
        return true;
    try {
        if (ctx.boites)
            ctx.boites->afficher(QStringLiteral("Zapo-TV"), *message, icone_boite::critique);
    } catch (...) {
    }
    return false;
}

} // namespace zapo::liaison
