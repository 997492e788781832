#include "files/csv.h"

#include <QRegularExpression>

namespace csv {

const char byteOrderMark[] = "\xEF\xBB\xBF";
const char lineEnd[] = "\r\n";

QString field(const QString &text)
{
    static const QRegularExpression special(QStringLiteral("[;\"\r\n]"));
    if (!text.contains(special))
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

} // namespace csv
