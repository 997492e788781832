#pragma once

#include "day/cash.h"
#include "day/sheets.h"

#include <QList>
#include <QString>

// The day's and the season's statements as HTML pages for QTextDocument,
// with the club's crest on top as on a prize sheet.

namespace day {

// "bilan_2026-12-10_n2.pdf", the day's statement n° 2, never written over by
// another; "bilan_saison_2026-2027.pdf", the season holding `date`, made
// anew each time: relative, no spaces.
QString dayStatementFileName(const QDate &date, int number);
QString seasonStatementFileName(const QDate &date);

// "Bilan de la journée du jeudi 10 décembre 2026", n° and what it replaces,
// the sheets of that day and their totals, what the club keeps, the cash box
// of `record` (its date is the day), the deposit, who counted, the closing
// time and two signature lines. `daySheets`: that day's sheets alone; with
// none it is the statement of the cash box alone.
QString dayStatementHtml(const QString &crestPath, const QList<Sheet> &daySheets, const CashRecord &record);

// "Bilan de la saison 2026-2027" for the season holding `date`: one line per
// day with a sheet or a record (counted and difference from that day's last
// record) and the season's totals. `sheets` and `records` may hold any days.
QString seasonStatementHtml(const QString &crestPath, const QDate &date, const QList<Sheet> &sheets,
                            const QList<CashRecord> &records);

} // namespace day
