#pragma once

#include <QString>

// How amounts are written in the fields and in the prize list.

namespace prizes {

// " €": the unit after every amount shown in a field.
QString euroSuffix();

// General format, six significant digits: 300, 2.5, -12, 1e+06.
QString amountText(double amount);

} // namespace prizes
