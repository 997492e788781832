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

QString csvAmount(Cents amount)
{
    return (amount < 0 ? QStringLiteral("-") : QString()) + digits(magnitude(amount), QString());
}

std::optional<Cents> fromCsvAmount(const QString &text)
{
    // -?\d{1,17},\d\d
    const qsizetype euroDigits = text.size() - 3 - qsizetype(text.startsWith(QLatin1Char('-')));
    if (!csv::isCents(text) || euroDigits > 17)
        return std::nullopt;
    bool ok = false;
    // Sign, euros and cents read as one number: exact down to the 64-bit minimum.
    const Cents cents = (text.chopped(3) + text.right(2)).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return cents;
}

} // namespace day
