#include "prizes/prizefigures.h"

#include "prizes/rounding.h"

namespace prizes {

bool operator==(const PrizeFigures &a, const PrizeFigures &b)
{
    return a.pool == b.pool && a.mode == b.mode && a.values == b.values && a.minimumGain == b.minimumGain
        && a.roundToFive == b.roundToFive;
}

bool operator!=(const PrizeFigures &a, const PrizeFigures &b)
{
    return !(a == b);
}

Distribution distribute(const PrizeFigures &figures)
{
    const bool five = figures.roundToFive;
    return distribute(figures.pool, figures.mode, figures.values, figures.minimumGain,
                      [five](float amount) { return roundAmount(amount, five); });
}

} // namespace prizes
