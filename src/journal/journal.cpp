#include "journal/journal.h"

#include "files/csv.h"
#include "prizes/amounttext.h"

#include <QList>
#include <QStringList>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

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
    bool (*fits)(QByteArrayView); // nothing: any text
    // Back into the entry from a field of that shape; false when the value
    // does not fit the entry (a count past an int, a date that is none).
    bool (*read)(Entry &, QByteArrayView);
};

// A decimal of at most 15 digits is the quotient of two exact doubles, its
// digits by a power of ten, which the division rounds as a correct parser
// rounds the decimal: the same value without toDouble()'s cost, which was
// most of a season's parse. Nothing for any other field.
std::optional<double> shortDecimal(QByteArrayView field)
{
    static const double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype at = 0;
    const bool negative = !field.isEmpty() && field[0] == '-';
    if (negative)
        ++at;
    qint64 digits = 0;
    int count = 0, decimals = 0;
    bool comma = false;
    for (; at < field.size(); ++at) {
        const char c = field[at];
        if (c == ',' && !comma) {
            comma = true;
            continue;
        }
        if (c < '0' || c > '9' || ++count > 15)
            return std::nullopt;
        digits = digits * 10 + (c - '0');
        decimals += comma;
    }
    if (count == 0 || (comma && decimals == 0))
        return std::nullopt;
    const double value = double(digits) / powersOfTen[decimals];
    return negative ? -value : value;
}

double number(QByteArrayView field, bool *ok)
{
    if (const std::optional<double> quick = shortDecimal(field)) {
        *ok = true;
        return *quick;
    }
    const double value = field.toByteArray().replace(',', '.').toDouble(ok);
    *ok = *ok && std::isfinite(value);
    return value;
}

bool readInt(int &to, QByteArrayView field)
{
    const std::optional<qint64> value = csv::wholeOf(field);
    if (!value || *value < INT_MIN || *value > INT_MAX)
        return false;
    to = int(*value);
    return true;
}

bool readInt64(qint64 &to, QByteArrayView field)
{
    const std::optional<qint64> value = csv::wholeOf(field);
    to = value.value_or(0);
    return value.has_value();
}

bool readDouble(double &to, QByteArrayView field)
{
    bool ok = false;
    to = number(field, &ok);
    return ok;
}

bool readFloat(float &to, QByteArrayView field)
{
    bool ok = false;
    const double value = number(field, &ok);
    if (!ok || std::fabs(value) > double(FLT_MAX))
        return false;
    to = float(value);
    return true;
}

// The three list fields are empty together, when no "Calculer" made the list.
prizes::ListAmounts &listOf(Entry &e) { return e.list ? *e.list : e.list.emplace(); }

// Rows come a day at a time: each day's date is made once.
bool readDate(Entry &e, QByteArrayView field)
{
    static thread_local char lastField[10] = {};
    static thread_local QDateTime lastDay; // invalid until a date was read
    if (!lastDay.isValid() || field.size() != qsizetype(sizeof lastField)
        || std::memcmp(lastField, field.data(), sizeof lastField) != 0) {
        const QDate date = csv::dateOf(field);
        if (!date.isValid())
            return false;
        std::memcpy(lastField, field.data(), sizeof lastField);
        lastDay = csv::asWritten(date, QTime(0, 0));
    }
    e.printed = lastDay;
    return true;
}

// After the date: a time of its day, with no zone to look up.
bool readTime(Entry &e, QByteArrayView field)
{
    const QTime time = csv::timeOf(field);
    e.printed.setTime(time);
    return time.isValid();
}

// Categories repeat from row to row, a handful of them: one string each,
// shared, rather than one made for every row.
QString sharedText(QByteArrayView field)
{
    static thread_local std::vector<std::pair<QByteArray, QString>> seen;
    for (const auto &[bytes, text] : seen)
        if (bytes == field)
            return text;
    if (seen.size() >= 32)
        seen.erase(seen.begin());
    seen.emplace_back(field.toByteArray(), QString::fromUtf8(field));
    return seen.back().second;
}

// Empty where no "Calculer" made the printed list.
bool wholeOrNone(QByteArrayView field) { return field.isEmpty() || csv::isWhole(field); }
bool generalOrNone(QByteArrayView field) { return field.isEmpty() || csv::isGeneral(field); }

