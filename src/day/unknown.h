#pragma once

#include <QString>

// What stands where a figure depends on prizes nobody knows: those of a list
// typed by hand. Said here once for the window and the paper alike.

namespace day {

// In the day's table, for a sheet's or the day's prizes and what was kept.
QString unknownPrizesText();
// The cash the box should hold, on the tab.
QString unknownExpectedText();
// A difference, on the tab and on the season's lines.
QString unknownText();
// An amount on the day's statement, and the cash it expects.
QString unknownOnPaperText();
QString unknownExpectedOnPaperText();

// Where a day, or a whole season, has no count of the cash box: its
// difference is not zero, it is not known.
QString noCountText();

} // namespace day
