#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Money the treasurer counts: whole cents, so that sums are exact.

namespace day {

using Cents = qint64;

// "1 234,50 €", "−12,30 €": a narrow no-break space (U+202F) between
// thousands, a decimal comma, a no-break space before "€", a minus sign
// (U+2212). Every cent value, the extremes of 64 bits included.
QString euros(Cents amount);

// "14 619": a count of bets or sheets, its thousands apart as in euros().
QString wholeNumber(qint64 value);

// "1234,50", "-12,30": the shape a French spreadsheet reads as a number,
// as in the program's CSV files.
QString csvAmount(Cents amount);
// Back from that shape; nothing for anything else.
std::optional<Cents> fromCsvAmount(const QString &text);
std::optional<Cents> centsOf(QByteArrayView field);

} // namespace day
