#pragma once

#include "core/contexte.h"

#include <QString>

#include <exception>
#include <new>

namespace zapo::liaison {

// Every event handler runs through this: a failure becomes a French message box
// titled "Zapo-TV" and the program goes on. Our own errors carry French texts.
template <class F> bool garde(contexte& ctx, F&& f) noexcept {
    QString message;
    try {
        f();
        return true;
    } catch (const std::bad_alloc&) {
        message = QStringLiteral("Mémoire insuffisante pour terminer l'opération.");
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
        if (message.isEmpty())
            message = QStringLiteral("Une erreur inattendue est survenue.");
    } catch (...) {
        message = QStringLiteral("Une erreur inattendue est survenue.");
    }
    try {
        if (ctx.boites)
            ctx.boites->afficher(QStringLiteral("Zapo-TV"), message, icone_boite::critique);
    } catch (...) {
    }
    return false;
}

} // namespace zapo::liaison
