#include "day/cash.h"

#include "files/csv.h"
#include "files/lockedfile.h"
#include "files/plainfile.h"
#include "files/wholefile.h"
#include "journal/journalfile.h"

#include <QHash>

namespace day {

namespace {

constexpr int firstCount = 4; // fields before the counts: n°, date, time, float
constexpr int fieldCount = firstCount + denominationCount + 7;

QStringList titles()
{
    QStringList list{QStringLiteral("N°"), QStringLiteral("Date"), QStringLiteral("Heure"),
                     QStringLiteral("Fond de caisse")};
    for (int i = 0; i < denominationCount; ++i)
        list << (i < noteCount ? QStringLiteral("Billets de ") : QStringLiteral("Pièces de ")) + denominationValue(i);
    list << QStringLiteral("Prix non réclamés") << QStringLiteral("Remise en banque") << QStringLiteral("Attendu")
         << QStringLiteral("Compté") << QStringLiteral("Écart") << QStringLiteral("Motif")
         << QStringLiteral("Compté par");
    return list;
}

const csv::Book &book()
{
    static const csv::Book cash{cashHeaderRow(), fieldCount, QStringLiteral("du livre"),
                                QStringLiteral("du livre de caisse de Prix général")};
    return cash;
}

QString optionalAmount(const std::optional<Cents> &amount) { return amount ? csvAmount(*amount) : QString(); }

// 1 to `most` ASCII digits, the first not a zero when `leadingZero` is false.
std::optional<int> countOf(QByteArrayView field, qsizetype most, bool leadingZero)
{
    if (field.isEmpty() || field.size() > most || (!leadingZero && field[0] == '0'))
        return std::nullopt;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The record of one row's fields; the empty string when they make one, else why not.
QString readRecord(const csv::Fields &fields, CashRecord &record)
{
    static const QStringList names = titles();
    const auto wrong = [&](int i) {
        return QStringLiteral("la colonne «\u00a0%1\u00a0» contient «\u00a0%2\u00a0», que le programme n'y écrit pas")
            .arg(names[i], fields.text(i));
    };
    const std::optional<int> number = countOf(fields[0], 6, false);
    if (!number)
        return wrong(0);
    record.number = *number;
    const QDate date = csv::dateOf(fields[1]);
    if (!date.isValid())
        return wrong(1);
    const QTime time = csv::timeOf(fields[2]);
    if (!time.isValid())
        return wrong(2);
    record.closed = csv::asWritten(date, time);
    // Far past any till, and far enough inside 64 bits that the checks
    // below cannot overflow.
    const Cents most = Cents(1e15);
    const auto amount = [&](int i, Cents &to) {
        const std::optional<Cents> read = centsOf(fields[i]);
        to = read.value_or(0);
        return read && *read >= -most && *read <= most;
    };
    if (!amount(3, record.count.openingFloat))
        return wrong(3);
    for (int i = 0; i < denominationCount; ++i) {
        const std::optional<int> pieces = countOf(fields[firstCount + i], 6, true);
        if (!pieces)
            return wrong(firstCount + i);
        record.count.pieces[size_t(i)] = *pieces;
    }
    int at = firstCount + denominationCount;
    if (!amount(at, record.count.unclaimedPrizes))
        return wrong(at);
    if (!amount(++at, record.count.deposit))
        return wrong(at);
    // Unknown together, when a prize of the day was.
    const bool known = !fields[at + 1].isEmpty() || !fields[at + 3].isEmpty();
    Cents expectedValue = 0, differenceValue = 0;
    if (known && !amount(at + 1, expectedValue))
        return wrong(at + 1);
    if (!amount(at + 2, record.counted))
        return wrong(at + 2);
    if (known && !amount(at + 3, differenceValue))
        return wrong(at + 3);
    record.expected = known ? std::optional<Cents>(expectedValue) : std::nullopt;
    record.difference = known ? std::optional<Cents>(differenceValue) : std::nullopt;
    record.count.reason = fields.text(at + 4);
    record.count.countedBy = fields.text(at + 5);
    // A spreadsheet's edit that changed one figure and not the others.
    if (record.counted != counted(record.count))
        return QStringLiteral("la colonne «\u00a0Compté\u00a0» n'est pas la somme des billets et des pièces");
    if (known && differenceValue != record.counted - expectedValue)
        return QStringLiteral("la colonne «\u00a0Écart\u00a0» n'est pas «\u00a0Compté\u00a0» moins "
                              "«\u00a0Attendu\u00a0»");
    return {};
}

QString reasonFor(const QString &fileName, const QString &why)
{
    return QStringLiteral("%1\u00a0: %2").arg(fileName, why);
}

QString notOurs(const QString &why)
{
    return QStringLiteral("Le programme ne le reconnaît pas comme son livre de caisse (%1)\u00a0: il a été laissé "
                          "tel quel. Renommez-le ou déplacez-le\u00a0: le bilan suivant commencera un nouveau livre.")
        .arg(why);
}

} // namespace

std::optional<Cents> expected(const CashCount &count, const Totals &day)
{
    if (!day.prizesKnown())
        return std::nullopt;
    return count.openingFloat + day.receipts - day.blacks - day.prizes + count.unclaimedPrizes;
}

std::optional<Cents> difference(const CashCount &count, const Totals &day)
{
    const std::optional<Cents> due = expected(count, day);
    if (!due)
        return std::nullopt;
    return counted(count) - *due;
}

CashRecord closing(const CashCount &count, const Totals &day, const QDate &date, const QDateTime &closed)
{
    CashRecord record;
    record.closed = csv::asWritten(date, QTime(closed.time().hour(), closed.time().minute()));
    record.count = count;
    record.expected = expected(count, day);
    record.counted = counted(count);
    record.difference = difference(count, day);
    return record;
}

QByteArray cashHeaderRow() { return csv::row(titles()); }

QByteArray cashRow(const CashRecord &record)
{
    QStringList fields{QString::number(record.number), record.closed.date().toString(QStringLiteral("yyyy-MM-dd")),
                       record.closed.time().toString(QStringLiteral("HH:mm")), csvAmount(record.count.openingFloat)};
    for (int pieces : record.count.pieces)
        fields << QString::number(pieces);
    fields << csvAmount(record.count.unclaimedPrizes) << csvAmount(record.count.deposit)
           << optionalAmount(record.expected) << csvAmount(record.counted) << optionalAmount(record.difference)
           << record.count.reason << record.count.countedBy;
    return csv::row(fields);
}

std::optional<QList<CashRecord>> parseCashBook(const QByteArray &bytes, QString *refused)
{
    QList<CashRecord> records;
    QHash<QDate, int> numbers;
    const QString why = csv::readBook(bytes, book(), [&](const csv::Fields &fields, QByteArrayView) {
        CashRecord record;
        const QString wrong = readRecord(fields, record);
        if (!wrong.isEmpty())
            return wrong;
        // Numbers follow each other within a date: the next one is the count plus one.
        int &last = numbers[record.closed.date()];
        if (record.number != ++last)
            return QStringLiteral("le n°\u00a0%1 du %2 devrait être le n°\u00a0%3")
                .arg(record.number)
                .arg(record.closed.date().toString(QStringLiteral("yyyy-MM-dd")))
                .arg(last);
        records << record;
        return QString();
    });
    if (why.isEmpty())
        return records;
    if (refused)
        *refused = why;
    return std::nullopt;
}

std::optional<QByteArray> appended(const QByteArray &book, CashRecord &record, QString *refused)
{
    const std::optional<QList<CashRecord>> records = parseCashBook(book, refused);
    if (!records)
        return std::nullopt;
    record.number = nextNumber(*records, record.closed.date());
    const QByteArray start = book.isEmpty() ? csv::byteOrderMark + cashHeaderRow() : book;
    return start + cashRow(record);
}

int nextNumber(const QList<CashRecord> &records, const QDate &date)
{
    int count = 0;
    for (const CashRecord &record : records)
        count += record.closed.date() == date;
    return count + 1;
}

std::optional<CashRecord> lastOf(const QList<CashRecord> &records, const QDate &date)
{
    for (auto it = records.crbegin(); it != records.crend(); ++it)
        if (it->closed.date() == date)
            return *it;
    return std::nullopt;
}

CashCount startingCount(const QList<CashRecord> &records, const QDate &date)
{
    if (const std::optional<CashRecord> last = lastOf(records, date))
        return last->count;
    const CashRecord *before = nullptr;
    for (const CashRecord &record : records)
        if (record.closed.date() < date && (!before || before->closed <= record.closed))
            before = &record;
    CashCount count;
    if (before)
        count.openingFloat = floatKept(before->count);
    return count;
}

QString cashFileName() { return QStringLiteral("caisse.csv"); }

bool readCashBook(const QString &fileName, QList<CashRecord> *records, QString *error)
{
    records->clear();
    const PlainFile file = readPlainFile(fileName, journal::maxJournalSize);
    if (file.status == PlainFile::Missing)
        return true;
    if (file.status != PlainFile::Read) {
        *error = reasonFor(fileName, file.status == PlainFile::TooLarge
                                         ? QStringLiteral("Il dépasse %1\u00a0Mo.").arg(journal::maxJournalSize >> 20)
                                         : QStringLiteral("Ce n'est pas un fichier lisible."));
        return false;
    }
    QString why;
    std::optional<QList<CashRecord>> read = parseCashBook(file.bytes, &why);
    if (!read) {
        *error = reasonFor(fileName, notOurs(why));
        return false;
    }
    *records = std::move(*read);
    return true;
}

bool appendToCashBook(const QString &fileName, const QString &journalName, CashRecord &record, QString *error)
{
    return appendToCashBook(fileName, *replacementFor(fileName), journalName, record, error);
}

bool appendToCashBook(const QString &fileName, FileReplacement &file, const QString &journalName, CashRecord &record,
                      QString *error, const Numbered &numbered)
{
    // The journal's lock: one lock for the files kept beside it, so that two
    // copies closing the day at once cannot both take the same number.
    QString why;
    const bool done = rewriteLocked(
        fileName, file, lockFileName(journalName), journal::maxJournalSize,
        [&record, &numbered](const PlainFile &old, QString *why) -> std::optional<QByteArray> {
            if (old.status != PlainFile::Read && old.status != PlainFile::Missing) {
                *why = old.status == PlainFile::NotPlain
                           ? QStringLiteral("Un dossier, ou un autre élément qui n'est pas un fichier, porte ce "
                                            "nom\u00a0: renommez-le ou déplacez-le.")
                           : QStringLiteral("Il n'a pas pu être lu, ou dépasse %1\u00a0Mo\u00a0: il a été laissé "
                                            "tel quel.")
                                 .arg(journal::maxJournalSize >> 20);
                return std::nullopt;
            }
            QString refused;
            std::optional<QByteArray> bytes = appended(old.bytes, record, &refused);
            if (!bytes) {
                *why = notOurs(refused);
                return std::nullopt;
            }
            // Never a row, nor a book, the next reading would refuse.
            CashRecord alone = record;
            alone.number = 1;
            if (!parseCashBook(csv::byteOrderMark + cashHeaderRow() + cashRow(alone), &refused)) {
                *why = QStringLiteral("Une valeur de ce comptage ne s'écrit pas dans le livre (%1)\u00a0: il a été "
                                      "laissé tel quel.")
                           .arg(refused);
                return std::nullopt;
            }
            if (bytes->size() > journal::maxJournalWriteSize) {
                *why = journal::tooLargeToWrite();
                return std::nullopt;
            }
            if (numbered.write && !numbered.write(record, why))
                return std::nullopt;
            return bytes;
        },
        &why, [&] {
            if (numbered.takeBack)
                numbered.takeBack(record);
        });
    if (!done)
        *error = reasonFor(fileName, why);
    return done;
}

} // namespace day
