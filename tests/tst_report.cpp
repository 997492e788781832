#include "files/lockedfile.h"
#include "files/wholefile.h"
#include "journal/journal.h"
#include "journal/journalfile.h"
#include "report/sheet.h"
#include "testhelpers.h"

#include <QtTest>

#include <climits>
#include <cfloat>
#include <cstring>
#include <future>
#include <thread>

namespace {

// 120 bets at 3.50 €, 35 blacks at 0.50 €, 20 % costs; 318 € shared out.
journal::Entry entryOn(int day, const QString &category = QStringLiteral("arc classique"), int bets = 120)
{
    return {QDateTime(QDate(2026, 12, day), QTime(14, 32, 51)), category, bets, 3.5, 420, 20, 84, 35, 0.5, 17.5f,
            318, prizes::ListAmounts{210, 105, 3}, false, QStringLiteral("prixGeneral_arc_classique.pdf")};
}

const QByteArray knownRow = "2026-12-09;14:32;arc classique;120;3,50;420;20;84;35;0,50;17,5;318;210;105;3;non;"
                            "prixGeneral_arc_classique.pdf\r\n";

SheetContent knownState()
{
    SheetContent content;
    content.crestPath = QStringLiteral(":/blason.png");
    content.category = QStringLiteral("arc classique");
    content.poolText = QStringLiteral("1000 €");
    content.bets = 120;
    content.blacksPaid = 35;
    content.prizeListHtml = QStringLiteral("<!DOCTYPE HTML><html><body><p>liste</p></body></html>");
    return content;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void sheetForKnownState();
    void journalRow_data();
    void journalRow();
    void journalRecords_data();
    void journalRecords();
    void journalRowsReadBack_data();
    void journalRowsReadBack();
    void journalFieldShapes_data();
    void journalFieldShapes();
    void journalNumbersReadExactly();
    void journalWriters_data();
    void journalWriters();
};

void TestReport::fileName_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("expected");
    QTest::newRow("classique") << "arc classique" << "prixGeneral_arc_classique.pdf";
    QTest::newRow("poulie") << "arc poulie" << "prixGeneral_arc_poulie.pdf";
    QTest::newRow("droit") << "arc droit" << "prixGeneral_arc_droit.pdf";
    QTest::newRow("every space replaced") << " arc  nu " << "prixGeneral__arc__nu_.pdf";
}

void TestReport::fileName()
{
    QFETCH(QString, category);
    QFETCH(QString, expected);
    QCOMPARE(sheetFileName(category), expected);
}

void TestReport::sheetForKnownState()
{
    // Body and html stay open; the exported list follows the header directly.
    SheetContent content = knownState();
    QCOMPARE(sheetHtml(content),
             "<html><body><center><img src=\":/blason.png\" height=300><BR><H1>Prix général arc classique</H1>"
             "<H2>Montant des prix</H2></center><BR>Somme à distribuer : 1000 €<BR>120 mises effectuées<BR>"
             "35 noirs payés<BR>" + content.prizeListHtml);

    content.crestPath.clear();
    QVERIFY(sheetHtml(content).startsWith("<html><body><center><img src=\"\" height=300><BR>"));
}

void TestReport::journalRow_data()
{
    QTest::addColumn<QString>("change"); // field=value
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *from, const char *to) { return QByteArray(knownRow).replace(from, to); };
    QTest::newRow("known day: cents, decimal comma, minutes, CRLF") << "" << knownRow;
    QTest::newRow("whole blacks without a comma") << "blacks=18" << row(";17,5;", ";18;");
    QTest::newRow("whole tariff to the cent") << "betPrice=4" << row(";3,50;", ";4,00;");
    QTest::newRow("negative leftover keeps its sign") << "leftover=-2" << row(";3;non", ";-2;non");
    QTest::newRow("a list not as computed is marked") << "modified=1" << row(";non;", ";oui;");
    QTest::newRow("accented category unquoted, in UTF-8")
        << "category=arc à poulie" << row("arc classique", "arc à poulie");
    QTest::newRow("category with a semicolon quoted") << "category=arc; nu" << row("arc classique", "\"arc; nu\"");
    QTest::newRow("category with a double quote quoted, the quote doubled")
        << "category=arc \"nu\"" << row("arc classique", "\"arc \"\"nu\"\"\"");
    QTest::newRow("category with a line end quoted") << "category=arc\nnu" << row("arc classique", "\"arc\nnu\"");
    QTest::newRow("list typed by hand, no Calculer: prize fields empty") << "list=none" << row(";210;105;3;", ";;;;");
    // Written, the next print would find a journal it does not know and refuse it.
    QTest::newRow("blacks not a number: refused, not written") << "blacks=nan" << QByteArray();
    QTest::newRow("infinite leftover: refused, not written") << "leftover=inf" << QByteArray();
    QTest::newRow("tariff of infinity: refused, not written") << "betPrice=-inf" << QByteArray();
}

