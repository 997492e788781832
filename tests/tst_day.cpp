#include "day/cash.h"
#include "day/daymodel.h"
#include "day/statement.h"
#include "day/typedprizes.h"
#include "report/paper.h"
#include "files/wholefile.h"
#include "journal/journal.h"
#include "journal/journalfile.h"

#include "fulldisk.h"
#include "testhelpers.h"

#include <QtTest>

#include <climits>

using day::Cents;
using testhelpers::readBytes;
using testhelpers::writeBytes;

namespace {

const QDate closingDay(2026, 12, 10);
const QByteArray mark = "\xEF\xBB\xBF";

// A sheet printed on `date` as the program's print records it: tariffs in
// whole cents, prizes in whole euros; no list when it was typed by hand.
journal::Entry sheetEntry(const QDate &date, const QString &category, int bets, Cents betTariff, int blacks,
                          Cents blackTariff, std::optional<qint64> prizeEuros)
{
    journal::Entry e;
    e.printed = QDateTime(date, QTime(14, 32));
    e.category = category;
    e.bets = bets;
    e.betPrice = double(betTariff) / 100;
    e.receipts = int(qMin(qint64(bets) * betTariff / 100, qint64(INT_MAX))); // whole euros, as the journal keeps it
    e.blacksPaid = blacks;
    e.blackPrice = double(blackTariff) / 100;
    e.blacks = float(blacks * blackTariff / 100.0);
    if (prizeEuros)
        e.list = prizes::ListAmounts{*prizeEuros * 2 / 3, *prizeEuros - *prizeEuros * 2 / 3, 0.4f};
    e.sheet = QStringLiteral("prixGeneral_x.pdf");
    return e;
}

// A statement's text as read: no tags, spaces as spaces.
QString plainText(QString html)
{
    html.replace(QRegularExpression("<[^>]*>"), " ").replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
    return html.simplified();
}

QByteArray journalOf(const QList<journal::Entry> &entries)
{
    QByteArray bytes = mark + journal::headerRow();
    for (const journal::Entry &e : entries)
        bytes += *journal::row(e);
    return bytes;
}

QList<day::Sheet> sheetsOf(const QByteArray &journalBytes)
{
    QList<day::Sheet> sheets;
    const QList<journal::Entry> entries = journal::parse(journalBytes).value();
    for (const journal::Entry &e : entries)
        sheets << day::sheetOf(e).value();
    return sheets;
}

day::CashCount countOf(const QList<int> &pieces, Cents deposit = 0)
{
    day::CashCount count;
    for (int i = 0; i < pieces.size(); ++i)
        count.pieces[size_t(i)] = pieces[i];
    count.deposit = deposit;
    return count;
}

day::CashRecord recordOn(const QDate &date, const QString &reason = {}, bool known = true)
{
    day::CashCount count = countOf({0, 1, 2, 0, 3, 0, 1, 4, 0, 7}, 20000);
    count.openingFloat = 15000;
    count.unclaimedPrizes = 2500;
    count.reason = reason;
    count.countedBy = QStringLiteral("Jeanne Archer");
    day::Totals totals;
    totals.receipts = 62300;
    totals.blacks = 500;
    if (known)
        totals.prizes = 45000;
    return day::closing(count, totals, date, QDateTime(QDate(2027, 1, 3), QTime(18, 42, 59)));
}

} // namespace

class TestDay : public QObject
{
    Q_OBJECT
private slots:
    void cashCount_data();
    void cashCount();
    void dayModel_data();
    void dayModel();
    void days_data();
    void days();
    void journalRead_data();
    void journalRead();
    void cashBook_data();
    void cashBook();
    void statements_data();
    void statements();
};

