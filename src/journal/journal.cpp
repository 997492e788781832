#include "journal/journal.h"

#include "prizes/amounttext.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <iterator>

namespace journal {

namespace {

const char byteOrderMark[] = "\xEF\xBB\xBF";
const char lineEnd[] = "\r\n";

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

QString whole(qint64 value) { return QString::number(value); }

// Each column once: its title, how an entry writes it, and what a field of
// it may hold, so that every row written reads back as one of ours.
struct Column
{
    const char *title;
    QString (*write)(const Entry &);
    const char *shape;
};

const char wholeShape[] = "-?\\d+";
const char centsShape[] = "-?\\d+,\\d\\d";
const char generalShape[] = "-?\\d+(,\\d+)?(e[+-]\\d+)?";
// Empty where no "Calculer" made the printed list.
const char wholeOrNone[] = "(-?\\d+)?";
const char generalOrNone[] = "(-?\\d+(,\\d+)?(e[+-]\\d+)?)?";
const char textShape[] = "(?s).*";

const Column columns[] = {
    {"Date", dayOf, "\\d{4}-\\d\\d-\\d\\d"},
    {"Heure", [](const Entry &e) { return e.printed.time().toString(QStringLiteral("HH:mm")); }, "\\d\\d:\\d\\d"},
    {"Catégorie", [](const Entry &e) { return e.category; }, textShape},
    {"Mises", [](const Entry &e) { return whole(e.bets); }, wholeShape},
    {"Tarif de la mise", [](const Entry &e) { return price(e.betPrice); }, centsShape},
    {"Somme encaissée", [](const Entry &e) { return whole(e.receipts); }, wholeShape},
    {"Pourcentage de frais", [](const Entry &e) { return whole(e.costPercent); }, wholeShape},
    {"Montant des frais", [](const Entry &e) { return whole(e.costs); }, wholeShape},
    {"Noirs payés", [](const Entry &e) { return whole(e.blacksPaid); }, wholeShape},
    {"Tarif des noirs", [](const Entry &e) { return price(e.blackPrice); }, centsShape},
    {"Somme des noirs payés", [](const Entry &e) { return amount(e.blacks); }, generalShape},
    {"Somme à distribuer", [](const Entry &e) { return whole(e.pool); }, wholeShape},
    {"Prix principaux", [](const Entry &e) { return e.list ? whole(e.list->mainPrizes) : QString(); }, wholeOrNone},
    {"Gains minimum", [](const Entry &e) { return e.list ? whole(e.list->minimumGains) : QString(); }, wholeOrNone},
    {"Fraction honteux", [](const Entry &e) { return e.list ? amount(e.list->leftover) : QString(); }, generalOrNone},
    {"Liste modifiée", [](const Entry &e) { return e.listModified ? QStringLiteral("oui") : QStringLiteral("non"); },
     "oui|non"},
    {"Feuille", [](const Entry &e) { return e.sheet; }, textShape},
};
constexpr int fieldCount = int(std::size(columns));

bool fits(int column, const QString &field)
{
    static const QList<QRegularExpression> compiled = [] {
        QList<QRegularExpression> list;
        for (const Column &c : columns)
            list << QRegularExpression(QRegularExpression::anchoredPattern(QString::fromUtf8(c.shape)));
        return list;
    }();
    return compiled[column].match(field).hasMatch();
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
        if (!fits(i, fields[i]))
            return std::nullopt;
    return Row{bytes.mid(start, at - start), fields[0], fields[2]};
}

} // namespace

QByteArray headerRow()
{
    QStringList titles;
    for (const Column &column : columns)
        titles << QString::fromUtf8(column.title);
    return titles.join(QLatin1Char(';')).toUtf8() + lineEnd;
}

std::optional<QByteArray> row(const Entry &entry, QString *refused)
{
    QStringList fields;
    for (int i = 0; i < fieldCount; ++i) {
        const QString value = columns[i].write(entry);
        if (!fits(i, value)) {
            if (refused)
                *refused = QString::fromUtf8(columns[i].title) + QStringLiteral("\u00a0: ") + value;
            return std::nullopt;
        }
        fields << field(value);
    }
    return fields.join(QLatin1Char(';')).toUtf8() + lineEnd;
}

std::optional<QByteArray> recorded(const QByteArray &journal, const Entry &entry)
{
    const QByteArray start = byteOrderMark + headerRow();
    const std::optional<QByteArray> written = row(entry);
    if (!written)
        return std::nullopt;
    const QByteArray &newRow = *written;
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
