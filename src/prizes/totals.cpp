#include "prizes/totals.h"

#include "prizes/amounttext.h"
#include "prizes/distribution.h"
#include "prizes/rounding.h"

namespace prizes {

Totals computeTotals(int bets, int blacks, double betPrice, double blackPrice, int costPercent)
{
    Totals totals;
    totals.blacks = float(blackPrice * blacks);

    // The price has two decimals, so work in whole cents: a binary product
    // such as 0.70 * 10 can land just below 7 and lose a euro on truncation.
    const qint64 cents = roundToInt(betPrice * 100.0);
    totals.receipts = saturate(cents * bets / 100);

    totals.costs = saturate(qint64(totals.receipts) * costPercent / 100);
    totals.pool = truncateToInt(double(qint64(totals.receipts) - totals.costs) - double(totals.blacks));
    return totals;
}

TotalsTexts totalsTexts(const Totals &totals)
{
    const QString euro = euroSuffix();
    return {
        QString::number(totals.receipts) + euro,
        QString::number(totals.costs) + euro,
        amountText(double(totals.blacks)) + euro,
        QString::number(totals.pool) + euro,
    };
}

Totals totalsFromTexts(const TotalsTexts &texts)
{
    Totals totals;
    totals.receipts = poolFromText(texts.receipts);
    totals.costs = poolFromText(texts.costs);
    totals.blacks = texts.blacks.section(QLatin1Char(' '), 0, 0).toFloat();
    totals.pool = poolFromText(texts.pool);
    return totals;
}

} // namespace prizes
