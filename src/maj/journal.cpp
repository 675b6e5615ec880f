#include "maj/journal.h"

Q_LOGGING_CATEGORY(zapo_maj, "zapo.maj", QtWarningMsg)
