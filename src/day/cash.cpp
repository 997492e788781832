#include "day/cash.h"

#include "files/csv.h"
#include "files/plainfile.h"
#include "files/wholefile.h"
#include "journal/journalfile.h"

#include <QHash>
#include <QLockFile>
#include <QRegularExpression>

namespace day {

namespace {

constexpr int firstCount = 4; // fields before the counts: n°, date, time, float
constexpr int fieldCount = firstCount + denominationCount + 7;

QString shortName(int index)
{
    const Cents value = denominations[size_t(index)];
    return value >= 100 ? QStringLiteral("%1\u00a0€").arg(value / 100) : QStringLiteral("%1\u00a0c").arg(value);
}

QStringList titles()
{
    QStringList list{QStringLiteral("N°"), QStringLiteral("Date"), QStringLiteral("Heure"),
                     QStringLiteral("Fond de caisse")};
    for (int i = 0; i < denominationCount; ++i)
        list << (i < noteCount ? QStringLiteral("Billets de ") : QStringLiteral("Pièces de ")) + shortName(i);
    list << QStringLiteral("Prix non réclamés") << QStringLiteral("Remise en banque") << QStringLiteral("Attendu")
         << QStringLiteral("Compté") << QStringLiteral("Écart") << QStringLiteral("Motif")
         << QStringLiteral("Compté par");
    return list;
}

QString optionalAmount(const std::optional<Cents> &amount) { return amount ? csvAmount(*amount) : QString(); }

QString onLine(qsizetype line, const QString &why) { return QStringLiteral("ligne %1\u00a0: %2").arg(line).arg(why); }

// The record of one row's fields; the empty string when they make one, else why not.
QString readRecord(const QStringList &fields, CashRecord &record)
{
    const QStringList names = titles();
    const auto wrong = [&](int i) {
        return QStringLiteral("la colonne «\u00a0%1\u00a0» contient «\u00a0%2\u00a0», que le programme n'y écrit pas")
            .arg(names[i], fields[i]);
    };
    static const QRegularExpression number(QStringLiteral("^[1-9]\\d{0,5}$")), count(QStringLiteral("^\\d{1,6}$"));
    if (!number.match(fields[0]).hasMatch())
        return wrong(0);
    record.number = fields[0].toInt();
    const QDate date = QDate::fromString(fields[1], QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return wrong(1);
    const QTime time = QTime::fromString(fields[2], QStringLiteral("HH:mm"));
    if (!time.isValid())
        return wrong(2);
    record.closed = QDateTime(date, time);
    // Far past any till, and far enough inside 64 bits that the checks
    // below cannot overflow.
    const Cents most = Cents(1e15);
    const auto amount = [&](int i, Cents &to) {
        const std::optional<Cents> read = fromCsvAmount(fields[i]);
        to = read.value_or(0);
        return read && *read >= -most && *read <= most;
    };
    if (!amount(3, record.count.openingFloat))
        return wrong(3);
    for (int i = 0; i < denominationCount; ++i) {
        if (!count.match(fields[firstCount + i]).hasMatch())
            return wrong(firstCount + i);
        record.count.pieces[size_t(i)] = fields[firstCount + i].toInt();
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
    record.count.reason = fields[at + 4];
    record.count.countedBy = fields[at + 5];
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

QString denominationName(int index)
{
    return (index < noteCount ? QStringLiteral("Billet de ") : QStringLiteral("Pièce de ")) + shortName(index);
}

bool operator==(const CashCount &a, const CashCount &b)
{
    return a.openingFloat == b.openingFloat && a.unclaimedPrizes == b.unclaimedPrizes && a.pieces == b.pieces
        && a.deposit == b.deposit && a.reason == b.reason && a.countedBy == b.countedBy;
}

Cents notesTotal(const CashCount &count)
{
    Cents sum = 0;
    for (int i = 0; i < noteCount; ++i)
        sum += count.pieces[size_t(i)] * denominations[size_t(i)];
    return sum;
}

Cents coinsTotal(const CashCount &count)
{
    Cents sum = 0;
    for (int i = noteCount; i < denominationCount; ++i)
        sum += count.pieces[size_t(i)] * denominations[size_t(i)];
    return sum;
}

Cents counted(const CashCount &count) { return notesTotal(count) + coinsTotal(count); }

std::optional<Cents> expected(const CashCount &count, const Totals &day)
{
    if (!day.prizes)
        return std::nullopt;
    return count.openingFloat + day.receipts - day.blacks - *day.prizes + count.unclaimedPrizes;
}

std::optional<Cents> difference(const CashCount &count, const Totals &day)
{
    const std::optional<Cents> due = expected(count, day);
    if (!due)
        return std::nullopt;
    return counted(count) - *due;
}

Cents floatKept(const CashCount &count) { return counted(count) - count.deposit; }

CashRecord closing(const CashCount &count, const Totals &day, const QDate &date, const QDateTime &closed)
{
    CashRecord record;
    record.closed = QDateTime(date, QTime(closed.time().hour(), closed.time().minute()));
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

std::optional<QList<CashRecord>> parseCashBook(const QByteArray &book, QString *refused)
{
    QList<CashRecord> records;
    if (book.isEmpty())
        return records;
    const auto refuse = [refused](qsizetype line, const QString &why) {
        if (refused)
            *refused = onLine(line, why);
        return std::nullopt;
    };
    const QByteArray start = csv::byteOrderMark + cashHeaderRow();
    if (!book.startsWith(start))
        return refuse(1, QStringLiteral("ce n'est pas l'en-tête du livre de caisse de Prix général"));
    QHash<QDate, int> numbers;
    qsizetype line = 1;
    for (qsizetype at = start.size(); at < book.size();) {
        ++line;
        const std::optional<QStringList> fields = csv::readRow(book, at);
        if (!fields)
            return refuse(line, QStringLiteral("elle est coupée, ou n'a pas la forme des lignes du livre (champs "
                                               "séparés par «\u00a0;\u00a0», fin de ligne CRLF)"));
        if (fields->size() != fieldCount)
            return refuse(line, QStringLiteral("%1\u00a0champs au lieu de %2").arg(fields->size()).arg(fieldCount));
        CashRecord record;
        const QString why = readRecord(*fields, record);
        if (!why.isEmpty())
            return refuse(line, why);
        // Numbers follow each other within a date: the next one is the count plus one.
        int &last = numbers[record.closed.date()];
        if (record.number != ++last)
            return refuse(line, QStringLiteral("le n°\u00a0%1 du %2 devrait être le n°\u00a0%3")
                                    .arg(record.number)
                                    .arg(record.closed.date().toString(QStringLiteral("yyyy-MM-dd")))
                                    .arg(last));
        records << record;
    }
    return records;
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

QString cashFileName() { return QStringLiteral("caisse.csv"); }

bool readCashBook(const QString &fileName, QList<CashRecord> *records, QString *error)
{
    records->clear();
    const PlainFile file = readPlainFile(fileName, journal::maxJournalSize);
    if (file.status == PlainFile::Missing)
        return true;
    if (file.status != PlainFile::Read) {
        *error = reasonFor(fileName, file.status == PlainFile::TooLarge
                                         ? QStringLiteral("Il dépasse 1\u00a0Mo.")
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
                      QString *error)
{
    // The journal's lock: one lock for the files kept beside it, so that two
    // copies closing the day at once cannot both take the same number.
    QLockFile lock(journal::lockFileName(journalName));
    QString why;
    if (!journal::takeLock(lock, &why)) {
        *error = reasonFor(fileName, why);
        return false;
    }
    const PlainFile old = readPlainFile(fileName, journal::maxJournalSize);
    if (old.status != PlainFile::Read && old.status != PlainFile::Missing) {
        *error = reasonFor(fileName, old.status == PlainFile::NotPlain
                                         ? QStringLiteral("Un dossier, ou un autre élément qui n'est pas un "
                                                          "fichier, porte ce nom\u00a0: renommez-le ou déplacez-le.")
                                         : QStringLiteral("Il n'a pas pu être lu, ou dépasse 1\u00a0Mo\u00a0: il a "
                                                          "été laissé tel quel."));
        return false;
    }
    const std::optional<QByteArray> bytes = appended(old.bytes, record, &why);
    if (!bytes) {
        *error = reasonFor(fileName, notOurs(why));
        return false;
    }
    if (!replaceWhole(file, *bytes, &why)) {
        *error = reasonFor(fileName, why);
        return false;
    }
    return true;
}

} // namespace day
