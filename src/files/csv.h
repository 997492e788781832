#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <deque>

#include <functional>
#include <optional>

// The CSV shape of the program's files, which a French spreadsheet opens as
// it is: UTF-8 with a byte-order mark, ";" between fields, CRLF, fields
// quoted only where they hold ";", '"' or a line end.

namespace csv {

extern const char byteOrderMark[]; // "\xEF\xBB\xBF"
extern const char lineEnd[];       // "\r\n"

// `text` as one field: quoted only where a spreadsheet would otherwise split
// or cut it.
QString field(const QString &text);

// The fields joined into one row, with its line end, in UTF-8.
QByteArray row(const QStringList &fields);

// One row's fields as bytes, read where they stand in the file: only a
// quoted field is copied, to undo its quotes.
class Fields
{
public:
    qsizetype size() const { return views.size(); }
    QByteArrayView operator[](qsizetype i) const { return views[i]; }
    // The field as text (UTF-8).
    QString text(qsizetype i) const { return QString::fromUtf8(views[i]); }

private:
    friend bool readRow(const QByteArray &bytes, qsizetype &at, Fields &fields);
    QVarLengthArray<QByteArrayView, 32> views;
    std::deque<QByteArray> unquoted; // where the quoted fields' views point
};

// The fields of the row at `at`, which moves past its line end. False when
// the bytes there are no row of this shape (a quote left open, a bare quote
// or LF, a missing CRLF: a row cut short ends so).
bool readRow(const QByteArray &bytes, qsizetype &at, Fields &fields);

// What a file of rows is: its header row (with its line end), how many
// fields each row has, and how its refusals name it ("du journal",
// "du journal de Prix général").
struct Book
{
    QByteArray header;
    int fieldCount = 0;
    QString rowsOf;
    QString headerOf;
};

// Reads a whole file of `book`'s shape: the mark, the header, then each row,
// whose fields and bytes (line end included) go to `take`, which answers
// why it refuses them, or nothing. Empty when every row was taken; else why
// not, naming the line (the header is line 1): "ligne 7 : 16 champs au lieu
// de 17". An empty file has no row.
//
// `plain`, when given, is offered first each row with no quote (its bytes
// before the CRLF): it answers as `take` does, or nothing when it leaves the
// row to `take`.
using RowTaker = std::function<QString(const Fields &fields, QByteArrayView bytes)>;
using PlainRowTaker = std::function<std::optional<QString>(QByteArrayView row)>;
QString readBook(const QByteArray &bytes, const Book &book, const RowTaker &take, const PlainRowTaker &plain = {});

// The same, for a large file: the rows of its second half are read on a
// thread of their own, by `second`'s takers, while this one reads the first
// half's with `first`'s. `secondAfter` is then the line before the second
// half's first row; it is -1 when `first` read every row (a quoted field
// held the cut, or the file is small), and what `second` took is to be
// thrown away. The answer names the first refused line of the whole file.
struct Takers
{
    RowTaker take;
    PlainRowTaker plain;
};
QString readBookInTwo(const QByteArray &bytes, const Book &book, const Takers &first, const Takers &second,
                      qsizetype *secondAfter);

// "ligne 7 : why", as every refusal of a row reads.
QString onLine(qsizetype line, const QString &why);

// The shapes of the fields the program writes, checked by hand on the
// bytes: a regular expression per field made the checks most of the time a
// season took to read. Digits are ASCII only.
bool isWhole(QByteArrayView field);   // -?\d+
bool isCents(QByteArrayView field);   // -?\d+,\d\d
bool isGeneral(QByteArrayView field); // -?\d+(,\d+)?(e[+-]\d+)?
bool isDate(QByteArrayView field);    // \d{4}-\d\d-\d\d
bool isTime(QByteArrayView field);    // \d\d:\d\d

// A whole number of that shape, when it fits 64 bits.
std::optional<qint64> wholeOf(QByteArrayView field);
// A field of those shapes as a date or a time; invalid when it is none
// (2026-02-31, 24:00).
QDate dateOf(QByteArrayView field);
QTime timeOf(QByteArrayView field);

// A row's date and time as written, with no time zone to convert from: a
// local time would ask the system's zone for every row, and move or refuse
// a time that a change to summer time skips.
QDateTime asWritten(const QDate &date, const QTime &time);

} // namespace csv
