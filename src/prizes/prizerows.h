#pragma once

#include "prizes/distribution.h"

#include <array>

class QSpinBox;
struct MainWindowForm;

// The five prize rows of the settings tab, kept consistent with the number of
// prizes and the prize type. Used by the prize slots and the settings loader.

namespace prizes {

std::array<QSpinBox *, maxPrizes> prizeValueBoxes(const MainWindowForm &form);

// " €" for fixed amounts, " %" for percentages, on all five boxes.
void setPrizeUnit(const MainWindowForm &form, bool fixedAmounts);

// Rows 1 to count shown, the others hidden; hidden rows keep their values.
void showPrizeRows(const MainWindowForm &form, int count);

} // namespace prizes
