#include "settings/settingsfile.h"
#include "settings/settingsline.h"

#include "randomsettingslines.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <cmath>
#include <functional>

Q_DECLARE_METATYPE(Settings)

namespace QTest {
template <>
char *toString(const Settings &s)
{
    return qstrdup(settingsLine(s).toPercentEncoding("; :/.-+").constData());
}
} // namespace QTest

namespace {

#define EXAMPLE_LINE "3.5;1;3;10;3;pourcent;50;30;20;0;0;C:/club/blason.png;5"
static_assert(sizeof(EXAMPLE_LINE) - 1 == 55, "the documented example is 55 bytes");
const QByteArray exampleLine = EXAMPLE_LINE;

Settings example()
{
    Settings s;
    s.betPrice = 3.5;
    s.blackPrice = 1;
    s.minimumGain = 3;
    s.costsPercent = 10;
    s.prizeCount = 3;
    s.fixedPrizes = false;
    s.prizeValues = {50, 30, 20, 0, 0};
    s.crestPath = QStringLiteral("C:/club/blason.png");
    s.roundToFive = true;
    return s;
}

Settings exampleWith(const std::function<void(Settings &)> &change)
{
    Settings s = example();
    change(s);
    return s;
}

// The example line with field n (1 to 13) replaced.
QByteArray exampleWithField(int n, const QByteArray &value)
{
    QList<QByteArray> fields = exampleLine.split(';');
    fields[n - 1] = value;
    return fields.join(';');
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void writesLine_data();
    void writesLine();
    void writesPointUnderFrenchLocale();
    void readsLine_data();
    void readsLine();

    void replacesWholeFile();

    void survivesRandomLines();
};

void TestSettings::writesLine_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("documented example, 55 bytes") << example() << exampleLine;
    QTest::newRow("whole price without point")
        << exampleWith([](Settings &s) { s.betPrice = 2.0; }) << exampleWithField(1, "2");
    QTest::newRow("price with two decimals")
        << exampleWith([](Settings &s) { s.blackPrice = 0.25; }) << exampleWithField(2, "0.25");
    QTest::newRow("largest price in the form")
        << exampleWith([](Settings &s) { s.betPrice = 99.99; }) << exampleWithField(1, "99.99");
    QTest::newRow("fixed prizes written as fixe")
        << exampleWith([](Settings &s) { s.fixedPrizes = true; }) << exampleWithField(6, "fixe");
    QTest::newRow("whole-euro rounding written as 1")
        << exampleWith([](Settings &s) { s.roundToFive = false; }) << exampleWithField(13, "1");
    QTest::newRow("prize values beyond the count in use")
        << exampleWith([](Settings &s) { s.prizeCount = 1; s.prizeValues = {1, 99999, 3, 4, 9999}; })
        << QByteArray("3.5;1;3;10;1;pourcent;1;99999;3;4;9999;C:/club/blason.png;5");
    QTest::newRow("accented crest path in UTF-8")
        << exampleWith([](Settings &s) { s.crestPath = QStringLiteral("C:/Tir à l'arc/écusson.png"); })
        << exampleWithField(12, "C:/Tir \xC3\xA0 l'arc/\xC3\xA9" "cusson.png");
    QTest::newRow("empty crest path")
        << exampleWith([](Settings &s) { s.crestPath.clear(); }) << exampleWithField(12, "");
}

void TestSettings::writesLine()
{
    QFETCH(Settings, settings);
    QFETCH(QByteArray, line);
    QCOMPARE(settingsLine(settings), line);
}

void TestSettings::writesPointUnderFrenchLocale()
{
    QLocale::setDefault(QLocale::French);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    QCOMPARE(settingsLine(example()), exampleLine);
    QCOMPARE(settingsLine(exampleWith([](Settings &s) { s.blackPrice = 0.5; })),
             exampleWithField(2, "0.5"));
}

