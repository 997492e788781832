#pragma once

#include "prizes/distribution.h"

#include <QList>

// Everything "Calculer" shares out from, as the window shows it: the same
// figures always give the same prize list.

namespace prizes {

struct PrizeFigures
{
    int pool = 0; // "Somme des prix distribués", read as poolFromText reads it
    PrizeMode mode = PrizeMode::Percentage;
    QList<int> values; // the settings of the prizes in use, place 1 first
    int minimumGain = 0;
    bool roundToFive = false;
    // The bow category the list is for: shares nothing out, but a list
    // computed for one category is no list for another.
    QString category;
};

bool operator==(const PrizeFigures &a, const PrizeFigures &b);

// The main prizes, then the minimum gain for as many further places as the
// rest allows. Percentage shares are rounded by the rounding choice; fixed
// amounts are taken as they are.
Distribution distribute(const PrizeFigures &figures);

} // namespace prizes
