#pragma once

#include <QLoggingCategory>

// Messages of start-up and of the tray agent; warnings by default.
Q_DECLARE_LOGGING_CATEGORY(zapo_coquille)
