#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// The fields of the row at `at`, which moves past its line end. Nothing when
// the bytes there are no row of this shape (a quote left open, a bare quote
// or LF, a missing CRLF: a row cut short ends so).
std::optional<QStringList> readRow(const QByteArray &bytes, qsizetype &at);

} // namespace csv
