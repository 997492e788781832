#include "journal/journal.h"

#include "prizes/amounttext.h"

#include <QList>
#include <QRegularExpression>

namespace journal {

namespace {

const char byteOrderMark[] = "\xEF\xBB\xBF";
const char lineEnd[] = "\r\n";
constexpr int fieldCount = 17;

QString price(double value) { return QString::number(value, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')); }

QString amount(float value) { return prizes::amountText(double(value)).replace(QLatin1Char('.'), QLatin1Char(',')); }

// Quoted only where a spreadsheet would otherwise split or cut the field.
QString field(const QString &text)
{
    static const QRegularExpression special(QStringLiteral("[;\"\r\n]"));
    if (!text.contains(special))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString dayOf(const Entry &entry) { return entry.printed.date().toString(QStringLiteral("yyyy-MM-dd")); }

// What each field of a row of ours looks like; text fields may hold anything.
const QList<QRegularExpression> &shapes()
{
    static const QString whole = QStringLiteral("-?\\d+");
    static const QString cents = QStringLiteral("-?\\d+,\\d\\d");
    static const QString general = QStringLiteral("-?\\d+(,\\d+)?(e[+-]\\d+)?");
    static const QStringList patterns{QStringLiteral("\\d{4}-\\d\\d-\\d\\d"), QStringLiteral("\\d\\d:\\d\\d"),
                                      QStringLiteral("(?s).*"), whole, cents, whole, whole, whole, whole, cents,
                                      general, whole, whole, whole, general, QStringLiteral("oui|non"),
                                      QStringLiteral("(?s).*")};
    static const QList<QRegularExpression> compiled = [] {
        QList<QRegularExpression> list;
        for (const QString &pattern : patterns)
            list << QRegularExpression(QRegularExpression::anchoredPattern(pattern));
        return list;
    }();
    return compiled;
}

struct Row
{
    QByteArray bytes; // as found, line end included
    QString day;
    QString category;
};

// The fields of the row at `at`, which moves past its line end; nothing
// when the bytes there are not a row of this program.
std::optional<Row> readRow(const QByteArray &bytes, qsizetype &at)
{
    const qsizetype start = at;
    QStringList fields;
    for (;;) {
        QByteArray value;
        if (at < bytes.size() && bytes[at] == '"') {
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
        } else {
            while (at < bytes.size() && bytes[at] != ';' && bytes[at] != '\r') {
                if (bytes[at] == '"' || bytes[at] == '\n')
                    return std::nullopt;
                value += bytes[at++];
            }
        }
        fields << QString::fromUtf8(value);
        if (at < bytes.size() && bytes[at] == ';') {
            ++at;
            continue;
        }
        if (bytes.mid(at, 2) != lineEnd)
            return std::nullopt;
        at += 2;
        break;
    }
    if (fields.size() != fieldCount)
        return std::nullopt;
    for (int i = 0; i < fieldCount; ++i)
        if (!shapes()[i].match(fields[i]).hasMatch())
            return std::nullopt;
    return Row{bytes.mid(start, at - start), fields[0], fields[2]};
}

} // namespace

QByteArray headerRow()
{
    return QStringLiteral("Date;Heure;Catégorie;Mises;Tarif de la mise;Somme encaissée;Pourcentage de frais;"
                          "Montant des frais;Noirs payés;Tarif des noirs;Somme des noirs payés;"
                          "Somme à distribuer;Prix principaux;Gains minimum;Fraction honteux;"
                          "Liste modifiée;Feuille")
               .toUtf8()
           + lineEnd;
}

QByteArray row(const Entry &entry)
{
    const QStringList fields{dayOf(entry),
                             entry.printed.time().toString(QStringLiteral("HH:mm")),
                             field(entry.category),
                             QString::number(entry.bets),
                             price(entry.betPrice),
                             QString::number(entry.receipts),
                             QString::number(entry.costPercent),
                             QString::number(entry.costs),
                             QString::number(entry.blacksPaid),
                             price(entry.blackPrice),
                             amount(entry.blacks),
                             QString::number(entry.pool),
                             QString::number(entry.mainPrizes),
                             QString::number(entry.minimumGains),
                             amount(entry.leftover),
                             entry.listModified ? QStringLiteral("oui") : QStringLiteral("non"),
                             field(entry.sheet)};
    return fields.join(QLatin1Char(';')).toUtf8() + lineEnd;
}

std::optional<QByteArray> recorded(const QByteArray &journal, const Entry &entry)
{
    const QByteArray start = byteOrderMark + headerRow();
    const QByteArray newRow = row(entry);
    if (journal.isEmpty())
        return start + newRow;
    if (!journal.startsWith(start))
        return std::nullopt;

    QByteArray result = start;
    bool replaced = false;
    for (qsizetype at = start.size(); at < journal.size();) {
        const std::optional<Row> found = readRow(journal, at);
        if (!found)
            return std::nullopt;
        if (found->day != dayOf(entry) || found->category != entry.category) {
            result += found->bytes;
        } else if (!replaced) {
            result += newRow;
            replaced = true;
        }
    }
    if (!replaced)
        result += newRow;
    return result;
}

} // namespace journal
