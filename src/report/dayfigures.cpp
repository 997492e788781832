#include "report/dayfigures.h"

#include "prizes/amounttext.h"

SheetContent sheetContent(const DayFigures &day, const QString &prizeListHtml)
{
    const QString pool = day.totalsShown ? QString::number(day.figures.pool) + prizes::euroSuffix() : QString();
    return {day.crestPath, day.category, pool, day.bets, day.blacksPaid, prizeListHtml};
}

journal::Entry journalEntry(const DayFigures &day, const std::optional<prizes::ComputedList> &list, bool listModified,
                            const QDateTime &printed)
{
    journal::Entry entry;
    entry.printed = printed;
    entry.category = day.category;
    entry.bets = day.bets;
    entry.betPrice = day.betPrice;
    entry.receipts = day.receipts;
    entry.costPercent = day.costPercent;
    entry.costs = day.costs;
    entry.blacksPaid = day.blacksPaid;
    entry.blackPrice = day.blackPrice;
    entry.blacks = day.blacks;
    entry.pool = day.figures.pool;
    if (list)
        entry.list = list->amounts;
    entry.listModified = listModified;
    entry.sheet = sheetFileName(day.category);
    return entry;
}
