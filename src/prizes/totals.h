#pragma once

#include <QString>

// The four totals of the "Bilan" group, recomputed from the counts of the day
// and the tariffs.

namespace prizes {

struct Totals
{
    int receipts = 0;   // whole euros, cents dropped
    int costs = 0;      // whole euros, truncated
    float blacks = 0;   // euros, fraction kept
    int pool = 0;       // whole euros, may be negative
};

Totals computeTotals(int bets, int blacks, double betPrice, double blackPrice, int costPercent);

// The field texts: the number, a space and the euro sign.
struct TotalsTexts
{
    QString receipts;
    QString costs;
    QString blacks;
    QString pool;
};

TotalsTexts totalsTexts(const Totals &totals);

// The totals as the fields show them: what totalsTexts wrote, read back. An
// empty field, before any count, reads as 0.
Totals totalsFromTexts(const TotalsTexts &texts);

} // namespace prizes