// The count's sums, and how every amount is written, in one table.
void TestDay::cashCount_data()
{
    QTest::addColumn<QList<int>>("pieces"); // billet500 … piece1c
    QTest::addColumn<Cents>("deposit");
    QTest::addColumn<QString>("counted");
    QTest::addColumn<QString>("kept");
    const QList<int> limits(day::denominationCount, day::maxPieces);
    QTest::newRow("one of each: every denomination's value") << QList<int>(15, 1) << Cents(0) << "888,88\u00a0€"
                                                             << "888,88\u00a0€";
    QTest::newRow("a lone cent keeps its leading zero") << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}
                                                        << Cents(0) << "0,01\u00a0€" << "0,01\u00a0€";
    QTest::newRow("thousands apart by a narrow no-break space") << QList<int>{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}
                                                                << Cents(100000) << "1\u202f500,14\u00a0€"
                                                                << "500,14\u00a0€";
    QTest::newRow("deposit past the count: minus sign, not a hyphen")
        << QList<int>{0, 0, 0, 0, 0, 1} << Cents(2550) << "10,00\u00a0€" << "\u221215,50\u00a0€";
    QTest::newRow("every count at the spin boxes' limit: no overflow")
        << limits << Cents(0) << "8\u202f887\u202f911,12\u00a0€" << "8\u202f887\u202f911,12\u00a0€";
    QTest::newRow("largest 64-bit amount grouped to the end")
        << QList<int>() << -Cents(LLONG_MAX) << "0,00\u00a0€" << "92\u202f233\u202f720\u202f368\u202f547\u202f758,07\u00a0€";
    QTest::newRow("eighteen digits read back the quick way, to the cent")
        << QList<int>() << Cents(999999999999999999) << "0,00\u00a0€"
        << "\u22129\u202f999\u202f999\u202f999\u202f999\u202f999,99\u00a0€";
    QTest::newRow("kept of exactly minus a thousand") << QList<int>() << Cents(100000) << "0,00\u00a0€"
                                                      << "\u22121\u202f000,00\u00a0€";
}

void TestDay::cashCount()
{
    QFETCH(QList<int>, pieces);
    QFETCH(Cents, deposit);
    QFETCH(QString, counted);
    QFETCH(QString, kept);
    const day::CashCount count = countOf(pieces, deposit);
    QCOMPARE(day::euros(day::counted(count)), counted);
    QCOMPARE(day::counted(count), day::notesTotal(count) + day::coinsTotal(count));
    QCOMPARE(day::euros(day::floatKept(count)), kept);
    // The spreadsheet's shape reads back to the cent.
    QCOMPARE(day::fromCsvAmount(day::csvAmount(day::floatKept(count))), day::floatKept(count));
    QCOMPARE(day::euros(LLONG_MIN), "\u221292\u202f233\u202f720\u202f368\u202f547\u202f758,08\u00a0€");
    QCOMPARE(day::fromCsvAmount(day::csvAmount(LLONG_MIN)), LLONG_MIN);
    QCOMPARE(day::fromCsvAmount("92233720368547758,08"), std::nullopt); // one cent past 64 bits
}

void TestDay::dayModel_data()
{
    QTest::addColumn<int>("sheets"); // on the day, among as many on other days
    QTest::addColumn<int>("handTyped"); // 0: none, 1: some, 2: every list typed by hand, 3: some, their
                                        // prizes then typed on the tab
    QTest::addColumn<int>("maxBets");
    QTest::addColumn<QString>("receipts"); // expected text of the day's total; empty: not checked
    QTest::addColumn<QStringList>("names"); // the rows' categories; empty: not checked
    QTest::newRow("three categories of the issue: 623,00 € from counts, not the truncated euros")
        << -3 << 0 << 0 << "623,00\u00a0€" << QStringList{"arc classique", "arc poulie", "arc nu"};
    QTest::newRow("a category shot twice: each shoot a line of its own, numbered")
        << -2 << 0 << 0 << "490,00\u00a0€"
        << QStringList{"arc classique (tir 1)", "arc poulie", "arc classique (tir 2)"};
    QTest::newRow("random day: each sheet to the cent, totals the rows' sum") << 40 << 0 << 9999 << "" << QStringList();
    QTest::newRow("one list typed by hand: prizes and kept unknown in the total") << 12 << 1 << 9999 << "" << QStringList();
    QTest::newRow("every list typed by hand: expected cash cannot be computed") << 5 << 2 << 9999 << "" << QStringList();
    QTest::newRow("lists typed by hand, their prizes typed on the tab: known again, to the cent")
        << 12 << 3 << 9999 << "" << QStringList();
    QTest::newRow("counts and tariffs at the program's limits: no overflow") << 60 << 0 << day::maxCount << "" << QStringList();
    QTest::newRow("a day without a sheet: a row of zero totals") << 0 << 0 << 0 << "0,00\u00a0€" << QStringList();
    QTest::newRow("season of 5000 rows filtered to its day") << 5000 << 1 << 9999 << "" << QStringList();
    QTest::newRow("twenty seasons, 100000 rows: read whole, none refused") << 100000 << 1 << 9999 << "" << QStringList();
}

