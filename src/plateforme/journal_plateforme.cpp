#include "plateforme/journal_plateforme.h"

Q_LOGGING_CATEGORY(zapo_plateforme, "zapo.plateforme", QtWarningMsg)
Q_LOGGING_CATEGORY(zapo_reseau, "zapo.reseau", QtWarningMsg)
