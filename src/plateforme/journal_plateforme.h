#pragma once

#include <QLoggingCategory>

// Messages of the Linux services, on standard error (so in the session's
// journal). Warnings by default; QT_LOGGING_RULES="zapo.*.debug=true" shows the rest.
Q_DECLARE_LOGGING_CATEGORY(zapo_plateforme) // folders, single instance, autostart
Q_DECLARE_LOGGING_CATEGORY(zapo_reseau)     // echo probe, HTTP, NetworkManager
