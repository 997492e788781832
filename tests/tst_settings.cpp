#include "files/wholefile.h"
#include "settings/settingsfile.h"
#include "settings/settingsline.h"

#include "randomsettingslines.h"
#include "testhelpers.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_WIN
#include <filesystem>
#endif

Q_DECLARE_METATYPE(Settings)

namespace QTest {
template <>
char *toString(const Settings &s)
{
    return qstrdup(settingsLine(s).toPercentEncoding("; :/.-+").constData());
}
} // namespace QTest

namespace {

// The club's example: 3.5 € bets, 1 € blacks, 3 € minimum, 10 % costs, three
// prizes by percentage, crest C:/club/blason.png, rounding to 5 €.
const QByteArray exampleLine = goodSettingsLine();
const Settings example{3.5, 1, 3, 10, 3, false, {50, 30, 20, 0, 0}, QStringLiteral("C:/club/blason.png"), true, {}};

Settings exampleWith(const std::function<void(Settings &)> &change)
{
    Settings s = example;
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

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void writesLine_data();
    void writesLine();
    void readsLine_data();
    void readsLine();
    void replacesWholeFile();
    void readsOnlyPlainFiles_data();
    void readsOnlyPlainFiles();
    void survivesRandomLines();
};

void TestSettings::writesLine_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("example line, 55 bytes") << example << exampleLine;
    QTest::newRow("whole price without point")
        << exampleWith([](Settings &s) { s.betPrice = 2.0; }) << exampleWithField(1, "2");
    QTest::newRow("fixed prizes and whole-euro rounding")
        << exampleWith([](Settings &s) { s.fixedPrizes = true; s.roundToFive = false; })
        << QByteArray("3.5;1;3;10;3;fixe;50;30;20;0;0;C:/club/blason.png;1");
    QTest::newRow("prize values beyond the count in use")
        << exampleWith([](Settings &s) { s.prizeCount = 1; s.prizeValues = {1, 99999, 3, 4, 9999}; })
        << QByteArray("3.5;1;3;10;1;pourcent;1;99999;3;4;9999;C:/club/blason.png;5");
    QTest::newRow("accented crest path in UTF-8")
        << exampleWith([](Settings &s) { s.crestPath = QStringLiteral("C:/Tir à l'arc/écusson.png"); })
        << exampleWithField(12, "C:/Tir \xC3\xA0 l'arc/\xC3\xA9" "cusson.png");
}

void TestSettings::writesLine()
{
    QFETCH(Settings, settings);
    QFETCH(QByteArray, line);
    QCOMPARE(settingsLine(settings), line);

    QLocale::setDefault(QLocale::French);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    QCOMPARE(settingsLine(settings), line);
}

void TestSettings::readsLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<Settings>("expected");

    const auto with = exampleWith;
    QTest::newRow("example line") << exampleLine << true << example;
    QTest::newRow("empty file ignored") << QByteArray() << false << Settings();
    QTest::newRow("twelve fields ignored")
        << QByteArray("3.5;1;3;10;3;pourcent;50;30;20;0;0;5") << false << Settings();
    QTest::newRow("fourteen fields ignored") << exampleWithField(12, "C:/a;b.png") << false << Settings();
    QTest::newRow("fixe selects fixed amounts")
        << exampleWithField(6, "fixe") << true << with([](Settings &s) { s.fixedPrizes = true; });
    QTest::newRow("Fixe with a capital means percentages") << exampleWithField(6, "Fixe") << true << example;
    QTest::newRow("FIXE means percentages") << exampleWithField(6, "FIXE") << true << example;
    QTest::newRow("line end after 5 means one euro, rest applies")
        << exampleWithField(13, "5\n") << true << with([](Settings &s) { s.roundToFive = false; });
    QTest::newRow("decimal comma reads as zero")
        << exampleWithField(1, "3,5") << true << with([](Settings &s) { s.betPrice = 0; });
    QTest::newRow("minimum gain 7.9 truncates to 7")
        << exampleWithField(3, "7.9") << true << with([](Settings &s) { s.minimumGain = 7; });
    QTest::newRow("7.9 in costs percentage reads as zero")
        << exampleWithField(4, "7.9") << true << with([](Settings &s) { s.costsPercent = 0; });
    QTest::newRow("trailing letters read as zero")
        << exampleWithField(5, "3x") << true << with([](Settings &s) { s.prizeCount = 0; });
    QTest::newRow("integer beyond 32 bits reads as zero")
        << exampleWithField(8, "99999999999") << true << with([](Settings &s) { s.prizeValues[1] = 0; });
    QTest::newRow("huge minimum gain saturates")
        << exampleWithField(3, "1e30") << true << with([](Settings &s) { s.minimumGain = INT_MAX; });
    QTest::newRow("huge negative minimum gain saturates")
        << exampleWithField(3, "-1e30") << true << with([](Settings &s) { s.minimumGain = INT_MIN; });
    QTest::newRow("price beyond float range reads as zero")
        << exampleWithField(1, "1e39") << true << with([](Settings &s) { s.betPrice = 0; });
    QTest::newRow("nan price reads as zero")
        << exampleWithField(2, "nan") << true << with([](Settings &s) { s.blackPrice = 0; });
    QTest::newRow("inf minimum gain reads as zero")
        << exampleWithField(3, "inf") << true << with([](Settings &s) { s.minimumGain = 0; });
    QTest::newRow("crest path read as UTF-8")
        << exampleWithField(12, "C:/\xC3\xA9quipe/bl\xC3\xA2son.png") << true
        << with([](Settings &s) { s.crestPath = QStringLiteral("C:/équipe/blâson.png"); });
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
    QVERIFY(testhelpers::writeBytes(path, QByteArray(200, 'x')));

    QString error;
    QVERIFY2(replaceWhole(path, exampleLine, &error), qPrintable(error));
    QCOMPARE(readSettingsFile(path), exampleLine);
    QCOMPARE(testhelpers::dirEntries(dir.path()), QStringList{"save.ini"});
}

