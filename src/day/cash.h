#pragma once

#include "day/cashcount.h"
#include "day/sheets.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class FileReplacement;

// The day's cash against its sheets, and caisse.csv, its book beside the
// journal: one row per printed day statement, never rewritten.

namespace day {

// Float + receipts − blacks − prizes + prizes not collected. Nothing when
// any prize of the day is unknown.
std::optional<Cents> expected(const CashCount &count, const Totals &day);
// Counted − expected, signed: positive when the box holds more.
std::optional<Cents> difference(const CashCount &count, const Totals &day);

// One printed day statement, as caisse.csv keeps it.
struct CashRecord
{
    int number = 0;     // n° within its date: 1, 2…
    QDateTime closed;   // its date is the day accounted for; to the minute, as written (csv::asWritten)
    CashCount count;
    std::optional<Cents> expected; // nothing: prizes unknown
    Cents counted = 0;
    std::optional<Cents> difference;
};

// The record of closing `date`'s account with `count` at `closed` (its
// time; the date is `date`). Number 0: the book gives it when appended.
CashRecord closing(const CashCount &count, const Totals &day, const QDate &date, const QDateTime &closed);

// caisse.csv's first row, with its line end.
QByteArray cashHeaderRow();
// The record's row, with its line end.
QByteArray cashRow(const CashRecord &record);

// Every record of a whole book, in the file's order. Nothing when `book` is
// not one this program wrote (another shape, a row cut short, amounts that
// do not agree with the counts, numbers out of turn); `refused` then says
// why in French, naming the line. An empty `book` holds none.
std::optional<QList<CashRecord>> parseCashBook(const QByteArray &book, QString *refused = nullptr);

// The book once `record` is appended with the next number of its date (set
// in `record`): every byte of `book` kept. Empty `book` starts a new one.
// Nothing, with the reason, when `book` is not the program's.
std::optional<QByteArray> appended(const QByteArray &book, CashRecord &record, QString *refused = nullptr);

// How many records `date` has, plus one.
int nextNumber(const QList<CashRecord> &records, const QDate &date);
// The last record of `date`: the count to show again when it is chosen.
std::optional<CashRecord> lastOf(const QList<CashRecord> &records, const QDate &date);
// The count `date` starts from: its last record's, or, for a day not
// counted yet, none but the float that the last count before it kept, as a
// cash book carries it from day to day.
CashCount startingCount(const QList<CashRecord> &records, const QDate &date);

// Beside journal.csv.
QString cashFileName();

// Every record of the book at `fileName` (none when there is no file).
// False, with the French reason naming the file and the line, when it is
// not the program's book.
bool readCashBook(const QString &fileName, QList<CashRecord> *records, QString *error);

// Appends `record` to the book at `fileName`, numbered (set in `record`),
// whole or nothing, under the lock of the journal at `journalName`. False,
// with the French reason, when the book is left as it was; a book that is
// not the program's is never written over.
bool appendToCashBook(const QString &fileName, const QString &journalName, CashRecord &record, QString *error);

// What carries the record's number, written with it as one step: under the
// same lock, once the record has its number, `write` writes it (the
// statement), answering false, with why, to stop; `takeBack` removes it when
// the book could not be written after all. A number is only ever used by a
// record whose statement was written whole.
struct Numbered
{
    std::function<bool(const CashRecord &record, QString *why)> write;
    std::function<void(const CashRecord &record)> takeBack;
};

// The same, written through `file` (tests stand in a disk that fills), with
// what carries its number.
bool appendToCashBook(const QString &fileName, FileReplacement &file, const QString &journalName, CashRecord &record,
                      QString *error, const Numbered &numbered = {});

} // namespace day
