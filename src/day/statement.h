#pragma once

#include "day/cash.h"
#include "day/sheets.h"
#include "report/paper.h"

#include <QList>
#include <QString>

// The day's and the season's statements, as paper: the club's crest and
// name on top, then what a treasurer and an auditor read and sign.

namespace day {

// "bilan_2026-12-10_n2.pdf", the day's statement n° 2, never written over by
// another; "bilan_saison_2026-2027.pdf", the season holding `date`, made
// anew each time: relative, no spaces.
QString dayStatementFileName(const QDate &date, int number);
QString seasonStatementFileName(const QDate &date);

// What heads every statement.
struct Heading
{
    QString crestPath;
    QString club;
};

// "Bilan de la journée du jeudi 10 décembre 2026", its n° and what it
// replaces; each shoot of the day on its line, with the receipts and costs
// its sheet printed beside the exact cents; what the club keeps, its costs
// apart from what rounding and the fraction honteux leave; the cash box of
// `record` (its date is the day), notes and coins side by side, what it
// should hold and what it holds; the deposit and the float kept; who
// counted, the closing time and two signature lines. `daySheets`: that day's
// sheets alone; with none it is the statement of the cash box alone.
paper::Document dayStatement(const Heading &heading, const QList<Sheet> &daySheets, const CashRecord &record);

// "Bilan de la saison 2026-2027" for the season holding `date`: per day with
// a sheet or a record, its sheets, bets, receipts, blacks, prizes, what the
// club kept, the float, counted cash, deposit and difference of its last
// record, with what an auditor must know (counted before its last sheet, no
// count, a float other than the one kept before); then the season's totals.
// `sheets` and `records` may hold any days.
paper::Document seasonStatement(const Heading &heading, const QDate &date, const QList<Sheet> &sheets,
                                const QList<CashRecord> &records);

} // namespace day