void TestDay::dayModel()
{
    QFETCH(int, sheets);
    QFETCH(int, handTyped);
    QFETCH(int, maxBets);
    QFETCH(QString, receipts);
    QFETCH(QStringList, names);
    QRandomGenerator random(20261210 + sheets);
    QList<journal::Entry> entries;
    // Independent sums of what the day's cash box should hold.
    Cents receiptSum = 0, blackSum = 0, prizeSum = 0;
    bool prizesKnown = true;
    if (sheets == -3) {
        entries << sheetEntry(closingDay, "arc classique", 101, 350, 7, 50, 200)
                << sheetEntry(closingDay, "arc poulie", 57, 350, 3, 50, 120)
                << sheetEntry(closingDay, "arc nu", 20, 350, 0, 50, 40);
        receiptSum = 62300, blackSum = 500, prizeSum = 36000;
    } else if (sheets == -2) { // arc classique at 14:32 and again later
        entries << sheetEntry(closingDay, "arc classique", 83, 350, 7, 50, 200)
                << sheetEntry(closingDay, "arc poulie", 57, 350, 3, 50, 120)
                << sheetEntry(closingDay, "arc classique", 0, 350, 0, 50, 40);
        entries.last().printed.setTime(QTime(17, 5));
        receiptSum = 49000, blackSum = 500, prizeSum = 36000;
    }
    for (int i = 0; i < sheets; ++i) {
        const bool onDay = sheets < 100 || i % 50 == 0;
        const int bets = random.bounded(maxBets + 1), blacks = random.bounded(maxBets + 1);
        const Cents betTariff = maxBets == day::maxCount ? day::maxTariff : random.bounded(10000);
        const Cents blackTariff = maxBets == day::maxCount ? day::maxTariff : random.bounded(10000);
        const bool typed = handTyped == 2 || (handTyped % 2 == 1 && i % 7 == 3);
        const qint64 prizes = random.bounded(1 << 30);
        const QDate date = onDay ? closingDay : closingDay.addDays(-1 - random.bounded(sheets > 10000 ? 7300 : 300));
        entries << sheetEntry(date, QStringLiteral("catégorie %1").arg(i), bets, betTariff, blacks, blackTariff,
                              typed ? std::nullopt : std::optional<qint64>(prizes));
        if (!onDay)
            continue;
        receiptSum += bets * betTariff;
        blackSum += blacks * blackTariff;
        prizeSum += prizes * 100;
        prizesKnown = prizesKnown && (!typed || handTyped == 3);
    }
    const QByteArray bytes = journalOf(entries);

    QElapsedTimer clock;
    clock.start();
    QList<day::Sheet> all = sheetsOf(bytes);
    if (handTyped == 3) {
        // Typed on the tab, kept in their file, then read back: a wrong typing
        // first, corrected since; the last of a sheet counts.
        QTemporaryDir dir;
        const QString file = dir.filePath("prix_payes.csv"), journalName = dir.filePath("journal.csv");
        QRandomGenerator again(20261210 + sheets);
        for (int i = 0; i < sheets; ++i) {
            again.bounded(maxBets + 1), again.bounded(maxBets + 1), again.bounded(10000), again.bounded(10000);
            const qint64 prizes = again.bounded(1 << 30);
            if (i % 7 != 3)
                continue;
            const day::Sheet &sheet = all[i];
            QString error;
            for (const Cents typed : {Cents(1), Cents(prizes * 100)})
                QVERIFY2(day::appendTypedPrizes(file, journalName,
                                                {sheet.printed.date(), sheet.category, sheet.file, typed,
                                                 QDateTime(closingDay, QTime(20, 15), QTimeZone::utc())},
                                                &error),
                         qPrintable(error));
        }
        QList<day::TypedPrizes> typed;
        QString error;
        QVERIFY2(day::readTypedPrizes(file, &typed, &error), qPrintable(error));
        day::applyTypedPrizes(all, typed);
    }
    day::DayModel model;
    model.setDay(all, closingDay);
    const qint64 elapsed = clock.elapsed();
    if (sheets >= 1000)
        qInfo("%d rows parsed and the day shown in %lld ms", sheets, elapsed);

    const int last = model.rowCount() - 1;
    QVERIFY(model.isTotalsRow(last));
    for (int column : {day::DayModel::Receipts, day::DayModel::Blacks, day::DayModel::Prizes, day::DayModel::Kept}) {
        Cents sum = 0;
        bool known = true;
        for (int row = 0; row < last; ++row) {
            const QVariant cents = model.data(model.index(row, column), day::DayModel::CentsRole);
            known = known && cents.isValid();
            sum += cents.toLongLong();
            QCOMPARE(model.data(model.index(row, column)).toString(),
                     cents.isValid() ? day::euros(cents.toLongLong()) : day::unknownPrizesText());
        }
        const QVariant total = model.data(model.index(last, column), day::DayModel::CentsRole);
        QCOMPARE(total.isValid(), known);
        if (known)
            QCOMPARE(total.toLongLong(), sum);
        // One sheet not known leaves the others' sum known, and said to be partial.
        else
            QCOMPARE(model.data(model.index(last, column)).toString(), day::partlyKnownText(sum));
    }
    QCOMPARE(model.totals().receipts, receiptSum);
    QCOMPARE(model.totals().blacks, blackSum);
    if (!receipts.isEmpty())
        QCOMPARE(model.data(model.index(last, day::DayModel::Receipts)).toString(), receipts);
    QStringList shown;
    for (int row = 0; row < last && !names.isEmpty(); ++row)
        shown << model.data(model.index(row, day::DayModel::Category)).toString();
    QCOMPARE(shown, names);

    day::CashCount count = countOf({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3});
    count.openingFloat = 12345;
    count.unclaimedPrizes = 678;
    const std::optional<Cents> expected = day::expected(count, model.totals());
    QCOMPARE(expected.has_value(), prizesKnown);
    if (prizesKnown) {
        QCOMPARE(*expected, 12345 + receiptSum - blackSum - prizeSum + 678);
        QCOMPARE(*day::difference(count, model.totals()), 50003 - *expected);
    }
}