void TestReport::journalRow()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, expected);
    journal::Entry entry = entryOn(9);
    const QString value = change.section('=', 1);
    const double number = value == "nan" ? qQNaN() : value.endsWith("inf") ? value.startsWith('-') ? -qInf() : qInf()
                                                                           : value.toDouble();
    entry.blacks = change.startsWith("blacks") ? float(number) : entry.blacks;
    entry.betPrice = change.startsWith("betPrice") ? number : entry.betPrice;
    entry.list->leftover = change.startsWith("leftover") ? float(number) : entry.list->leftover;
    entry.listModified = change.startsWith("modified");
    entry.category = change.startsWith("category") ? value : entry.category;
    if (change == "list=none")
        entry.list.reset();
    QString refused;
    QCOMPARE(journal::row(entry, &refused).value_or(QByteArray()), expected);
    QCOMPARE(refused.isEmpty(), !expected.isEmpty());
    if (expected.isEmpty())
        return;
    // It reads back as a row of the program's: its shoot recorded again replaces it.
    const QByteArray journal = "\xEF\xBB\xBF" + journal::headerRow() + expected;
    const journal::Shoot shoot{entry.printed.date(), entry.category, entry.sheet};
    QCOMPARE(journal::recorded(journal, entry, shoot).value_or(QByteArray()), journal);
}

void TestReport::journalRecords_data()
{
    const QByteArray header = "\xEF\xBB\xBF"
                              "Date;Heure;Catégorie;Mises;Tarif de la mise;Somme encaissée;"
                              "Pourcentage de frais;Montant des frais;Noirs payés;Tarif des noirs;Somme des noirs "
                              "payés;Somme à distribuer;Prix principaux;Gains minimum;Fraction honteux;Liste "
                              "modifiée;Feuille\r\n";
    const QByteArray yesterday = *journal::row(entryOn(8)), poulie = *journal::row(entryOn(9, "arc poulie"));
    const QByteArray first = *journal::row(entryOn(9, "arc classique", 100)), today = *journal::row(entryOn(9));
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<bool>("replacing");      // the shoot of the day's first row of arc classique
    QTest::addColumn<QByteArray>("expected"); // empty: refused as foreign
    QTest::newRow("no journal: mark, header, the row") << QByteArray() << false << header + today;
    QTest::newRow("a shoot replaced in place, other rows byte for byte")
        << header + yesterday + first + poulie << true << header + yesterday + today + poulie;
    QTest::newRow("a second shoot of the day: a row of its own, the first kept")
        << header + yesterday + first + poulie << false << header + yesterday + first + poulie + today;
    QTest::newRow("another day's row of the category stays") << header + yesterday << true
                                                             << header + yesterday + today;
    QTest::newRow("saved without the mark: foreign") << header.mid(3) + yesterday << false << QByteArray();
    QTest::newRow("saved with commas: foreign") << QByteArray(header + yesterday).replace(';', ',') << false << QByteArray();
    QTest::newRow("saved with a decimal point: foreign")
        << header + QByteArray(yesterday).replace("3,50", "3.5") << false << QByteArray();
    QTest::newRow("saved with LF line ends: foreign") << QByteArray(header + poulie).replace('\r', "") << false << QByteArray();
    QTest::newRow("last row cut short: foreign") << header + poulie.chopped(1) << false << QByteArray();
    QTest::newRow("binary: foreign") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << false << QByteArray();
}

void TestReport::journalRecords()
{
    QFETCH(QByteArray, journal);
    QFETCH(bool, replacing);
    QFETCH(QByteArray, expected);
    const journal::Entry entry = entryOn(9);
    const std::optional<journal::Shoot> shoot =
        replacing ? std::optional(journal::Shoot{entry.printed.date(), entry.category, entry.sheet}) : std::nullopt;
    QCOMPARE(journal::recorded(journal, entry, shoot).value_or(QByteArray()), expected);
}

// Entries as a print could make them, and past anything a print makes.
void TestReport::journalRowsReadBack_data()
{
    QTest::addColumn<QList<double>>("values"); // bets, prices, blacks, leftover in turn; empty: random
    QTest::newRow("random entries of any size") << QList<double>();
    QTest::newRow("extreme counts and prices")
        << QList<double>{INT_MIN, DBL_MAX, -FLT_MAX, FLT_MIN, INT_MAX, -0.0, FLT_MAX, -FLT_MAX};
    QTest::newRow("prices below a cent, amounts with exponents")
        << QList<double>{0, 0.004, 1234567.0, -1e-30, 1, 1e-300, 9.99999e37, 1e+06};
}