bool yesNoShape(QByteArrayView field) { return field == "oui" || field == "non"; }

// Any text.
constexpr bool (*textShape)(QByteArrayView) = nullptr;

const Column columns[] = {
    {"Date", dayOf, csv::isDate, readDate},
    {"Heure", [](const Entry &e) { return e.printed.time().toString(QStringLiteral("HH:mm")); }, csv::isTime,
     readTime},
    {"Catégorie", [](const Entry &e) { return e.category; }, textShape,
     [](Entry &e, QByteArrayView f) { e.category = sharedText(f); return true; }},
    {"Mises", [](const Entry &e) { return whole(e.bets); }, csv::isWhole,
     [](Entry &e, QByteArrayView f) { return readInt(e.bets, f); }},
    {"Tarif de la mise", [](const Entry &e) { return price(e.betPrice); }, csv::isCents,
     [](Entry &e, QByteArrayView f) { return csv::isCents(f) && readDouble(e.betPrice, f); }},
    {"Somme encaissée", [](const Entry &e) { return whole(e.receipts); }, csv::isWhole,
     [](Entry &e, QByteArrayView f) { return readInt(e.receipts, f); }},
    {"Pourcentage de frais", [](const Entry &e) { return whole(e.costPercent); }, csv::isWhole,
     [](Entry &e, QByteArrayView f) { return readInt(e.costPercent, f); }},
    {"Montant des frais", [](const Entry &e) { return whole(e.costs); }, csv::isWhole,
     [](Entry &e, QByteArrayView f) { return readInt(e.costs, f); }},
    {"Noirs payés", [](const Entry &e) { return whole(e.blacksPaid); }, csv::isWhole,
     [](Entry &e, QByteArrayView f) { return readInt(e.blacksPaid, f); }},
    {"Tarif des noirs", [](const Entry &e) { return price(e.blackPrice); }, csv::isCents,
     [](Entry &e, QByteArrayView f) { return csv::isCents(f) && readDouble(e.blackPrice, f); }},
    {"Somme des noirs payés", [](const Entry &e) { return amount(e.blacks); }, csv::isGeneral,
     [](Entry &e, QByteArrayView f) { return csv::isGeneral(f) && readFloat(e.blacks, f); }},
    {"Somme à distribuer", [](const Entry &e) { return whole(e.pool); }, csv::isWhole,
     [](Entry &e, QByteArrayView f) { return readInt(e.pool, f); }},
    {"Prix principaux", [](const Entry &e) { return e.list ? whole(e.list->mainPrizes) : QString(); }, wholeOrNone,
     [](Entry &e, QByteArrayView f) { return f.isEmpty() || readInt64(listOf(e).mainPrizes, f); }},
    {"Gains minimum", [](const Entry &e) { return e.list ? whole(e.list->minimumGains) : QString(); }, wholeOrNone,
     [](Entry &e, QByteArrayView f) { return f.isEmpty() || readInt64(listOf(e).minimumGains, f); }},
    {"Fraction honteux", [](const Entry &e) { return e.list ? amount(e.list->leftover) : QString(); }, generalOrNone,
     [](Entry &e, QByteArrayView f) { return f.isEmpty() || (csv::isGeneral(f) && readFloat(listOf(e).leftover, f)); }},
    {"Liste modifiée", [](const Entry &e) { return e.listModified ? QStringLiteral("oui") : QStringLiteral("non"); },
     yesNoShape,
     [](Entry &e, QByteArrayView f) { e.listModified = f == "oui"; return yesNoShape(f); }},
    {"Feuille", [](const Entry &e) { return e.sheet; }, textShape,
     [](Entry &e, QByteArrayView f) { e.sheet = QString::fromUtf8(f); return true; }},
};
constexpr int fieldCount = int(std::size(columns));
constexpr int sheetColumn = fieldCount - 1;

bool fits(int column, QByteArrayView field)
{
    return !columns[column].fits || columns[column].fits(field);
}

QString quoted(const QString &text) { return QStringLiteral("«\u00a0%1\u00a0»").arg(text); }