void TestDay::days_data()
{
    QTest::addColumn<QList<QDate>>("printed");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("expected"); // the combo box's texts
    QTest::addColumn<QList<QDate>>("counted"); // the cash book's days
    const QDate today(2027, 8, 31);
    QTest::newRow("no journal: today alone") << QList<QDate>() << today << QStringList{"mardi 31 août 2027"} << QList<QDate>();
    QTest::newRow("counted days among the sheets' days, each once, newest first")
        << QList<QDate>{QDate(2027, 3, 4), QDate(2027, 3, 4), QDate(2027, 5, 1)} << today
        << QStringList{"mardi 31 août 2027", "samedi 1er mai 2027", "jeudi 4 mars 2027", "mardi 2 mars 2027"}
        << QList<QDate>{QDate(2027, 5, 1), QDate(2027, 3, 2), QDate(2027, 3, 4)};
    QTest::newRow("today first before its first sheet, then newest first, each once")
        << QList<QDate>{QDate(2026, 12, 1), QDate(2027, 3, 4), QDate(2026, 12, 1)} << today
        << QStringList{"mardi 31 août 2027", "jeudi 4 mars 2027", "mardi 1er décembre 2026"} << QList<QDate>();
    QTest::newRow("today's sheets do not list it twice") << QList<QDate>{today, today, QDate(2027, 1, 10)} << today
                                                         << QStringList{"mardi 31 août 2027", "dimanche 10 janvier 2027"}
                                                         << QList<QDate>();
    // The names are written out by hand: each as QLocale writes it.
    QList<QDate> year;
    QStringList named;
    const QLocale french(QLocale::French);
    const auto name = [&](const QDate &date) {
        return french.toString(date, date.day() == 1 ? "dddd '1er' MMMM yyyy" : "dddd d MMMM yyyy");
    };
    named << name(today);
    for (QDate date(2027, 12, 31); date.year() == 2027; date = date.addDays(-1)) {
        year.prepend(date);
        year.prepend(date);
        if (date != today)
            named << name(date);
    }
    QTest::newRow("a year of days, each once, named as QLocale names them") << year << today << named << QList<QDate>();
}

void TestDay::days()
{
    QFETCH(QList<QDate>, printed);
    QFETCH(QDate, today);
    QFETCH(QStringList, expected);
    QFETCH(QList<QDate>, counted);
    QList<day::Sheet> sheets;
    for (const QDate &date : printed)
        sheets << day::sheetOf(sheetEntry(date, "arc nu", 1, 100, 0, 0, 0)).value();
    QStringList names;
    for (const QDate &date : day::days(sheets, today, counted))
        names << day::dayName(date);
    QCOMPARE(names, expected);
    // The season runs from 1 September to 31 August.
    QCOMPARE(day::seasonName(today), "2026-2027");
    QCOMPARE(day::seasonName(today.addDays(1)), "2027-2028");
    QCOMPARE(day::seasonStatementFileName(QDate(2026, 9, 1)), "bilan_saison_2026-2027.pdf");
    QCOMPARE(day::dayStatementFileName(QDate(2026, 9, 1), 2), "bilan_2026-09-01_n2.pdf");
}

