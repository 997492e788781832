#include "day/cashcount.h"

namespace day {

QString denominationValue(int index)
{
    const Cents value = denominations[size_t(index)];
    return value >= 100 ? QStringLiteral("%1\u00a0€").arg(value / 100) : QStringLiteral("%1\u00a0c").arg(value);
}

QString denominationName(int index)
{
    return (index < noteCount ? QStringLiteral("Billet de ") : QStringLiteral("Pièce de ")) + denominationValue(index);
}

bool operator==(const CashCount &a, const CashCount &b)
{
    return a.openingFloat == b.openingFloat && a.unclaimedPrizes == b.unclaimedPrizes && a.pieces == b.pieces
        && a.deposit == b.deposit && a.reason == b.reason && a.countedBy == b.countedBy;
}

bool operator==(const CountOfDay &a, const CountOfDay &b) { return a.day == b.day && a.count == b.count; }

Cents notesTotal(const CashCount &count)
{
    Cents sum = 0;
    for (int i = 0; i < noteCount; ++i)
        sum += count.pieces[size_t(i)] * denominations[size_t(i)];
    return sum;
}

Cents coinsTotal(const CashCount &count)
{
    Cents sum = 0;
    for (int i = noteCount; i < denominationCount; ++i)
        sum += count.pieces[size_t(i)] * denominations[size_t(i)];
    return sum;
}

Cents counted(const CashCount &count) { return notesTotal(count) + coinsTotal(count); }

Cents floatKept(const CashCount &count) { return counted(count) - count.deposit; }

} // namespace day
