#pragma once

#include <QtGlobal>

// Whole euros from the amounts the prize arithmetic works with.

namespace prizes {

// Toward zero, like a plain cast, but never undefined: NaN gives 0 and values
// beyond int saturate at its limits.
int truncateToInt(double value);

// A whole-number sum as an int: beyond int it saturates instead of wrapping
// around (undefined behaviour) on settings far beyond any real pool.
int saturate(qint64 value);

// Halves away from zero, with the same saturation as truncateToInt.
int roundToInt(double value);

// The prize rounding: nearest euro (halves away from zero), or, with
// fiveEuros, a multiple of five built on a nearest euro whose halves go down.
int roundAmount(float amount, bool fiveEuros);

} // namespace prizes