void TestDay::journalRead_data()
{
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<QString>("refused"); // part of the reason; empty: read
    QTest::addColumn<int>("rows");        // of `row`, once read; the one of `typed` comes last
    const QByteArray header = mark + journal::headerRow();
    const QByteArray row = *journal::row(sheetEntry(closingDay, "arc classique", 101, 350, 7, 50, 200));
    const QByteArray typed = *journal::row(sheetEntry(closingDay, "arc nu", 20, 350, 0, 50, std::nullopt));
    QTest::newRow("missing file: no sheet") << QByteArray("missing") << "" << 0;
    QTest::newRow("the program's rows, a list typed by hand among them") << header + row + row + typed << "" << 2;
    // Past a megabyte, the halves are read at once.
    const int many = 12000;
    const QByteArray rows = row.repeated(many);
    QTest::newRow("twenty seasons' size: both halves, each row once, in order") << header + rows + typed << "" << many;
    QTest::newRow("a row no print makes in the second half: its own line")
        << header + rows + QByteArray(row).replace(";101;", ";2000000;") + typed
        << QString("ligne %1\u00a0: la colonne «\u00a0Mises\u00a0»").arg(many + 2) << 0;
    QTest::newRow("a damaged row in each half: the first named")
        << header + row + QByteArray(row).replace("2026-12-10", "2026-02-31") + rows + row.chopped(1) + typed
        << "ligne 3\u00a0: la colonne «\u00a0Date\u00a0»" << 0;
    QTest::newRow("an exponent, as a spreadsheet writes it: read the careful way")
        << header + rows + QByteArray(row).replace(";3,5;", ";3,5e+00;") + typed << "" << many + 1;
    // The halves are cut at the middle's line end: here one inside a quoted
    // category, which the first half then reads on past.
    const int before = many / 2;
    for (int pad = 0; pad < 2 * row.size(); ++pad) {
        const QString category = "arc\r\nclassique" + QString(pad, 'x');
        const QByteArray quoted = *journal::row(sheetEntry(closingDay, category, 101, 350, 7, 50, 200));
        const QByteArray journal = header + row.repeated(before) + quoted + row.repeated(before - 2) + typed;
        const qsizetype quoteAt = header.size() + before * row.size();
        const qsizetype middle = header.size() + (journal.size() - header.size()) / 2;
        if (middle >= quoteAt && journal.indexOf('\n', middle) == quoteAt + quoted.indexOf('\n')) {
            QTest::newRow("a line end inside a quoted field at the middle: read whole")
                << journal << "" << 2 * before - 1;
            break;
        }
    }
    QTest::newRow("last row cut short: its line") << header + row + row.chopped(1) << "ligne 3\u00a0:" << 0;
    QTest::newRow("saved with commas: line 1") << QByteArray(header + row).replace(';', ',') << "ligne 1\u00a0:" << 0;
    QTest::newRow("header without its mark: line 1") << header.mid(3) + row << "ligne 1\u00a0:" << 0;
    QTest::newRow("LF line ends: the first row") << QByteArray(header + row).replace("\r\n", "\n")
                                                 << "ligne 1\u00a0:" << 0;
    QTest::newRow("a field dropped: count of fields") << header + row + QByteArray(row).replace("arc classique;", "")
                                                      << "ligne 3\u00a0: 16\u00a0champs au lieu de 17" << 0;
    QTest::newRow("a day that is none") << header + QByteArray(row).replace("2026-12-10", "2026-02-31")
                                        << "ligne 2\u00a0: la colonne «\u00a0Date\u00a0»" << 0;
    QTest::newRow("bets past any int") << header + QByteArray(row).replace(";101;", ";99999999999;")
                                       << "ligne 2\u00a0: la colonne «\u00a0Mises\u00a0»" << 0;
    QTest::newRow("bets no print makes: refused, not summed") << header + row + QByteArray(row).replace(";101;", ";2000000;")
                                                              << "ligne 3\u00a0: la colonne «\u00a0Mises\u00a0»" << 0;
    QTest::newRow("a list half emptied: neither known nor typed")
        << header + QByteArray(row).replace(";133;67;", ";;67;") << "ligne 2\u00a0: les colonnes Prix principaux" << 0;
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "ligne 1\u00a0:" << 0;
}

