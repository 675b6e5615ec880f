#include "coquille/journal_coquille.h"

Q_LOGGING_CATEGORY(zapo_coquille, "zapo.coquille", QtWarningMsg)