void TestReport::journalRowsReadBack()
{
    QFETCH(QList<double>, values);
    QRandomGenerator random(20261209);
    const auto text = [&random] {
        QString t;
        const QString characters = QStringLiteral("a;\"\r\n é€,.-0");
        for (int n = random.bounded(12); n > 0; --n)
            t += characters[random.bounded(int(characters.size()))];
        return t;
    };
    for (int i = 0; i < (values.isEmpty() ? 2000 : values.size() / 4); ++i) {
        const auto any = [&](int k) {
            return values.isEmpty() ? (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(38))
                                    : values[i * 4 + k];
        };
        journal::Entry entry;
        entry.printed = QDateTime(QDate(2026, 1, 1).addDays(random.bounded(3000)), QTime(random.bounded(24), 59));
        entry.category = text();
        entry.bets = entry.blacksPaid = entry.receipts = values.isEmpty() ? int(random.generate()) : int(any(0));
        entry.betPrice = entry.blackPrice = any(1);
        entry.blacks = float(any(2));
        entry.pool = entry.costs = entry.bets / -3;
        if (random.bounded(2) || !values.isEmpty())
            entry.list = prizes::ListAmounts{qint64(random.generate64()), -qint64(random.generate()), float(any(3))};
        entry.sheet = text();
        const std::optional<QByteArray> row = journal::row(entry);
        QVERIFY(row);
        // Read back as the program's own: its shoot recorded again replaces its row.
        const QByteArray journal = "\xEF\xBB\xBF" + journal::headerRow() + *row;
        const journal::Shoot shoot{entry.printed.date(), entry.category, entry.sheet};
        QVERIFY2(journal::recorded(journal, entry, shoot) == journal, row->constData());
    }
}

// One field of a known row changed: read as the program's own, or refused
// naming its column, exactly where the program writes that shape or not.
void TestReport::journalFieldShapes_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("read");

    const auto add = [](int column, const QString &field, bool read) {
        QTest::addRow("column %d: \"%s\"", column, qPrintable(field)) << column << field << read;
    };
    for (const char *date : {"2026-12-09", "0001-01-01"})
        add(0, QString::fromLatin1(date), true);
    for (const char *date : {"2026-1-09", "20261-12-09", "2026-12-09 ", "2026/12/09", "26-12-09", ""})
        add(0, QString::fromLatin1(date), false);
    add(0, QStringLiteral("\u0662\u0660\u0662\u0666-12-09"), false); // digits, but not ASCII ones
    add(1, QStringLiteral("14:32"), true);
    for (const char *time : {"14:3", "1432", "14h32", "14:32:51", " 14:32"})
        add(1, QString::fromLatin1(time), false);
    add(2, QStringLiteral("a, b et 3,50"), true);
    for (const char *count : {"120", "-120", "0", "2147483647", "0002147483647"})
        add(3, QString::fromLatin1(count), true);
    for (const char *count : {"+120", "12a", "", "-", "1 200", "1,0", "1e+02", "2147483648", "-2147483649"})
        add(3, QString::fromLatin1(count), false);
    for (const char *price : {"3,50", "-3,50", "0,00"})
        add(4, QString::fromLatin1(price), true);
    for (const char *price : {"3,5", "3.50", ",50", "3,500", "3", "-,50", "3,50e+00"})
        add(4, QString::fromLatin1(price), false);
    for (const char *amount : {"17,5", "17", "-0", "1,75e+01", "1e+01", "1,5e-07"})
        add(10, QString::fromLatin1(amount), true);
    for (const char *amount : {"1E+01", "1e01", "1,e+01", "17,", ",5", "1e+", "1e-x", "17,5 ", "inf", "1e+99"})
        add(10, QString::fromLatin1(amount), false);
    add(12, QStringLiteral("2,1"), false);
    add(12, QStringLiteral("9223372036854775807"), true);
    add(12, QStringLiteral("9223372036854775808"), false);
    for (const char *leftover : {"3", "3,25e-02"})
        add(14, QString::fromLatin1(leftover), true);
    for (const char *leftover : {"e-02", "3,25e", "--3"})
        add(14, QString::fromLatin1(leftover), false);
    for (const char *modified : {"oui", "non"})
        add(15, QString::fromLatin1(modified), true);
    for (const char *modified : {"Oui", "", "ouinon", "no"})
        add(15, QString::fromLatin1(modified), false);
}

