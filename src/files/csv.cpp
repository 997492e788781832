#include "files/csv.h"

#include <QTimeZone>

namespace csv {

const char byteOrderMark[] = "\xEF\xBB\xBF";
const char lineEnd[] = "\r\n";

namespace {

// Walks a field by hand.
struct Cursor
{
    QStringView text;
    qsizetype at = 0;

    bool take(char c)
    {
        if (at < text.size() && text[at] == QLatin1Char(c)) {
            ++at;
            return true;
        }
        return false;
    }
    // At least `min` digits, at most `max`; false when fewer.
    bool digits(qsizetype min = 1, qsizetype max = -1)
    {
        qsizetype n = 0;
        while (at < text.size() && (max < 0 || n < max) && text[at] >= QLatin1Char('0')
               && text[at] <= QLatin1Char('9')) {
            ++at;
            ++n;
        }
        return n >= min;
    }
    bool atEnd() const { return at == text.size(); }
};

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

std::optional<QStringList> readRow(const QByteArray &bytes, qsizetype &at)
{
    QStringList fields;
    for (;;) {
        if (at < bytes.size() && bytes[at] == '"') {
            QByteArray value;
            for (++at;; ++at) {
                if (at >= bytes.size())
                    return std::nullopt;
                if (bytes[at] == '"') {
                    if (at + 1 < bytes.size() && bytes[at + 1] == '"')
                        ++at;
                    else
                        break;
                }
                value += bytes[at];
            }
            ++at;
            fields << QString::fromUtf8(value);
        } else {
            const qsizetype start = at;
            while (at < bytes.size() && bytes[at] != ';' && bytes[at] != '\r') {
                if (bytes[at] == '"' || bytes[at] == '\n')
                    return std::nullopt;
                ++at;
            }
            // Straight from the bytes: a copy of each field cost a third of reading a row.
            fields << QString::fromUtf8(QByteArrayView(bytes).sliced(start, at - start));
        }
        if (at < bytes.size() && bytes[at] == ';') {
            ++at;
            continue;
        }
        if (!QByteArrayView(bytes).sliced(at).startsWith(QByteArrayView(lineEnd)))
            return std::nullopt;
        at += 2;
        return fields;
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
    for (qsizetype at = qsizetype(sizeof byteOrderMark) - 1 + book.header.size(); at < bytes.size();) {
        ++line;
        const qsizetype start = at;
        const std::optional<QStringList> fields = readRow(bytes, at);
        if (!fields)
            return onLine(line, QStringLiteral("elle est coupée, ou n'a pas la forme des lignes %1 (champs séparés "
                                               "par «\u00a0;\u00a0», fin de ligne CRLF)")
                                    .arg(book.rowsOf));
        if (fields->size() != book.fieldCount)
            return onLine(line, QStringLiteral("%1\u00a0champs au lieu de %2").arg(fields->size()).arg(book.fieldCount));
        const QString why = take(*fields, QByteArrayView(bytes).sliced(start, at - start));
        if (!why.isEmpty())
            return onLine(line, why);
    }
    return {};
}

bool isWhole(QStringView field)
{
    Cursor c{field};
    c.take('-');
    return c.digits() && c.atEnd();
}

bool isCents(QStringView field)
{
    Cursor c{field};
    c.take('-');
    return c.digits() && c.take(',') && c.digits(2, 2) && c.atEnd();
}

bool isGeneral(QStringView field)
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

bool isDate(QStringView field)
{
    Cursor c{field};
    return c.digits(4, 4) && c.take('-') && c.digits(2, 2) && c.take('-') && c.digits(2, 2) && c.atEnd();
}

bool isTime(QStringView field)
{
    Cursor c{field};
    return c.digits(2, 2) && c.take(':') && c.digits(2, 2) && c.atEnd();
}

QDate dateOf(QStringView field)
{
    if (!isDate(field))
        return {};
    return QDate(field.mid(0, 4).toInt(), field.mid(5, 2).toInt(), field.mid(8, 2).toInt());
}

QTime timeOf(QStringView field)
{
    if (!isTime(field))
        return {};
    return QTime(field.mid(0, 2).toInt(), field.mid(3, 2).toInt());
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
