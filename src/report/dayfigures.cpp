#include "report/dayfigures.h"

SheetContent sheetContent(const DayFigures &day, const QString &prizeListHtml)
{
    return {day.crestPath, day.category, day.poolText, day.bets, day.blacksPaid, prizeListHtml};
}

journal::Entry journalEntry(const DayFigures &day, const std::optional<prizes::PrizeFigures> &listFor,
                            bool listModified, const QDateTime &printed)
{
    journal::Entry entry;
    entry.printed = printed;
    entry.category = day.category;
    entry.bets = day.bets;
    entry.betPrice = day.betPrice;
    entry.receipts = day.bilan.receipts;
    entry.costPercent = day.costPercent;
    entry.costs = day.bilan.costs;
    entry.blacksPaid = day.blacksPaid;
    entry.blackPrice = day.blackPrice;
    entry.blacks = day.bilan.blacks;
    entry.pool = day.bilan.pool;
    if (listFor) {
        const prizes::Distribution list = prizes::distribute(*listFor);
        entry.list = journal::ListAmounts{list.total, qint64(list.minimumGain) * list.count, list.leftover};
    }
    entry.listModified = listModified;
    entry.sheet = sheetFileName(day.category);
    return entry;
}