void TestReport::journalFieldShapes()
{
    QFETCH(int, column);
    QFETCH(QString, field);
    QFETCH(bool, read);
    QList<QByteArray> fields = knownRow.chopped(2).split(';');
    fields[column] = field.toUtf8();
    const QByteArray journal = "\xEF\xBB\xBF" + journal::headerRow() + fields.join(';') + "\r\n";
    QString refused;
    const std::optional<QList<journal::Entry>> entries = journal::parse(journal, &refused);
    QVERIFY2(entries.has_value() == read, qPrintable(refused));
    if (read)
        return;
    const QString title = QString::fromUtf8(journal::headerRow().chopped(2).split(';')[column]);
    QVERIFY2(refused.startsWith("ligne 2\u00a0: la colonne «\u00a0" + title + "\u00a0»"), qPrintable(refused));
}

// Decimals read as QString::toDouble() reads them, to the last bit: short
// ones, long ones, and those with a sign, leading zeros or an exponent.
void TestReport::journalNumbersReadExactly()
{
    QRandomGenerator random(20261210);
    const auto digits = [&random](int count) {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QChar(u'0' + random.bounded(10));
        return text;
    };
    const QByteArray start = "\xEF\xBB\xBF" + journal::headerRow();
    for (int i = 0; i < 4000; ++i) {
        const QString sign = random.bounded(4) == 0 ? QStringLiteral("-") : QString();
        const QString price = sign + digits(1 + random.bounded(18)) + ',' + digits(2);
        QString amount = sign + digits(1 + random.bounded(17));
        if (random.bounded(3))
            amount += ',' + digits(1 + random.bounded(16));
        if (random.bounded(8) == 0)
            amount += QStringLiteral("e-0") + digits(1);
        QList<QByteArray> fields = knownRow.chopped(2).split(';');
        fields[4] = price.toUtf8();
        fields[10] = amount.toUtf8();
        QString refused;
        const std::optional<QList<journal::Entry>> entries =
            journal::parse(start + fields.join(';') + "\r\n", &refused);
        const auto expected = [](const QString &text) { return QString(text).replace(',', '.').toDouble(); };
        if (std::fabs(expected(amount)) > FLT_MAX) {
            QVERIFY(!entries);
            continue;
        }
        QVERIFY2(entries && entries->size() == 1, qPrintable(price + ' ' + amount + ' ' + refused));
        const journal::Entry &entry = entries->first();
        const double betPrice = expected(price);
        QVERIFY2(std::memcmp(&entry.betPrice, &betPrice, sizeof(double)) == 0, qPrintable(price));
        const float blacks = float(expected(amount));
        QVERIFY2(std::memcmp(&entry.blacks, &blacks, sizeof(float)) == 0, qPrintable(amount));
    }
}

namespace {

// Stands between a writer's read of the journal and its write, as another
// copy of the program printing at that very moment does.
class WriteBetween final : public FileReplacement
{
public:
    WriteBetween(const QString &fileName, std::function<void()> between)
        : real(replacementFor(fileName)), between(std::move(between))
    {
    }
    bool open() override
    {
        between();
        return real->open();
    }
    qint64 write(const char *data, qint64 size) override { return real->write(data, size); }
    bool flush() override { return real->flush(); }
    bool sync() override { return real->sync(); }
    bool commit() override { return real->commit(); }
    void cancel() override { real->cancel(); }
    QString failure() const override { return real->failure(); }

private:
    std::unique_ptr<FileReplacement> real;
    std::function<void()> between;
};

journal::Entry entryNamed(const QString &category)
{
    journal::Entry entry = entryOn(9, category);
    entry.printed = QDateTime::currentDateTime();
    return entry;
}

// The categories of the journal's rows, in order.
QStringList categories(const QString &fileName)
{
    QStringList found;
    QFile file(fileName);
    const QList<QByteArray> lines = file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            found << QString::fromUtf8(lines[i].split(';').value(2));
    return found;
}

QProcess *startCopy(QObject *parent, const QStringList &arguments)
{
    auto *copy = new QProcess(parent);
    copy->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy->start(QCoreApplication::applicationFilePath(), arguments);
    return copy;
}

} // namespace

void TestReport::journalWriters_data()
{
    QTest::addColumn<QString>("other"); // what the other copy of the program does
    QTest::newRow("second copy reads between the first's read and write: both rows kept") << "between";
    QTest::newRow("two copies recording at once, many times: every row kept") << "records";
    QTest::newRow("a copy killed while holding the journal does not block the next") << "killed";
#ifdef Q_OS_LINUX
    QTest::newRow("a copy killed under another account leaves a lock this one cannot remove: the message names it")
        << "killed, other account";
    QTest::newRow("a copy of another account writing the journal: the message says a window writes it")
        << "holding, other account";
#endif
}

