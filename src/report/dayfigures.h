#pragma once

#include "journal/journal.h"
#include "prizes/computedlist.h"
#include "report/sheet.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What one "Imprimer" reads from the window, once: the check of the prize
// list, the sheet and the journal's row are all made from this one value,
// so they cannot tell three stories.
struct DayFigures
{
    QString crestPath;
    QString category;
    int bets = 0;
    int blacksPaid = 0;
    double betPrice = 0;
    double blackPrice = 0;
    int costPercent = 0;
    // The "Bilan" as shown; its pool is figures.pool. Before any count the
    // fields are empty, and so is the sheet's pool.
    bool totalsShown = false;
    int receipts = 0;
    int costs = 0;
    float blacks = 0;
    prizes::PrizeFigures figures; // what "Calculer" would share out now
};

SheetContent sheetContent(const DayFigures &day, const QString &prizeListHtml);

// The journal's row of the sheet printed at `printed`. Its prize amounts are
// those of `list`, which the sheet shows (nothing when no "Calculer" made
// it); its other amounts are the "Bilan". `listModified`: the printed list
// is another one than "Calculer" makes from the printed figures.
journal::Entry journalEntry(const DayFigures &day, const std::optional<prizes::ComputedList> &list, bool listModified,
                            const QDateTime &printed);
