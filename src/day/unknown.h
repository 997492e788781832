#pragma once

#include "day/money.h"

#include <QString>
#include <QStringList>

// The one word for a figure that hangs on prizes nobody has said yet: those
// of a list typed by hand, until the treasurer types what was paid. The
// window and the paper say it alike, short enough for any field, with a
// note that says which sheets and what to do.

namespace day {

QString unknownText();         // "inconnu": a difference
QString unknownPrizesText();   // "inconnus": a sheet's prizes, and what it kept
QString unknownExpectedText(); // "inconnue": the cash the box should hold
// "360,00 € + ?": what the sheets known add up to, some not known.
QString partlyKnownText(Cents known);
// Which shoots' prizes are not known, and what to do about it.
QString unknownPrizesNote(const QStringList &shoots);

// Where a day, or a whole season, has no count of the cash box: its
// difference is not zero, it is not known.
QString noCountText();

} // namespace day