void TestReport::journalWriters()
{
    QFETCH(QString, other);
    QTemporaryDir dir;
    const QString fileName = dir.filePath("journal.csv");
    QObject copies;
    QString error, otherError;
    if (other == "between") {
        bool otherRecorded = false;
        std::thread second;
        std::promise<void> done;
        WriteBetween first(fileName, [&] {
            second = std::thread([&] {
                otherRecorded = journal::recordInJournal(fileName, entryNamed("arc poulie"), &otherError);
                done.set_value();
            });
            // Room for it to write all it can before the first writes.
            done.get_future().wait_for(std::chrono::seconds(1));
        });
        QVERIFY2(journal::recordInJournal(fileName, first, entryNamed("arc classique"), &error), qPrintable(error));
        second.join();
        QVERIFY2(otherRecorded, qPrintable(otherError));
        QCOMPARE(categories(fileName), (QStringList{"arc classique", "arc poulie"}));
        return;
    }
    if (other == "records") {
        const int each = 100;
        QProcess *a = startCopy(&copies, {"--record", fileName, "A", QString::number(each)});
        QProcess *b = startCopy(&copies, {"--record", fileName, "B", QString::number(each)});
        QVERIFY(a->waitForFinished(120000) && b->waitForFinished(120000));
        QCOMPARE(a->exitCode() + b->exitCode(), 0);
        QStringList kept = categories(fileName);
        qInfo("%d rows recorded by two processes, %lld kept", 2 * each, qlonglong(kept.size()));
        kept.sort();
        QStringList expected;
        for (int i = 0; i < each; ++i)
            expected << QStringLiteral("A %1").arg(i, 3, 10, QLatin1Char('0'))
                     << QStringLiteral("B %1").arg(i, 3, 10, QLatin1Char('0'));
        expected.sort();
        QCOMPARE(kept, expected);
        return;
    }
    // Killed with the lock taken, as a crash in the middle of a write leaves it,
    // or writing still.
    QProcess *holder = testhelpers::startLockHolder(&copies, fileName);
    QVERIFY(holder);
    if (other.startsWith("killed")) {
        holder->kill();
        QVERIFY(holder->waitForFinished(30000));
    }
    const QString lockName = fileName + ".lock";
    if (other.endsWith("other account")) {
#ifdef Q_OS_LINUX
        testhelpers::OtherAccount account(dir.path(), lockName);
        QVERIFY(account.ok);
        QVERIFY(!journal::recordInJournal(fileName, entryNamed("arc classique"), &error));
#endif
        QVERIFY(QFile::exists(lockName) && !QFile::exists(fileName));
        QCOMPARE(error, other.startsWith("killed")
                            ? QStringLiteral("Son verrou %1 est resté après l'arrêt brutal d'une fenêtre de Prix "
                                             "général, et le programme ne peut pas le supprimer\u00a0: le journal a "
                                             "été laissé tel quel. Supprimez ce fichier (au besoin depuis le compte "
                                             "qui l'a créé), puis imprimez de nouveau.")
                                  .arg(QDir::toNativeSeparators(QFileInfo(lockName).absoluteFilePath()))
                            : QStringLiteral("Une autre fenêtre de Prix général est en train de l'écrire\u00a0: il a "
                                             "été laissé tel quel. Imprimez de nouveau dans un instant."));
        holder->kill();
        holder->waitForFinished(30000);
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QVERIFY2(journal::recordInJournal(fileName, entryNamed("arc classique"), &error), qPrintable(error));
    QVERIFY2(clock.elapsed() < writerLockWait, qPrintable(QString::number(clock.elapsed())));
}

// This test started again as another copy of the program writing the journal:
//   --record JOURNAL NAME COUNT  records COUNT sheets, categories "NAME 000" on
//   --hold JOURNAL               takes the journal's lock, says so, and keeps it
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == "--record") {
        for (int i = 0; i < arguments.value(4).toInt(); ++i) {
            QString error;
            const QString name = arguments[3] + QStringLiteral(" %1").arg(i, 3, 10, QLatin1Char('0'));
            if (!journal::recordInJournal(arguments[2], entryNamed(name), &error))
                qFatal("%s: %s", qPrintable(name), qPrintable(error));
        }
        return 0;
    }
    if (arguments.value(1) == "--hold")
        return testhelpers::holdJournalLock(arguments[2]);
    TestReport test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_report.moc"
