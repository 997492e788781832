#pragma once

#include "day/money.h"

#include <QDate>
#include <QString>

#include <array>

// The cash box counted at the day's close, as the treasurer types it.

namespace day {

// Notes then coins, largest first, in cents: the order of every count below
// (billet500 … billet5, piece2e, piece1e, piece50c … piece1c).
constexpr int denominationCount = 15;
constexpr std::array<Cents, denominationCount> denominations = {
    50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10, 5, 2, 1};
constexpr int noteCount = 7; // the first seven are notes
// Counts past this were not typed: the spin boxes stop there.
constexpr int maxPieces = 9999;

// "Billet de 500 €", "Pièce de 2 €", "Pièce de 50 c"; its value alone,
// "500 €", "50 c".
QString denominationName(int index);
QString denominationValue(int index);

struct CashCount
{
    Cents openingFloat = 0;    // fond de caisse
    Cents unclaimedPrizes = 0; // prix non réclamés, still in the box
    std::array<int, denominationCount> pieces{};
    Cents deposit = 0;         // remise en banque
    QString reason;            // motif of a difference
    QString countedBy;         // compté par
};

bool operator==(const CashCount &a, const CashCount &b);

// Notes alone, coins alone, and all of the count.
Cents notesTotal(const CashCount &count);
Cents coinsTotal(const CashCount &count);
Cents counted(const CashCount &count);

// What stays in the box for the next day: counted − deposit.
Cents floatKept(const CashCount &count);

// A count typed for a day, not printed yet.
struct CountOfDay
{
    QDate day;
    CashCount count;
};
bool operator==(const CountOfDay &a, const CountOfDay &b);

} // namespace day
