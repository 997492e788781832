#include "prizes/prizefigures.h"

#include "prizes/rounding.h"

namespace prizes {

bool operator==(const PrizeFigures &a, const PrizeFigures &b)
{
    return a.pool == b.pool && a.mode == b.mode && a.values == b.values && a.minimumGain == b.minimumGain
        && a.roundToFive == b.roundToFive && a.category == b.category;
}

Distribution distribute(const PrizeFigures &figures)
{
    Distribution d;
    d.mode = figures.mode;
    d.pool = float(figures.pool);
    d.minimumGain = figures.minimumGain;

    d.prizes.reserve(figures.values.size());
    for (int value : figures.values) {
        const int amount =
            d.mode == PrizeMode::Percentage ? roundAmount(d.pool * value / 100, figures.roundToFive) : value;
        d.prizes.append({value, amount});
        d.total = saturate(qint64(d.total) + amount);
    }

    d.remainder = d.pool - d.total;
    // A minimum gain of 0 pays nobody: the whole remainder is left over.
    d.count = d.minimumGain == 0 ? 0 : truncateToInt(double(d.remainder / d.minimumGain));
    d.firstPlace = saturate(qint64(d.prizes.size()) + 1);
    d.lastPlace = saturate(qint64(d.firstPlace) + d.count - 1);
    d.leftover = d.remainder - float(qint64(d.minimumGain) * d.count);
    return d;
}

} // namespace prizes
