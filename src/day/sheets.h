#pragma once

#include "day/money.h"
#include "journal/journal.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The day's account: the printed sheets of the journal, in exact cents.

namespace day {

// One printed sheet, as its journal row tells it.
struct Sheet
{
    QDateTime printed; // as the journal writes it: to the minute, no zone (journal::parse)
    QString category;
    QString file;      // the shoot's own sheet, the row's "Feuille": read for a list typed by hand (the key of its prizes)
    int bets = 0;
    int blacksPaid = 0;
    Cents betTariff = 0;
    Cents blackTariff = 0;
    Cents receipts = 0;          // bets × bet tariff (not the row's whole euros)
    Cents blacks = 0;            // blacks paid × black tariff
    // As the sheet's "Bilan" printed them, and the journal keeps them: whole euros.
    int sheetReceipts = 0;
    int sheetCosts = 0;
    // Main prizes + minimum gains of the list "Calculer" made; for a list
    // typed by hand, what the treasurer typed as paid (prizesTyped), or
    // nothing until then.
    std::optional<Cents> prizes;
    bool prizesTyped = false;

    // Receipts − blacks − prizes: the costs plus what rounding and the
    // leftover leave. Nothing when the prizes are unknown.
    std::optional<Cents> kept() const;
    // Whether its list was typed by hand: its prizes are the treasurer's to say.
    bool handTyped() const { return !prizes || prizesTyped; }
};

} // namespace day
// Made of values Qt moves as bytes: a list of twenty seasons grows by memmove.
Q_DECLARE_TYPEINFO(day::Sheet, Q_RELOCATABLE_TYPE);
namespace day {

// Counts and tariffs past these were never printed by the program; with
// them, any season's sums stay far inside 64 bits.
constexpr int maxCount = 1000000;
constexpr Cents maxTariff = 100000000;   // 1 000 000 €
constexpr qint64 maxPrizeEuros = 1000000000000; // per sheet

// The sheet of a journal entry. Nothing, with the French reason, when a
// count, a tariff or a prize is negative or past the limits above.
std::optional<Sheet> sheetOf(const journal::Entry &entry, QString *refused = nullptr);

// Every sheet of the journal at `fileName` (none when there is no file).
// False, with the French reason naming the file and the line, when it is
// not the program's journal or holds a row no print makes.
bool readSheets(const QString &fileName, QList<Sheet> *sheets, QString *error);

// The sheets printed on `date`, in the journal's order.
QList<Sheet> sheetsOn(const QList<Sheet> &sheets, const QDate &date);

// What a set of sheets adds up to. Prizes and what the club kept add up the
// sheets whose prizes are known; `unknown` counts the others, whose prizes
// nobody has said yet: a sum with one of them is no whole figure.
struct Totals
{
    int sheets = 0;
    qint64 bets = 0;
    qint64 blacksPaid = 0;
    Cents receipts = 0;
    Cents blacks = 0;
    Cents prizes = 0;
    Cents kept = 0;
    Cents sheetCosts = 0; // the costs the sheets' "Bilan" printed, in cents
    int unknown = 0;

    bool prizesKnown() const { return unknown == 0; }
};
Totals totalsOf(const QList<Sheet> &sheets);

// The days to choose from: `today` first (even before its first sheet), then
// every other day with a sheet or in `moreDays` (the cash book's), newest
// first, each once.
QList<QDate> days(const QList<Sheet> &sheets, const QDate &today, const QList<QDate> &moreDays = {});

// "jeudi 10 décembre 2026", "mardi 1er décembre 2026": as French writes a date.
QString dayName(const QDate &date);

// The season holding `date`: 1 September to 31 August.
QDate seasonStart(const QDate &date);
QString seasonName(const QDate &date); // "2026-2027"

} // namespace day
