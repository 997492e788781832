#include "prizes/rounding.h"

#include <climits>
#include <cmath>

namespace prizes {

int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    // Compare before converting: an out-of-range cast is undefined behaviour.
    if (value <= double(INT_MIN))
        return INT_MIN;
    if (value >= double(INT_MAX))
        return INT_MAX;
    return int(value);
}

int saturate(qint64 value)
{
    return truncateToInt(double(value));
}

int roundToInt(double value)
{
    return truncateToInt(std::round(value));
}

int roundAmount(float amount, bool fiveEuros)
{
    if (!fiveEuros)
        return roundToInt(double(amount));

    // The 0.5f step is taken in single precision on purpose: exact halves
    // must go down (12.5 -> 12 -> 10), unlike the whole-euro rule.
    const int n = truncateToInt(std::ceil(double(amount - 0.5f)));
    if (n == 0)
        return 0;
    const int r = n % 5; // sign of n, so negative amounts move toward zero
    // Neither branch can overflow: r <= 2 never moves away from zero past n,
    // and r >= 3 only happens for positive n and adds at most 2.
    return r <= 2 ? n - r : n - r + 5;
}

} // namespace prizes