QString wrongField(int column, QByteArrayView field)
{
    return QStringLiteral("la colonne %1 contient %2, que le programme n'y écrit pas")
        .arg(quoted(QString::fromUtf8(columns[column].title)), quoted(QString::fromUtf8(field)));
}

// Why the fields are not a row of this program; empty when they are.
QString shapeRefusal(const csv::Fields &fields)
{
    for (int i = 0; i < fieldCount; ++i)
        if (!fits(i, fields[i]))
            return wrongField(i, fields[i]);
    return {};
}

const csv::Book &book()
{
    static const csv::Book journal{headerRow(), fieldCount, QStringLiteral("du journal"),
                                   QStringLiteral("du journal de Prix général")};
    return journal;
}

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
        if (!fits(i, value.toUtf8())) {
            if (refused)
                *refused = QString::fromUtf8(columns[i].title) + QStringLiteral("\u00a0: ") + value;
            return std::nullopt;
        }
        fields << value;
    }
    return csv::row(fields);
}

std::optional<QByteArray> recorded(const QByteArray &journal, const Entry &entry, const std::optional<Shoot> &replacing)
{
    const std::optional<QByteArray> newRow = row(entry);
    if (!newRow)
        return std::nullopt;
    QByteArray result = csv::byteOrderMark + headerRow();
    result.reserve(journal.size() + newRow->size() + result.size());
    bool replaced = false;
    const QByteArray day = replacing ? replacing->day.toString(QStringLiteral("yyyy-MM-dd")).toUtf8() : QByteArray();
    const QByteArray category = replacing ? replacing->category.toUtf8() : QByteArray();
    const QByteArray sheet = replacing ? replacing->sheet.toUtf8() : QByteArray();
    const QString why = csv::readBook(journal, book(), [&](const csv::Fields &fields, QByteArrayView bytes) {
        const QString refused = shapeRefusal(fields);
        if (!refused.isEmpty())
            return refused;
        if (replacing && !replaced && fields[0] == day && fields[2] == category && fields[16] == sheet) {
            result += *newRow;
            replaced = true;
        } else {
            result += bytes;
        }
        return QString();
    });
    if (!why.isEmpty())
        return std::nullopt;
    if (!replaced)
        result += *newRow;
    return result;
}

namespace {

// A row as the program writes it, read in one pass over its bytes rather
// than field by field: twenty seasons are read whole for every print. It
// reads only what the columns' readings read to the same values (numbers of
// a few digits, no exponent); any other row it leaves to them.
class WrittenRow
{
public:
    explicit WrittenRow(QByteArrayView row) : at(row.data()), end(row.data() + row.size()) {}

    // A field of `size` bytes, then the separator.
    bool fixed(qsizetype size, QByteArrayView &field)
    {
        if (end - at <= size || at[size] != ';')
            return false;
        field = QByteArrayView(at, size);
        at += size + 1;
        return true;
    }
    // Any text up to the separator, or, the last field, to the row's end.
    bool text(QByteArrayView &field, bool last = false)
    {
        const auto *const semicolon = static_cast<const char *>(std::memchr(at, ';', size_t(end - at)));
        if (last == bool(semicolon))
            return false;
        const char *const stop = last ? end : semicolon;
        field = QByteArrayView(at, stop - at);
        at = last ? end : stop + 1;
        return true;
    }
    // A whole number of at most `most` digits, which no reading can overflow.
    template <typename Int> bool whole(Int &to, int most)
    {
        const bool negative = take('-');
        qint64 value = 0;
        int count = 0;
        if (!digits(value, count, most) || !separator())
            return false;
        to = Int(negative ? -value : value);
        return true;
    }
    // A decimal comma number of at most 15 digits (exactly two decimals
    // for a tariff): as the journal's reading divides it, exactly.
    bool decimal(double &to, bool cents)
    {
        static const double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const bool negative = take('-');
        qint64 value = 0;
        int count = 0, decimals = 0;
        if (!digits(value, count, 15))
            return false;
        if (take(',')) {
            const int before = count;
            if (!digits(value, count, 15))
                return false;
            decimals = count - before;
        }
        if ((cents && decimals != 2) || !separator())
            return false;
        to = double(value) / powersOfTen[decimals];
        to = negative ? -to : to;
        return true;
    }
    // Nothing, the field empty.
    bool empty() { return at < end && *at == ';' && (++at, true); }

private:
    bool take(char c) { return at < end && *at == c && (++at, true); }
    bool digits(qint64 &value, int &count, int most)
    {
        const int before = count;
        for (; at < end && uchar(*at - '0') < 10; ++at) {
            if (++count > most)
                return false;
            value = value * 10 + (*at - '0');
        }
        return count > before;
    }
    bool separator() { return take(';'); }

