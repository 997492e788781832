#include "journal/journal.h"

#include "files/csv.h"
#include "prizes/amounttext.h"

#include <QList>
#include <QTimeZone>
#include <QStringList>

#include <cfloat>
#include <cmath>
#include <iterator>

namespace journal {

namespace {

QString price(double value) { return QString::number(value, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')); }

QString amount(float value) { return prizes::amountText(double(value)).replace(QLatin1Char('.'), QLatin1Char(',')); }

QString dayOf(const Entry &entry) { return entry.printed.date().toString(QStringLiteral("yyyy-MM-dd")); }

QString whole(qint64 value) { return QString::number(value); }

// Each column once: its title, how an entry writes it, and what a field of
// it may hold, so that every row written reads back as one of ours.
struct Column
{
    const char *title;
    QString (*write)(const Entry &);
    bool (*fits)(QStringView); // nothing: any text
    // Back into the entry from a field of that shape; false when the value
    // does not fit the entry (a count past an int, a date that is none).
    bool (*read)(Entry &, const QString &);
};

// A decimal of at most 15 digits is the quotient of two exact doubles, its
// digits by a power of ten, which the division rounds as a correct parser
// rounds the decimal: the same value without toDouble()'s cost, which was
// most of a season's parse. Nothing for any other field.
std::optional<double> shortDecimal(QStringView field)
{
    static const double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype at = 0;
    const bool negative = !field.isEmpty() && field[0] == QLatin1Char('-');
    if (negative)
        ++at;
    qint64 digits = 0;
    int count = 0, decimals = 0;
    bool comma = false;
    for (; at < field.size(); ++at) {
        const char16_t c = field[at].unicode();
        if (c == u',' && !comma) {
            comma = true;
            continue;
        }
        if (c < u'0' || c > u'9' || ++count > 15)
            return std::nullopt;
        digits = digits * 10 + (c - u'0');
        decimals += comma;
    }
    if (count == 0 || (comma && decimals == 0))
        return std::nullopt;
    const double value = double(digits) / powersOfTen[decimals];
    return negative ? -value : value;
}

double number(const QString &field, bool *ok)
{
    if (const std::optional<double> quick = shortDecimal(field)) {
        *ok = true;
        return *quick;
    }
    const double value = QString(field).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(ok);
    *ok = *ok && std::isfinite(value);
    return value;
}

bool readInt(int &to, const QString &field)
{
    bool ok = false;
    to = field.toInt(&ok);
    return ok;
}

bool readInt64(qint64 &to, const QString &field)
{
    bool ok = false;
    to = field.toLongLong(&ok);
    return ok;
}

bool readDouble(double &to, const QString &field)
{
    bool ok = false;
    to = number(field, &ok);
    return ok;
}

bool readFloat(float &to, const QString &field)
{
    bool ok = false;
    const double value = number(field, &ok);
    if (!ok || std::fabs(value) > double(FLT_MAX))
        return false;
    to = float(value);
    return true;
}

// The three list fields are empty together, when no "Calculer" made the list.
ListAmounts &listOf(Entry &e) { return e.list ? *e.list : e.list.emplace(); }

// The row's date and time as written, with no time zone to convert from:
// a local time would ask the system's zone for every row, and move a time
// that a change to summer time skips.
QDateTime asWritten(const QDate &date, const QTime &time)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime(date, time, QTimeZone::UTC);
#else
    return QDateTime(date, time, Qt::UTC);
#endif
}

bool readDate(Entry &e, const QString &field)
{
    // Its shape is checked: digits where QDate's own parser would look.
    const QDate date(QStringView(field).mid(0, 4).toInt(), QStringView(field).mid(5, 2).toInt(),
                     QStringView(field).mid(8, 2).toInt());
    e.printed = asWritten(date, QTime(0, 0));
    return date.isValid();
}

bool readTime(Entry &e, const QString &field)
{
    const QTime time(QStringView(field).mid(0, 2).toInt(), QStringView(field).mid(3, 2).toInt());
    e.printed = asWritten(e.printed.date(), time);
    return time.isValid();
}

// The shape of what a field may hold, checked by hand: a regular
// expression per field made the checks most of the time a season takes to
// read. Digits are ASCII only, as \d without Unicode properties.
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

// -?\d+
bool wholeShape(QStringView field)
{
    Cursor c{field};
    c.take('-');
    return c.digits() && c.atEnd();
}

// -?\d+,\d\d
bool centsShape(QStringView field)
{
    Cursor c{field};
    c.take('-');
    return c.digits() && c.take(',') && c.digits(2, 2) && c.atEnd();
}

// -?\d+(,\d+)?(e[+-]\d+)?
bool generalShape(QStringView field)
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

// Empty where no "Calculer" made the printed list.
bool wholeOrNone(QStringView field) { return field.isEmpty() || wholeShape(field); }
bool generalOrNone(QStringView field) { return field.isEmpty() || generalShape(field); }

// \d{4}-\d\d-\d\d
bool dateShape(QStringView field)
{
    Cursor c{field};
    return c.digits(4, 4) && c.take('-') && c.digits(2, 2) && c.take('-') && c.digits(2, 2) && c.atEnd();
}

// \d\d:\d\d
bool timeShape(QStringView field)
{
    Cursor c{field};
    return c.digits(2, 2) && c.take(':') && c.digits(2, 2) && c.atEnd();
}

bool yesNoShape(QStringView field) { return field == QLatin1String("oui") || field == QLatin1String("non"); }

// Any text.
constexpr bool (*textShape)(QStringView) = nullptr;

const Column columns[] = {
    {"Date", dayOf, dateShape, readDate},
    {"Heure", [](const Entry &e) { return e.printed.time().toString(QStringLiteral("HH:mm")); }, timeShape,
     readTime},
    {"Catégorie", [](const Entry &e) { return e.category; }, textShape,
     [](Entry &e, const QString &f) { e.category = f; return true; }},
    {"Mises", [](const Entry &e) { return whole(e.bets); }, wholeShape,
     [](Entry &e, const QString &f) { return readInt(e.bets, f); }},
    {"Tarif de la mise", [](const Entry &e) { return price(e.betPrice); }, centsShape,
     [](Entry &e, const QString &f) { return readDouble(e.betPrice, f); }},
    {"Somme encaissée", [](const Entry &e) { return whole(e.receipts); }, wholeShape,
     [](Entry &e, const QString &f) { return readInt(e.receipts, f); }},
    {"Pourcentage de frais", [](const Entry &e) { return whole(e.costPercent); }, wholeShape,
     [](Entry &e, const QString &f) { return readInt(e.costPercent, f); }},
    {"Montant des frais", [](const Entry &e) { return whole(e.costs); }, wholeShape,
     [](Entry &e, const QString &f) { return readInt(e.costs, f); }},
    {"Noirs payés", [](const Entry &e) { return whole(e.blacksPaid); }, wholeShape,
     [](Entry &e, const QString &f) { return readInt(e.blacksPaid, f); }},
    {"Tarif des noirs", [](const Entry &e) { return price(e.blackPrice); }, centsShape,
     [](Entry &e, const QString &f) { return readDouble(e.blackPrice, f); }},
    {"Somme des noirs payés", [](const Entry &e) { return amount(e.blacks); }, generalShape,
     [](Entry &e, const QString &f) { return readFloat(e.blacks, f); }},
    {"Somme à distribuer", [](const Entry &e) { return whole(e.pool); }, wholeShape,
     [](Entry &e, const QString &f) { return readInt(e.pool, f); }},
    {"Prix principaux", [](const Entry &e) { return e.list ? whole(e.list->mainPrizes) : QString(); }, wholeOrNone,
     [](Entry &e, const QString &f) { return f.isEmpty() || readInt64(listOf(e).mainPrizes, f); }},
    {"Gains minimum", [](const Entry &e) { return e.list ? whole(e.list->minimumGains) : QString(); }, wholeOrNone,
     [](Entry &e, const QString &f) { return f.isEmpty() || readInt64(listOf(e).minimumGains, f); }},
    {"Fraction honteux", [](const Entry &e) { return e.list ? amount(e.list->leftover) : QString(); }, generalOrNone,
     [](Entry &e, const QString &f) { return f.isEmpty() || readFloat(listOf(e).leftover, f); }},
    {"Liste modifiée", [](const Entry &e) { return e.listModified ? QStringLiteral("oui") : QStringLiteral("non"); },
     yesNoShape,
     [](Entry &e, const QString &f) { e.listModified = f == QLatin1String("oui"); return true; }},
    {"Feuille", [](const Entry &e) { return e.sheet; }, textShape,
     [](Entry &e, const QString &f) { e.sheet = f; return true; }},
};
constexpr int fieldCount = int(std::size(columns));

bool fits(int column, const QString &field)
{
    return !columns[column].fits || columns[column].fits(field);
}

struct Row
{
    QByteArray bytes; // as found, line end included
    QStringList fields;
};

QString quoted(const QString &text) { return QStringLiteral("«\u00a0%1\u00a0»").arg(text); }

// The row at `at`, which moves past its line end; nothing when the bytes
// there are not a row of this program, `refused` then says why.
std::optional<Row> readRow(const QByteArray &bytes, qsizetype &at, QString *refused = nullptr)
{
    const qsizetype start = at;
    std::optional<QStringList> fields = csv::readRow(bytes, at);
    QString why;
    if (!fields) {
        why = QStringLiteral("elle est coupée, ou n'a pas la forme des lignes du journal (champs séparés par "
                             "«\u00a0;\u00a0», fin de ligne CRLF)");
    } else if (fields->size() != fieldCount) {
        why = QStringLiteral("%1\u00a0champs au lieu de %2").arg(fields->size()).arg(fieldCount);
    } else {
        for (int i = 0; i < fieldCount && why.isEmpty(); ++i)
            if (!fits(i, fields->at(i)))
                why = QStringLiteral("la colonne %1 contient %2, que le programme n'y écrit pas")
                          .arg(quoted(QString::fromUtf8(columns[i].title)), quoted(fields->at(i)));
    }
    if (!why.isEmpty()) {
        if (refused)
            *refused = why;
        return std::nullopt;
    }
    return Row{bytes.mid(start, at - start), *fields};
}

QString onLine(qsizetype line, const QString &why) { return QStringLiteral("ligne %1\u00a0: %2").arg(line).arg(why); }

} // namespace

QByteArray headerRow()
{
    QStringList titles;
    for (const Column &column : columns)
        titles << QString::fromUtf8(column.title);
    return titles.join(QLatin1Char(';')).toUtf8() + csv::lineEnd;
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
        fields << value;
    }
    return csv::row(fields);
}

std::optional<QByteArray> recorded(const QByteArray &journal, const Entry &entry)
{
    const QByteArray start = csv::byteOrderMark + headerRow();
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
        if (found->fields[0] != dayOf(entry) || found->fields[2] != entry.category) {
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

std::optional<QList<Entry>> parse(const QByteArray &journal, QString *refused)
{
    QList<Entry> entries;
    if (journal.isEmpty())
        return entries;
    const auto refuse = [refused](qsizetype line, const QString &why) {
        if (refused)
            *refused = onLine(line, why);
        return std::nullopt;
    };
    const QByteArray start = csv::byteOrderMark + headerRow();
    if (!journal.startsWith(start))
        return refuse(1, QStringLiteral("ce n'est pas l'en-tête du journal de Prix général"));
    // A season's rows are about 120 bytes each.
    entries.reserve(journal.size() / 100);
    qsizetype line = 1;
    for (qsizetype at = start.size(); at < journal.size();) {
        ++line;
        QString why;
        const std::optional<Row> found = readRow(journal, at, &why);
        if (!found)
            return refuse(line, why);
        Entry entry;
        for (int i = 0; i < fieldCount; ++i)
            if (!columns[i].read(entry, found->fields[i]))
                return refuse(line, QStringLiteral("la colonne %1 contient %2, que le programme n'y écrit pas")
                                        .arg(quoted(QString::fromUtf8(columns[i].title)), quoted(found->fields[i])));
        const int listFields = int(!found->fields[12].isEmpty()) + int(!found->fields[13].isEmpty())
                               + int(!found->fields[14].isEmpty());
        if (listFields % 3 != 0)
            return refuse(line, QStringLiteral("les colonnes Prix principaux, Gains minimum et Fraction honteux "
                                               "sont remplies ensemble ou vides ensemble"));
        entries << std::move(entry);
    }
    return entries;
}

} // namespace journal