void TestDay::journalRead()
{
    QFETCH(QByteArray, journal);
    QFETCH(QString, refused);
    QTemporaryDir dir;
    const QString fileName = dir.filePath("journal.csv");
    if (journal != "missing")
        QVERIFY(writeBytes(fileName, journal));
    QFETCH(int, rows);
    QList<day::Sheet> sheets;
    QString error;
    QCOMPARE(day::readSheets(fileName, &sheets, &error), refused.isEmpty());
    if (refused.isEmpty()) {
        QCOMPARE(sheets.size(), journal == "missing" ? 0 : rows + 1);
        if (sheets.isEmpty())
            return;
        QCOMPARE(day::totalsOf(sheets).receipts, rows * 35350 + 7000);
        // The list typed by hand keeps its sheet's name: its typed prizes go by it.
        QCOMPARE(sheets.last().category, "arc nu");
        QCOMPARE(sheets.last().file, "prixGeneral_x.pdf");
        // Every entry as a print reads them, in the file's order, names and all.
        const QList<journal::Entry> entries = journal::parse(journal).value();
        QCOMPARE(entries.size(), sheets.size());
        QCOMPARE(entries.last().category, "arc nu");
        QCOMPARE(entries.first().sheet, "prixGeneral_x.pdf");
        return;
    }
    QVERIFY2(error.startsWith(fileName + "\u00a0:") && error.contains(refused), qPrintable(error));
    QVERIFY(sheets.isEmpty());
}

void TestDay::cashBook_data()
{
    QTest::addColumn<QByteArray>("book"); // before; "missing": no file
    QTest::addColumn<QString>("refused");  // part of the reason; empty: appended
    QTest::addColumn<int>("number");       // of the appended record
    day::CashRecord first = recordOn(closingDay), other = recordOn(closingDay.addDays(-3));
    first.number = other.number = 1;
    const QByteArray header = mark + day::cashHeaderRow();
    const QByteArray row = day::cashRow(first), otherRow = day::cashRow(other);
    QTest::newRow("no book: mark, header, n° 1") << QByteArray("missing") << "" << 1;
    QTest::newRow("empty file: a new book") << QByteArray() << "" << 1;
    QTest::newRow("the day's second statement: n° 2, the first kept byte for byte")
        << header + otherRow + row << "" << 2;
    QTest::newRow("another day's records do not count") << header + otherRow << "" << 1;
    QTest::newRow("a reason with ; \" and a line end, read back")
        << header + day::cashRow([] {
               day::CashRecord r = recordOn(closingDay, "billet \"faux\";\r\nrendu");
               r.number = 1;
               return r;
           }())
        << "" << 2;
    QTest::newRow("unknown prizes: expected and difference empty, read back")
        << header + day::cashRow([] {
               day::CashRecord r = recordOn(closingDay, {}, false);
               r.number = 1;
               return r;
           }())
        << "" << 2;
    QTest::newRow("saved with commas: foreign") << QByteArray(header + row).replace(';', ',') << "ligne 1\u00a0:" << 0;
    QTest::newRow("saved with LF: foreign") << header + QByteArray(row).replace("\r\n", "\n") << "ligne 2\u00a0:" << 0;
    QTest::newRow("last row cut short") << header + row + row.chopped(2) << "ligne 3\u00a0:" << 0;
    QTest::newRow("counted edited alone: amounts disagree") << header + QByteArray(row).replace(";476,50;", ";400,00;")
                                                           << "ligne 2\u00a0: la colonne «\u00a0Compté\u00a0»" << 0;
    QTest::newRow("a row deleted: numbers out of turn") << header + otherRow + "2" + row.mid(1)
                                                        << "ligne 3\u00a0: le n°\u00a02" << 0;
    QTest::newRow("amount with a decimal point") << header + QByteArray(row).replace(";150,00;", ";150.00;")
                                                 << "ligne 2\u00a0: la colonne «\u00a0Fond de caisse\u00a0»" << 0;
    QTest::newRow("the journal in its place") << mark + journal::headerRow() << "ligne 1\u00a0:" << 0;
    QTest::newRow("a full disk: nothing written") << QByteArray("full") << "No space left on device" << 0;
    QTest::newRow("its statement on a disk that fills: the book as it was, the number unused")
        << QByteArray("statement on a full disk") << "No space left on device" << 0;
    QTest::newRow("another window writing the book: nothing written, its number not taken")
        << QByteArray("locked") << "Une autre fenêtre de Prix général est en train de l'écrire" << 0;
}

