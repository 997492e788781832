#include "prizes/amounttext.h"

namespace prizes {

QString euroSuffix()
{
    return QStringLiteral(" ") + QChar(0x20AC);
}

QString amountText(double amount)
{
    return QString::number(amount, 'g', 6);
}

} // namespace prizes
