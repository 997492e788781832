#pragma once

#include "journal/journal.h"
#include "prizes/prizefigures.h"
#include "prizes/totals.h"
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
    QString poolText;             // "Somme des prix distribués" as shown, for the sheet
    prizes::Totals bilan;         // the "Bilan" as shown
    prizes::PrizeFigures figures; // what "Calculer" would share out now
};

SheetContent sheetContent(const DayFigures &day, const QString &prizeListHtml);

// The journal's row of the sheet printed at `printed`. Its prize amounts are
// those of the list "Calculer" made for `listFor`, which the sheet shows
// (nothing when no "Calculer" made it); its other amounts are the "Bilan".
journal::Entry journalEntry(const DayFigures &day, const std::optional<prizes::PrizeFigures> &listFor,
                            bool listModified, const QDateTime &printed);
