#include "donnees/journal_base.h"

Q_LOGGING_CATEGORY(zapo_base, "zapo.base", QtWarningMsg)
