#pragma once

#include "prizes/distribution.h"

#include <QString>

namespace prizes {

// The debug trace of one "Calculer", under the prixgeneral.prizes category.
void traceBets(const QString &betsText);
void tracePool(const QString &poolText, float pool);
void traceDistribution(const Distribution &distribution, const QString &prizeList);

} // namespace prizes
