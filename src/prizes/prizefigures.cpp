#include "prizes/prizefigures.h"

namespace prizes {

bool operator==(const PrizeFigures &a, const PrizeFigures &b)
{
    return a.pool == b.pool && a.mode == b.mode && a.values == b.values && a.minimumGain == b.minimumGain
        && a.roundToFive == b.roundToFive;
}

} // namespace prizes
