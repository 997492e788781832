#pragma once

#include "prizes/distribution.h" // maxPrizes

#include <array>

class QSpinBox;
struct MainWindowForm;

// The five prize rows of the settings tab, kept consistent with the number of
// prizes and the prize type.

std::array<QSpinBox *, prizes::maxPrizes> prizeValueBoxes(const MainWindowForm &form);

// " €" for fixed amounts, " %" for percentages, on all five boxes.
void setPrizeUnit(const MainWindowForm &form, bool fixedAmounts);

// Rows 1 to count shown, the others hidden; hidden rows keep their values.
void showPrizeRows(const MainWindowForm &form, int count);
