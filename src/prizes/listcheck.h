#pragma once

#include "prizes/prizefigures.h"

#include <QString>

#include <optional>

// Whether the prize list in "Gain" still belongs under the figures the window
// shows, so that a sheet never prints one sum above a list that shares out
// another.

namespace prizes {

// Empty when the list is the one "Calculer" makes from `shown`; otherwise
// what differs, in French, one sentence a line, with the amounts.
// `computedFor` is empty before the first "Calculer". Typing names into a
// list that still matches is no mismatch; with one, it is said that
// recalculating replaces what was typed. A list `emptied` of all its text
// is no list at all.
QString listMismatch(const std::optional<PrizeFigures> &computedFor, const PrizeFigures &shown, bool typedInto,
                     bool emptied = false);

} // namespace prizes
