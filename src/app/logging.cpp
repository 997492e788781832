#include "app/logging.h"

Q_LOGGING_CATEGORY(lcPrizes, "prixgeneral.prizes")
Q_LOGGING_CATEGORY(lcSettings, "prixgeneral.settings")
