#pragma once

#include "prizes/prizefigures.h"

// What a prize list made by "Calculer" pays, and the figures it was made
// for: the journal records the one, the print checks the other.

namespace prizes {

// What the list shares out.
struct ListAmounts
{
    qint64 mainPrizes = 0;   // sum of the main prizes
    qint64 minimumGains = 0; // places paid the minimum gain, times that gain
    float leftover = 0;      // "Fraction honteux"
};

struct ComputedList
{
    PrizeFigures figures;
    ListAmounts amounts;
};

ComputedList computedList(const PrizeFigures &figures, const Distribution &list);

} // namespace prizes
