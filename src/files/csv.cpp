#include "files/csv.h"

#include <QTimeZone>

#include <array>
#include <cstring>
#include <limits>

namespace csv {

const char byteOrderMark[] = "\xEF\xBB\xBF";
const char lineEnd[] = "\r\n";

namespace {

// Walks a field by hand.
struct Cursor
{
    QByteArrayView text;
    qsizetype at = 0;

    bool take(char c)
    {
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    // At least `min` digits, at most `max`; false when fewer.
    bool digits(qsizetype min = 1, qsizetype max = -1)
    {
        qsizetype n = 0;
        while (at < text.size() && (max < 0 || n < max) && text[at] >= '0' && text[at] <= '9') {
            ++at;
            ++n;
        }
        return n >= min;
    }
    bool atEnd() const { return at == text.size(); }
};

// The bytes an unquoted field stops at: its end (";", CR), or what it may
// not hold (a quote, a bare LF). A table: most of a journal's bytes pass it.
constexpr std::array<bool, 256> endsField = [] {
    std::array<bool, 256> table{};
    table[uchar(';')] = table[uchar('\r')] = table[uchar('"')] = table[uchar('\n')] = true;
    return table;
}();

// The digits of a field of a checked shape.
int digitsValue(QByteArrayView digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool needsQuotes(const QString &text)
{
    for (const QChar c : text)
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    return false;
}

} // namespace

QString field(const QString &text)
{
    if (!needsQuotes(text))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray row(const QStringList &fields)
{
    QStringList written;
    written.reserve(fields.size());
    for (const QString &text : fields)
        written << field(text);
    return written.join(QLatin1Char(';')).toUtf8() + lineEnd;
}

namespace {

// Most rows hold no quote: found between its line end and the previous one,
// such a row is split at each ';' by memchr, which reads many bytes a step.
// False for any other row: the careful way reads it.
bool readPlainRow(const char *data, qsizetype size, qsizetype &at, QVarLengthArray<QByteArrayView, 32> &views)
{
    const char *const start = data + at;
    const char *const newline = static_cast<const char *>(std::memchr(start, '\n', size_t(size - at)));
    if (!newline || newline == start || newline[-1] != '\r')
        return false;
    const char *const end = newline - 1;
    const size_t length = size_t(end - start);
    if (std::memchr(start, '"', length) || std::memchr(start, '\r', length))
        return false;
    for (const char *from = start;;) {
        const char *const semicolon = static_cast<const char *>(std::memchr(from, ';', size_t(end - from)));
        views.append(QByteArrayView(from, (semicolon ? semicolon : end) - from));
        if (!semicolon)
            break;
        from = semicolon + 1;
    }
    at = newline + 1 - data;
    return true;
}

} // namespace

bool readRow(const QByteArray &bytes, qsizetype &at, Fields &fields)
{
    fields.views.clear();
    if (!fields.unquoted.empty())
        fields.unquoted.clear();
    const char *const data = bytes.constData();
    const qsizetype size = bytes.size();
    if (at < size && readPlainRow(data, size, at, fields.views))
        return true;
    fields.views.clear();
    for (;;) {
        if (at < size && data[at] == '"') {
            QByteArray &value = fields.unquoted.emplace_back();
            for (++at;; ++at) {
                if (at >= size)
                    return false;
                if (data[at] == '"') {
                    if (at + 1 < size && data[at + 1] == '"')
                        ++at;
                    else
                        break;
                }
                value += data[at];
            }
            ++at;
            fields.views.append(QByteArrayView(value));
        } else {
            const qsizetype start = at;
            while (at < size && !endsField[uchar(data[at])])
                ++at;
            if (at < size && (data[at] == '"' || data[at] == '\n'))
                return false;
            fields.views.append(QByteArrayView(data + start, at - start));
        }
        if (at < size && data[at] == ';') {
            ++at;
            continue;
        }
        if (at + 1 >= size || data[at] != '\r' || data[at + 1] != '\n')
            return false;
        at += 2;
        return true;
    }
}

QString onLine(qsizetype line, const QString &why) { return QStringLiteral("ligne %1\u00a0: %2").arg(line).arg(why); }

QString readBook(const QByteArray &bytes, const Book &book, const RowTaker &take)
{
    if (bytes.isEmpty())
        return {};
    if (!bytes.startsWith(byteOrderMark + book.header))
        return onLine(1, QStringLiteral("ce n'est pas l'en-tête %1").arg(book.headerOf));
    qsizetype line = 1;
    Fields fields;
    for (qsizetype at = qsizetype(sizeof byteOrderMark) - 1 + book.header.size(); at < bytes.size();) {
        ++line;
        const qsizetype start = at;
        if (!readRow(bytes, at, fields))
            return onLine(line, QStringLiteral("elle est coupée, ou n'a pas la forme des lignes %1 (champs séparés "
                                               "par «\u00a0;\u00a0», fin de ligne CRLF)")
                                    .arg(book.rowsOf));
        if (fields.size() != book.fieldCount)
            return onLine(line, QStringLiteral("%1\u00a0champs au lieu de %2").arg(fields.size()).arg(book.fieldCount));
        const QString why = take(fields, QByteArrayView(bytes).sliced(start, at - start));
        if (!why.isEmpty())
            return onLine(line, why);
    }
    return {};
}

bool isWhole(QByteArrayView field)
{
    Cursor c{field};
    c.take('-');
    return c.digits() && c.atEnd();
}

bool isCents(QByteArrayView field)
{
    Cursor c{field};
    c.take('-');
    return c.digits() && c.take(',') && c.digits(2, 2) && c.atEnd();
}

bool isGeneral(QByteArrayView field)
{
    Cursor c{field};
    c.take('-');
    if (!c.digits())
        return false;
    if (c.take(',') && !c.digits())
        return false;
    if (c.take('e') && !((c.take('+') || c.take('-')) && c.digits()))
        return false;
    return c.atEnd();
}

bool isDate(QByteArrayView field)
{
    Cursor c{field};
    return c.digits(4, 4) && c.take('-') && c.digits(2, 2) && c.take('-') && c.digits(2, 2) && c.atEnd();
}

bool isTime(QByteArrayView field)
{
    Cursor c{field};
    return c.digits(2, 2) && c.take(':') && c.digits(2, 2) && c.atEnd();
}

std::optional<qint64> wholeOf(QByteArrayView field)
{
    const bool negative = !field.isEmpty() && field[0] == '-';
    const QByteArrayView digits = negative ? field.sliced(1) : field;
    // Up to 18 digits cannot overflow; more are read the careful way.
    if (digits.isEmpty() || digits.size() > 18) {
        if (!isWhole(field))
            return std::nullopt;
        bool ok = false;
        const qint64 value = field.toByteArray().toLongLong(&ok);
        return ok ? std::optional(value) : std::nullopt;
    }
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

QDate dateOf(QByteArrayView field)
{
    if (!isDate(field))
        return {};
    return QDate(digitsValue(field.sliced(0, 4)), digitsValue(field.sliced(5, 2)), digitsValue(field.sliced(8, 2)));
}

QTime timeOf(QByteArrayView field)
{
    if (!isTime(field))
        return {};
    return QTime(digitsValue(field.sliced(0, 2)), digitsValue(field.sliced(3, 2)));
}

QDateTime asWritten(const QDate &date, const QTime &time)
{
    // Qt 6.5 replaced the time spec by QTimeZone.
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime(date, time, QTimeZone::UTC);
#else
    return QDateTime(date, time, Qt::UTC);
#endif
}

} // namespace csv