void TestDay::cashBook()
{
    QFETCH(QByteArray, book);
    QFETCH(QString, refused);
    QFETCH(int, number);
    QTemporaryDir dir;
    const QString fileName = dir.filePath("caisse.csv"), journalName = dir.filePath("journal.csv");
    const bool statementFails = book == "statement on a full disk";
    if (statementFails) {
        day::CashRecord first = recordOn(closingDay);
        first.number = 1;
        book = mark + day::cashHeaderRow() + day::cashRow(first);
    }
    const bool missing = book == "missing" || book == "full" || book == "locked";
    if (!missing)
        QVERIFY(writeBytes(fileName, book));
    day::CashRecord record = recordOn(closingDay, "erreur de rendu");
    QString error;
    fulldisk::FillingDisk disk(100, 0, {});
    // As another copy of the program holds it while it writes.
    QLockFile writing(journalName + ".lock");
    QVERIFY(book != "locked" || writing.tryLock());
    // A statement that the disk takes part of, then refuses.
    fulldisk::FillingDisk statementDisk(30000, 4096, {});
    const day::Numbered statement{[&](const day::CashRecord &, QString *why) {
                                      return replaceWhole(statementDisk, QByteArray(64 * 1024, '%'), why);
                                  },
                                  {}};
    const bool appended = book == "full"   ? day::appendToCashBook(fileName, disk, journalName, record, &error)
                          : statementFails ? day::appendToCashBook(fileName, *replacementFor(fileName), journalName,
                                                                   record, &error, statement)
                                           : day::appendToCashBook(fileName, journalName, record, &error);
    QVERIFY2(appended == refused.isEmpty(), qPrintable(error));
    QCOMPARE(QFile::exists(journalName + ".lock"), writing.isLocked());
    if (!appended) {
        // Refused as a whole: the bytes as they were, the reason naming the file.
        QVERIFY2(error.startsWith(fileName + "\u00a0:") && error.contains(refused), qPrintable(error));
        QCOMPARE(QFile::exists(fileName), !missing);
        if (!missing)
            QCOMPARE(readBytes(fileName), book);
        // The number a refused record would have taken is the next one's.
        if (statementFails) {
            QVERIFY(!statementDisk.committed);
            QVERIFY2(day::appendToCashBook(fileName, journalName, record, &error), qPrintable(error));
            QCOMPARE(record.number, 2);
        }
        return;
    }
    QCOMPARE(record.number, number);
    const QByteArray after = readBytes(fileName);
    const QByteArray before = missing || book.isEmpty() ? mark + day::cashHeaderRow() : book;
    QCOMPARE(after, before + day::cashRow(record));
    QList<day::CashRecord> records;
    QVERIFY2(day::readCashBook(fileName, &records, &error), qPrintable(error));
    const day::CashRecord last = day::lastOf(records, closingDay).value();
    QCOMPARE(day::cashRow(last), day::cashRow(record));
    QVERIFY(last.count == record.count); // the deposit and the float among them
    QCOMPARE(last.count.reason, "erreur de rendu");
    QCOMPARE(day::nextNumber(records, closingDay), number + 1);
    // The day starts from its last count; the next one, from the float it kept.
    QVERIFY(day::startingCount(records, closingDay) == record.count);
    const day::CashCount next = day::startingCount(records, closingDay.addDays(1));
    QCOMPARE(next.openingFloat, day::floatKept(record.count));
    QCOMPARE(day::counted(next), Cents(0));
    // What was there before reads back as it was written.
    for (const day::CashRecord &r : records)
        QVERIFY(after.contains(day::cashRow(r)));
}

void TestDay::statements_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("withSheets");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("first statement of a day: no replacement, the difference unexplained")
        << 1 << "" << true
        << QStringList{"Bilan de la journée du jeudi 10 décembre 2026", "n°\u00a01", "623,00\u00a0€",
                       "Écart non expliqué", "Le trésorier", "Le vérificateur aux comptes", "Jeanne Archer", "18:42"}
        << QStringList{"remplace"};
    QTest::newRow("a reprint names the number it replaces, the reason shown as typed")
        << 2 << "billet <faux>" << true << QStringList{"n°\u00a02 (remplace le n°\u00a01)", "billet <faux>"}
        << QStringList{"Écart non expliqué", "&lt;"};
    QTest::newRow("a day without a sheet: the cash box alone")
        << 1 << "" << false << QStringList{"caisse seule", "Fond de caisse conservé", "Total des billets"}
        << QStringList{"Feuilles de prix imprimées", "Gardé par le club"};
}