    const char *at;
    const char *const end;
};

bool readWritten(QByteArrayView row, Entry &e, const std::function<bool(QByteArrayView, QByteArrayView)> &wanted,
                 bool listedNames, bool &taken)
{
    WrittenRow r(row);
    QByteArrayView day, time, category, modified, sheet;
    if (!r.fixed(10, day) || !readDate(e, day) || !r.fixed(5, time) || !readTime(e, time) || !r.text(category))
        return false;
    taken = !wanted || wanted(day, category);
    double blacks = 0;
    if (!r.whole(e.bets, 9) || !r.decimal(e.betPrice, true) || !r.whole(e.receipts, 9)
        || !r.whole(e.costPercent, 9) || !r.whole(e.costs, 9) || !r.whole(e.blacksPaid, 9)
        || !r.decimal(e.blackPrice, true) || !r.decimal(blacks, false) || !r.whole(e.pool, 9))
        return false;
    e.blacks = float(blacks);
    if (r.empty()) {
        if (!r.empty() || !r.empty())
            return false;
        e.list.reset();
    } else {
        prizes::ListAmounts &list = e.list.emplace();
        double leftover = 0;
        if (!r.whole(list.mainPrizes, 18) || !r.whole(list.minimumGains, 18) || !r.decimal(leftover, false))
            return false;
        list.leftover = float(leftover);
    }
    if (!r.fixed(3, modified) || !yesNoShape(modified) || !r.text(sheet, true))
        return false;
    e.listModified = modified == "oui";
    if (taken) {
        e.category = sharedText(category);
        if (listedNames || !e.list)
            e.sheet = QString::fromUtf8(sheet);
    }
    return true;
}

using Wanted = std::function<bool(QByteArrayView day, QByteArrayView category)>;

// One part of the journal read: each row's fields into an entry (each
// column's reading checks the field's shape too); `hand` is handed the rows
// `wanted` picks, with their count in the part, the others only checked. Any
// text is a category's or a sheet's: those of rows not wanted are not made.
struct Part
{
    using Hand = std::function<QString(qsizetype row, Entry &&entry)>;
    Part(const Wanted &wanted, bool listedNames, Hand hand)
        : wanted(wanted), listedNames(listedNames), hand(std::move(hand))
    {
    }

    const Wanted &wanted;
    const bool listedNames; // the sheet's name of a row with a list too
    const Hand hand;
    Entry unwanted;
    qsizetype rows = 0;

