#pragma once

#include <QLoggingCategory>

// The update run's messages: which rule found each channel in a feed, and why a
// fetch failed. Only warnings show unless QT_LOGGING_RULES asks for more.
Q_DECLARE_LOGGING_CATEGORY(zapo_maj)
