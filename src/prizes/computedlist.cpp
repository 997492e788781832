#include "prizes/computedlist.h"

namespace prizes {

ComputedList computedList(const PrizeFigures &figures, const Distribution &list)
{
    return {figures, {list.total, qint64(list.minimumGain) * list.count, list.leftover}};
}

} // namespace prizes