void TestSettings::readsOnlyPlainFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain file is read") << "file" << exampleLine;
    QTest::newRow("link to a plain file is read") << "link" << exampleLine;
    QTest::newRow("named pipe does not block") << "fifo" << QByteArray();
    QTest::newRow("link to an endless device does not exhaust memory") << "device" << QByteArray();
    QTest::newRow("directory reads as nothing") << "directory" << QByteArray();
    QTest::newRow("file past the size cap is ignored") << "huge" << QByteArray();
    QTest::newRow("file at the size cap is read") << "cap" << QByteArray(maxSettingsFileSize, ';');
}

void TestSettings::readsOnlyPlainFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("save.ini");
    if (kind == "file" || kind == "link") {
        QVERIFY(testhelpers::writeBytes(dir.filePath("real.ini"), exampleLine));
#ifdef Q_OS_WIN
        // QFile::link makes a shell shortcut here, which the file system
        // does not follow; a symbolic link is what it follows.
        if (kind == "link") {
            std::error_code error;
            std::filesystem::create_symlink(dir.filePath("real.ini").toStdWString(), path.toStdWString(), error);
            if (error)
                QSKIP("symbolic links need Developer Mode or administrator rights here");
        } else {
            QVERIFY(QFile::rename(dir.filePath("real.ini"), path));
        }
#else
        QVERIFY(kind == "file" ? QFile::rename(dir.filePath("real.ini"), path)
                               : QFile::link(dir.filePath("real.ini"), path));
#endif
    } else if (kind == "fifo") {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
        QSKIP("no named pipes in the file system here");
#endif
    } else if (kind == "device") {
        if (!QFileInfo::exists("/dev/zero"))
            QSKIP("no /dev/zero here");
        QVERIFY(QFile::link("/dev/zero", path));
    } else if (kind == "directory") {
        QVERIFY(QDir(dir.path()).mkdir("save.ini"));
    } else {
        QVERIFY(testhelpers::writeBytes(path, kind == "huge" ? QByteArray(maxSettingsFileSize + 1, ';') : expected));
    }
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(readSettingsFile(path), expected);
    QVERIFY(clock.elapsed() < 5000);
}

// Whatever a file holds, reading gives values a spin box can take, and what
// was read saves and reads back the same.
void TestSettings::survivesRandomLines()
{
    QRandomGenerator rng(20240611);
    int applied = 0;
    for (int round = 0; round < 4000; ++round) {
        const QByteArray line = randomSettingsLine(rng);
        const std::optional<Settings> read = parseSettingsLine(line);
        QCOMPARE(read.has_value(), line.count(';') == 12);
        if (!read)
            continue;
        ++applied;
        QVERIFY2(std::isfinite(read->betPrice) && std::isfinite(read->blackPrice), line.toHex());

        // Prices are stored with 6 significant digits, so they may move a little.
        const std::optional<Settings> again = parseSettingsLine(settingsLine(*read));
        QVERIFY2(again, line.toHex());
        Settings rest = *again;
        rest.betPrice = read->betPrice;
        rest.blackPrice = read->blackPrice;
        QCOMPARE(rest, *read);
    }
    QVERIFY(applied > 500);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