void TestSettings::readsLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<Settings>("expected");

    QTest::newRow("documented example") << exampleLine << true << example();
    QTest::newRow("empty file ignored") << QByteArray() << false << Settings();
    QTest::newRow("twelve fields ignored")
        << QByteArray("3.5;1;3;10;3;pourcent;50;30;20;0;0;5") << false << Settings();
    QTest::newRow("fourteen fields ignored")
        << exampleWithField(12, "C:/a;b.png") << false << Settings();
    QTest::newRow("separator after last field ignored")
        << exampleLine + ';' << false << Settings();
    QTest::newRow("fixe selects fixed amounts")
        << exampleWithField(6, "fixe") << true << exampleWith([](Settings &s) { s.fixedPrizes = true; });
    QTest::newRow("Fixe with a capital means percentages")
        << exampleWithField(6, "Fixe") << true << example();
    QTest::newRow("FIXE means percentages") << exampleWithField(6, "FIXE") << true << example();
    QTest::newRow("fixe with line end means percentages")
        << exampleWithField(6, "fixe\n") << true << example();
    QTest::newRow("line end after 5 means one euro, rest applies")
        << exampleWithField(13, "5\n") << true << exampleWith([](Settings &s) { s.roundToFive = false; });
    QTest::newRow("unknown rounding means one euro")
        << exampleWithField(13, "10") << true << exampleWith([](Settings &s) { s.roundToFive = false; });
    QTest::newRow("decimal comma reads as zero")
        << exampleWithField(1, "3,5") << true << exampleWith([](Settings &s) { s.betPrice = 0; });
    QTest::newRow("price parsed as float")
        << exampleWithField(2, "0.1") << true << exampleWith([](Settings &s) { s.blackPrice = double(0.1f); });
    QTest::newRow("minimum gain 7.9 truncates to 7")
        << exampleWithField(3, "7.9") << true << exampleWith([](Settings &s) { s.minimumGain = 7; });
    QTest::newRow("minimum gain -7.9 truncates toward zero")
        << exampleWithField(3, "-7.9") << true << exampleWith([](Settings &s) { s.minimumGain = -7; });
    QTest::newRow("7.9 in costs percentage reads as zero")
        << exampleWithField(4, "7.9") << true << exampleWith([](Settings &s) { s.costsPercent = 0; });
    QTest::newRow("trailing letters read as zero")
        << exampleWithField(5, "3x") << true << exampleWith([](Settings &s) { s.prizeCount = 0; });
    QTest::newRow("empty number reads as zero")
        << exampleWithField(7, "") << true
        << exampleWith([](Settings &s) { s.prizeValues[0] = 0; });
    QTest::newRow("out-of-range values passed on for the spin boxes")
        << QByteArray("-5;500;1000;-1;9;pourcent;100000;200000;-3;10000;7;;1") << true
        << exampleWith([](Settings &s) {
               s = {-5, 500, 1000, -1, 9, false, {100000, 200000, -3, 10000, 7}, QString(), false};
           });
    QTest::newRow("huge minimum gain saturates")
        << exampleWithField(3, "1e30") << true << exampleWith([](Settings &s) { s.minimumGain = INT_MAX; });
    QTest::newRow("huge negative minimum gain saturates")
        << exampleWithField(3, "-1e30") << true << exampleWith([](Settings &s) { s.minimumGain = INT_MIN; });
    QTest::newRow("price beyond float range reads as zero")
        << exampleWithField(1, "1e39") << true << exampleWith([](Settings &s) { s.betPrice = 0; });
    QTest::newRow("nan price reads as zero")
        << exampleWithField(2, "nan") << true << exampleWith([](Settings &s) { s.blackPrice = 0; });
    QTest::newRow("inf minimum gain reads as zero")
        << exampleWithField(3, "inf") << true << exampleWith([](Settings &s) { s.minimumGain = 0; });
    QTest::newRow("-inf price reads as zero")
        << exampleWithField(1, "-inf") << true << exampleWith([](Settings &s) { s.betPrice = 0; });
    QTest::newRow("integer beyond 32 bits reads as zero")
        << exampleWithField(8, "99999999999") << true
        << exampleWith([](Settings &s) { s.prizeValues[1] = 0; });
    QTest::newRow("crest path read as UTF-8")
        << exampleWithField(12, "C:/\xC3\xA9quipe/bl\xC3\xA2son.png") << true
        << exampleWith([](Settings &s) { s.crestPath = QStringLiteral("C:/équipe/blâson.png"); });
}

void TestSettings::readsLine()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, applies);
    QFETCH(Settings, expected);

    const std::optional<Settings> read = parseSettingsLine(line);
    QCOMPARE(read.has_value(), applies);
    if (applies)
        QCOMPARE(*read, expected);
}

void TestSettings::replacesWholeFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("save.ini");
    QVERIFY(writeBytes(path, QByteArray(200, 'x')));

    QVERIFY(writeSettingsFile(path, exampleLine));
    QCOMPARE(fileBytes(path), exampleLine);
    QCOMPARE(readSettingsFile(path), exampleLine);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"save.ini"});
}

// Whatever a file holds, reading never fails in a way a spin box cannot
// take, and what was read saves and reads back the same.
void TestSettings::survivesRandomLines()
{
    QRandomGenerator rng(20240611);
    int applied = 0;
    for (int round = 0; round < 20000; ++round) {
        const QByteArray line = randomSettingsLine(rng);
        const std::optional<Settings> read = parseSettingsLine(line);
        QCOMPARE(read.has_value(), line.count(';') == 12);
        if (!read)
            continue;
        ++applied;
        QVERIFY2(std::isfinite(read->betPrice) && std::isfinite(read->blackPrice), line.toHex());
        QVERIFY(!read->crestPath.contains(';'));

        const std::optional<Settings> again = parseSettingsLine(settingsLine(*read));
        QVERIFY2(again, line.toHex());
        Settings rest = *again;
        rest.betPrice = read->betPrice;
        rest.blackPrice = read->blackPrice;
        QCOMPARE(rest, *read);
    }
    QVERIFY(applied > 1000);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
