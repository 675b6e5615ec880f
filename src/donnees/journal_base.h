#pragma once

#include <QLoggingCategory>

// Messages about the database and the option file; warnings by default.
Q_DECLARE_LOGGING_CATEGORY(zapo_base)
