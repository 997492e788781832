#pragma once

#include <QLoggingCategory>

// Trace output of the program; silence it with QT_LOGGING_RULES="prixgeneral.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcPrizes)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
