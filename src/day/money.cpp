#include "day/money.h"

#include "files/csv.h"

namespace day {

namespace {

// The magnitude as unsigned, so that the most negative value has one too.
quint64 magnitude(Cents amount) { return amount < 0 ? 0 - quint64(amount) : quint64(amount); }

QString digits(quint64 cents, const QString &thousands)
{
    QString whole = QString::number(cents / 100);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, thousands);
    return whole + QLatin1Char(',') + QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

QString euros(Cents amount)
{
    const QString sign = amount < 0 ? QStringLiteral("\u2212") : QString();
    return sign + digits(magnitude(amount), QStringLiteral("\u202f")) + QStringLiteral("\u00a0€");
}

QString wholeNumber(qint64 value)
{
    QString digits = QString::number(value < 0 ? 0 - quint64(value) : quint64(value));
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QChar(0x202f));
    return (value < 0 ? QStringLiteral("\u2212") : QString()) + digits;
}

QString csvAmount(Cents amount)
{
    return (amount < 0 ? QStringLiteral("-") : QString()) + digits(magnitude(amount), QString());
}

std::optional<Cents> fromCsvAmount(const QString &text) { return centsOf(text.toUtf8()); }

std::optional<Cents> centsOf(QByteArrayView field)
{
    // -?\d{1,17},\d\d: the euros and the cents, read as one number, are
    // exact down to the 64-bit minimum.
    const qsizetype euroDigits = field.size() - 3 - qsizetype(field.startsWith('-'));
    if (!csv::isCents(field) || euroDigits > 17)
        return std::nullopt;
    if (euroDigits > 16) {
        QByteArray digits = field.chopped(3).toByteArray();
        digits += field.last(2);
        return csv::wholeOf(digits);
    }
    // Up to 18 digits: no overflow, and no copy made of each field.
    const bool negative = field.startsWith('-');
    Cents cents = 0;
    for (const char c : field.sliced(negative ? 1 : 0))
        if (c != ',')
            cents = cents * 10 + (c - '0');
    return negative ? -cents : cents;
}

} // namespace day