void TestDay::statements()
{
    QFETCH(int, number);
    QFETCH(QString, reason);
    QFETCH(bool, withSheets);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QList<day::Sheet> sheets =
        withSheets ? sheetsOf(journalOf({sheetEntry(closingDay, "arc classique", 101, 350, 7, 50, 200),
                                         sheetEntry(closingDay, "arc poulie", 57, 350, 3, 50, 120),
                                         sheetEntry(closingDay, "arc nu", 20, 350, 0, 50, 40)}))
                   : QList<day::Sheet>();
    day::CashRecord record = day::closing(recordOn(closingDay, reason).count, day::totalsOf(sheets), closingDay,
                                          QDateTime(closingDay, QTime(18, 42)));
    record.number = number;
    const day::Heading heading{":/blason.png", QStringLiteral("Compagnie d'arc de Castelbrune")};
    const paper::Document statement = day::dayStatement(heading, sheets, record);
    QCOMPARE(statement.crestPath, heading.crestPath);
    QCOMPARE(statement.club, heading.club);
    const QString html = paper::plainText(statement);
    for (const QString &text : present)
        QVERIFY2(html.contains(text), qPrintable(text));
    for (const QString &text : absent)
        QVERIFY2(!html.contains(text), qPrintable(text));

    // What the box keeps is what was counted, less the deposit.
    const QString text = plainText(html);
    for (const QString &line : {"Remise en banque " + day::euros(record.count.deposit),
                                "Fond de caisse conservé " + day::euros(day::counted(record.count) - 20000)})
        QVERIFY2(text.contains(plainText(line)), qPrintable(line + " missing from: " + text));

    // The season: this day and an earlier one of it, but not the day before it began.
    QList<day::Sheet> season = sheets;
    season << day::sheetOf(sheetEntry(QDate(2026, 9, 1), "arc nu", 10, 350, 1, 50, 20)).value()
           << day::sheetOf(sheetEntry(QDate(2026, 8, 31), "arc nu", 10, 350, 1, 50, 20)).value();
    day::CashRecord earlier = recordOn(QDate(2026, 9, 1));
    earlier.number = 1;
    // A sheet printed after its day's last count, and a day never counted.
    day::Sheet late = day::sheetOf(sheetEntry(QDate(2026, 9, 1), "arc nu", 10, 350, 1, 50, 20)).value();
    late.printed.setTime(QTime(19, 0));
    season << late << day::sheetOf(sheetEntry(QDate(2026, 10, 3), "arc nu", 10, 350, 1, 50, 20)).value();
    const QString seasonHtml = paper::plainText(day::seasonStatement(heading, closingDay, season, {earlier, record}));
    QVERIFY(seasonHtml.contains("Bilan de la saison 2026-2027"));
    QVERIFY(seasonHtml.contains("mardi 1er septembre 2026"));
    QVERIFY(!seasonHtml.contains("31/08/2026"));
    QVERIFY(seasonHtml.contains(day::euros(day::counted(record.count))));
    // The season's difference is the days' own, added with their signs.
    const QString total = plainText(seasonHtml).section("Total de la saison", 1);
    const QString differences = plainText(day::euros(*earlier.difference + *record.difference));
    QVERIFY2(total.contains(' ' + differences + ' ') || total.endsWith(' ' + differences), qPrintable(total));
    QCOMPARE(plainText(seasonHtml).count("compté avant la dernière feuille"), 1);
    // The day after, its float other than the one the last count kept.
    QCOMPARE(plainText(seasonHtml).count("fond différent du fond conservé avant ("
                                         + plainText(day::euros(day::floatKept(earlier.count))) + ")"),
             1);
    QCOMPARE(plainText(seasonHtml).count("aucun comptage"), 1);
    // A season never counted has no difference, not one of 0,00 €.
    const QString uncounted = plainText(paper::plainText(day::seasonStatement(heading, closingDay, season, {})));
    QVERIFY2(uncounted.section("Total de la saison", 1).contains("aucun comptage"), qPrintable(uncounted));

    // French typography: a no-break space before : ; ! ? in the text read.
    for (const QString &text : {html, seasonHtml}) {
        const QRegularExpression plainSpace("[ \\p{L}][:;!?]");
        QVERIFY2(!plainSpace.match(text).hasMatch(), qPrintable(plainSpace.match(text).captured()));
    }
}

QTEST_GUILESS_MAIN(TestDay)

#include "tst_day.moc"
