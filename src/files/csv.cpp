#include "files/csv.h"

#include <QThread>
#include <QTimeZone>

#include <array>
#include <cstring>
#include <limits>
#include <memory>

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

namespace {

// Where reading rows stopped: past the last row read, or at a refused one.
struct Stop
{
    QString why; // empty when every row was taken
    qsizetype line = 0;
    qsizetype at = 0;
};

// The rows starting before `to`, the first at `at`, after line `line`.
Stop readRows(const QByteArray &bytes, qsizetype at, qsizetype to, qsizetype line, const Book &book,
              const Takers &takers)
{
    Fields fields;
    while (at < to) {
        ++line;
        const qsizetype start = at;
        if (takers.plain) {
            const char *const row = bytes.constData() + at;
            const auto *const newline = static_cast<const char *>(std::memchr(row, '\n', size_t(bytes.size() - at)));
            if (newline && newline > row && newline[-1] == '\r') {
                const size_t length = size_t(newline - 1 - row);
                if (!std::memchr(row, '"', length) && !std::memchr(row, '\r', length)) {
                    if (const std::optional<QString> why = takers.plain(QByteArrayView(row, qsizetype(length)))) {
                        if (!why->isEmpty())
                            return {*why, line, start};
                        at = newline + 1 - bytes.constData();
                        continue;
                    }
                }
            }
        }
        if (!readRow(bytes, at, fields))
            return {QStringLiteral("elle est coupée, ou n'a pas la forme des lignes %1 (champs séparés "
                                   "par «\u00a0;\u00a0», fin de ligne CRLF)")
                        .arg(book.rowsOf),
                    line, start};
        if (fields.size() != book.fieldCount)
            return {QStringLiteral("%1\u00a0champs au lieu de %2").arg(fields.size()).arg(book.fieldCount), line,
                    start};
        QString why = takers.take(fields, QByteArrayView(bytes).sliced(start, at - start));
        if (!why.isEmpty())
            return {std::move(why), line, start};
    }
    return {{}, line, at};
}

// Where the rows start, after the mark and the header. Nothing for an
// empty file (no row), or, with why, for one that does not start so.
std::optional<qsizetype> rowsStart(const QByteArray &bytes, const Book &book, QString *why)
{
    if (bytes.isEmpty())
        return std::nullopt;
    if (!bytes.startsWith(byteOrderMark + book.header)) {
        *why = onLine(1, QStringLiteral("ce n'est pas l'en-tête %1").arg(book.headerOf));
        return std::nullopt;
    }
    return qsizetype(sizeof byteOrderMark) - 1 + book.header.size();
}

} // namespace

QString readBook(const QByteArray &bytes, const Book &book, const RowTaker &take, const PlainRowTaker &plain)
{
    QString why;
    const std::optional<qsizetype> start = rowsStart(bytes, book, &why);
    if (!start)
        return why;
    const Stop stop = readRows(bytes, *start, bytes.size(), 1, book, {take, plain});
    return stop.why.isEmpty() ? QString() : onLine(stop.line, stop.why);
}

QString readBookInTwo(const QByteArray &bytes, const Book &book, const Takers &first, const Takers &second,
                      qsizetype *secondAfter)
{
    *secondAfter = -1;
    QString why;
    const std::optional<qsizetype> start = rowsStart(bytes, book, &why);
    if (!start)
        return why;
    // Cut after the line end nearest the middle. A quoted field may hold a
    // line end: then the first part, read to its row's end, passes the cut,
    // and reads on alone.
    const qsizetype lineEnd = bytes.indexOf('\n', *start + (bytes.size() - *start) / 2);
    const qsizetype cut = lineEnd < 0 ? bytes.size() : lineEnd + 1;
    Stop secondStop;
    const std::unique_ptr<QThread> reader(QThread::create(
        [&] { secondStop = readRows(bytes, cut, bytes.size(), 0, book, second); }));
    if (cut < bytes.size())
        reader->start();
    Stop stop = readRows(bytes, *start, cut, 1, book, first);
    reader->wait();
    if (!stop.why.isEmpty())
        return onLine(stop.line, stop.why);
    if (cut < bytes.size() && stop.at == cut) {
        *secondAfter = stop.line;
        return secondStop.why.isEmpty() ? QString() : onLine(stop.line + secondStop.line, secondStop.why);
    }
    stop = readRows(bytes, stop.at, bytes.size(), stop.line, book, first);
    return stop.why.isEmpty() ? QString() : onLine(stop.line, stop.why);
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
    // Qt 6.5 takes the zone as a QTimeZone and deprecates Qt::UTC here.
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime(date, time, QTimeZone::UTC);
#else
    return QDateTime(date, time, Qt::UTC);
#endif
}

} // namespace csv