    csv::Takers takers()
    {
        return {[this](const csv::Fields &fields, QByteArrayView) {
                    ++rows;
                    const bool taken = !wanted || wanted(fields[0], fields[2]);
                    Entry entry;
                    Entry &into = taken ? entry : unwanted;
                    for (int i = 0; i < fieldCount; ++i)
                        if ((taken || columns[i].fits) && (listedNames || i != sheetColumn || into.list == std::nullopt)
                            && !columns[i].read(into, fields[i]))
                            return wrongField(i, fields[i]);
                    const int listFields =
                        int(!fields[12].isEmpty()) + int(!fields[13].isEmpty()) + int(!fields[14].isEmpty());
                    if (listFields % 3 != 0)
                        return QStringLiteral("les colonnes Prix principaux, Gains minimum et Fraction honteux sont "
                                              "remplies ensemble ou vides ensemble");
                    return taken ? hand(rows, std::move(entry)) : QString();
                },
                [this](QByteArrayView row) -> std::optional<QString> {
                    Entry entry;
                    bool taken = false;
                    if (!readWritten(row, entry, wanted, listedNames, taken))
                        return std::nullopt;
                    ++rows;
                    return taken ? hand(rows, std::move(entry)) : QString();
                }};
    }
};

// A journal this large is read in two halves at once: twenty seasons are
// read for every print.
constexpr qsizetype readInTwoFrom = 1 << 20;

// `second`, when given, takes the second half's entries of a large journal
// on the thread that reads them; else `take` has them, in the file's order,
// on this one.
bool readEntries(const QByteArray &journal, const Wanted &wanted, const EntryTaker &take, const EntryTaker *second,
                 bool *secondUsed, QString *refused)
{
    // What the second half's taker reads needs no name of a sheet with a list.
    const bool listedNames = !second;
    Part first(wanted, listedNames, [&take](qsizetype, Entry &&entry) { return take(std::move(entry)); });
    QString why;
    if (secondUsed)
        *secondUsed = false;
    if (journal.size() < readInTwoFrom) {
        const csv::Takers takers = first.takers();
        why = csv::readBook(journal, book(), takers.take, takers.plain);
    } else if (second) {
        Part other(wanted, listedNames, [second](qsizetype, Entry &&entry) { return (*second)(std::move(entry)); });
        qsizetype secondAfter = -1;
        why = csv::readBookInTwo(journal, book(), first.takers(), other.takers(), &secondAfter);
        *secondUsed = secondAfter >= 0;
    } else {
        // The second half's entries wait for the first's.
        std::vector<std::pair<qsizetype, Entry>> later;
        Part other(wanted, listedNames, [&later](qsizetype row, Entry &&entry) {
            later.emplace_back(row, std::move(entry));
            return QString();
        });
        qsizetype secondAfter = -1;
        why = csv::readBookInTwo(journal, book(), first.takers(), other.takers(), &secondAfter);
        for (auto it = later.begin(); why.isEmpty() && secondAfter >= 0 && it != later.end(); ++it)
            if (const QString refusal = take(std::move(it->second)); !refusal.isEmpty())
                why = csv::onLine(secondAfter + it->first, refusal);
    }
    if (why.isEmpty())
        return true;
    if (refused)
        *refused = why;
    return false;
}

} // namespace

bool forEachEntry(const QByteArray &journal, const EntryTaker &take, QString *refused)
{
    return readEntries(journal, {}, take, nullptr, nullptr, refused);
}

bool forEachEntryInTwo(const QByteArray &journal, const EntryTaker &first, const EntryTaker &second, bool *secondUsed,
                       QString *refused)
{
    return readEntries(journal, {}, first, &second, secondUsed, refused);
}

bool forEachShoot(const QByteArray &journal, const QDate &day, const QString &category, const EntryTaker &take,
                  QString *refused)
{
    const QByteArray dayField = day.toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    const QByteArray categoryField = category.toUtf8();
    return readEntries(
        journal, [&](QByteArrayView day, QByteArrayView category) { return day == dayField && category == categoryField; },
        take, nullptr, nullptr, refused);
}

std::optional<QList<Entry>> parse(const QByteArray &journal, QString *refused)
{
    QList<Entry> entries;
    // A season's rows are about 120 bytes each.
    entries.reserve(journal.size() / 100);
    const bool read = forEachEntry(
        journal,
        [&entries](Entry &&entry) {
            entries << std::move(entry);
            return QString();
        },
        refused);
    if (!read)
        return std::nullopt;
    return entries;
}

QList<Entry> entriesOn(const QByteArray &journal, const QDate &day)
{
    QList<Entry> found;
    const QByteArray start = csv::lineEnd + day.toString(QStringLiteral("yyyy-MM-dd")).toUtf8() + ';';
    csv::Fields fields;
    for (qsizetype at = journal.indexOf(start); at >= 0; at = journal.indexOf(start, at)) {
        at += 2;
        if (!csv::readRow(journal, at, fields) || fields.size() != fieldCount)
            continue;
        Entry entry;
        bool read = true;
        for (int i = 0; i < fieldCount && read; ++i)
            read = columns[i].read(entry, fields[i]);
        if (read)
            found << std::move(entry);
    }
    return found;
}

QList<Entry> shootsOf(const QList<Entry> &entries, const QDate &day, const QString &category)
{
    QList<Entry> shoots;
    for (const Entry &entry : entries)
        if (entry.printed.date() == day && entry.category == category)
            shoots << entry;
    return shoots;
}

} // namespace journal
