#include "journal/journal.h"
#include "recovery/work.h"

#include "randomsettingslines.h"
#include "testhelpers.h"

#include <QtTest>

#include <climits>
#include <functional>
#include <iterator>

using recovery::Work;
using testhelpers::readBytes;
using testhelpers::writeBytes;

Q_DECLARE_METATYPE(Work)

namespace QTest {
template <>
char *toString(const Work &work)
{
    return qstrdup(recovery::toBytes(work).constData());
}
} // namespace QTest

namespace {

// A day's work as the window holds it after "Calculer", names typed beside
// the places, and an unsaved change of tariff.
Work example()
{
    Work w;
    w.category = QStringLiteral("arc classique");
    w.bets = 42;
    w.blacksPaid = 3;
    w.list = QStringLiteral("<B>1er (50 %) : 59 €</B> Émile «\u00a0Le Gaucher\u00a0» Dupré;\r\n2ème : 35 € \"Zoé\"\n");
    w.listComputedFor = prizes::PrizeFigures{118, prizes::PrizeMode::Percentage, {50, 30, 20}, 3, true};
    w.listTyped = true;
    w.unsavedSettings = Settings{4.5, 0.5, 3, 20, 3, false, {50, 30, 20, 0, 0}, QStringLiteral("C:/club/blason.png"), true};
    w.keptAt = QDateTime(QDate(2026, 12, 9), QTime(14, 32, 5, 120), QTimeZone::utc()).toOffsetFromUtc(3600);
    return w;
}

Work exampleWith(const std::function<void(Work &)> &change)
{
    Work w = example();
    change(w);
    return w;
}

QString randomText(QRandomGenerator &rng)
{
    static const QStringList pieces = {
        ";", "\"", "'", "\r\n", "\n", "\r", "\t", "\\", "é", "É", "ç", "😀", "\u00a0", "\u2028", "<B>", "&euro;",
        "}", "{", "null", "fin, 12 octets\n", "Prix général, travail en cours, format 1\n", "Zoé Dupré", " ",
    };
    QString text;
    for (int n = rng.bounded(12); n > 0; --n)
        text += rng.bounded(3) ? pieces[rng.bounded(int(pieces.size()))] : QString(QChar(rng.bounded(0x20, 0xd7ff)));
    return text;
}

int randomInt(QRandomGenerator &rng)
{
    static const int edges[] = {0, 1, -1, 5, 100, INT_MAX, INT_MIN};
    return rng.bounded(2) ? edges[rng.bounded(int(std::size(edges)))] : int(rng.generate());
}

double randomPrice(QRandomGenerator &rng)
{
    // A spin box's cents, and doubles no decimal text shortens.
    return rng.bounded(2) ? rng.bounded(10000) / 100.0 : rng.generateDouble() * 1e6;
}

Work randomWork(QRandomGenerator &rng)
{
    Work w;
    w.category = randomText(rng);
    w.bets = randomInt(rng);
    w.blacksPaid = randomInt(rng);
    w.list = randomText(rng).repeated(rng.bounded(1, 20));
    if (rng.bounded(3)) {
        prizes::PrizeFigures f{randomInt(rng), rng.bounded(2) ? prizes::PrizeMode::Fixed : prizes::PrizeMode::Percentage,
                               {}, randomInt(rng), rng.bounded(2) == 1};
        for (int n = rng.bounded(prizes::maxPrizes + 1); n > 0; --n)
            f.values << randomInt(rng);
        w.listComputedFor = f;
    }
    w.listTyped = rng.bounded(2);
    w.listTypingPrinted = rng.bounded(2);
    if (rng.bounded(2)) {
        Settings s = parseSettingsLine(goodSettingsLine()).value();
        s.betPrice = randomPrice(rng);
        s.blackPrice = randomPrice(rng);
        s.minimumGain = randomInt(rng);
        s.costsPercent = randomInt(rng);
        s.prizeCount = randomInt(rng);
        s.fixedPrizes = rng.bounded(2);
        for (int &value : s.prizeValues)
            value = randomInt(rng);
        s.crestPath = randomText(rng);
        s.roundToFive = rng.bounded(2);
        w.unsavedSettings = s;
    }
    if (rng.bounded(4))
        w.keptAt = QDateTime::fromMSecsSinceEpoch(qint64(rng.bounded(quint32(4'000'000'000u))) * 1000 + rng.bounded(1000), QTimeZone::utc())
                       .toOffsetFromUtc(rng.bounded(-14 * 4, 14 * 4 + 1) * 900);
    return w;
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void roundTripsRandomWork();
    void refusesBytes_data();
    void refusesBytes();
    void refusesEveryCut();
};

void TestRecovery::roundTrip_data()
{
    QTest::addColumn<Work>("work");
    QTest::newRow("typed names with ; quotes CRLF accents") << example();
    QTest::newRow("empty list before any Calculer")
        << exampleWith([](Work &w) { w.list.clear(); w.listComputedFor.reset(); w.listTyped = false; });
    QTest::newRow("fixed prizes, typing printed")
        << exampleWith([](Work &w) {
               w.listComputedFor->mode = prizes::PrizeMode::Fixed;
               w.listComputedFor->values = {100, 50, 25, 10, 5};
               w.listTypingPrinted = true;
           });
    QTest::newRow("settings saved: none unsaved") << exampleWith([](Work &w) { w.unsavedSettings.reset(); });
    QTest::newRow("unsaved crest path with ; that save.ini refuses")
        << exampleWith([](Work &w) { w.unsavedSettings->crestPath = QStringLiteral("C:/a;b/é 😀.png"); });
    QTest::newRow("price save.ini would read in single precision")
        << exampleWith([](Work &w) { w.unsavedSettings->betPrice = 3.3; w.unsavedSettings->blackPrice = 0.1 + 0.2; });
    QTest::newRow("emoji, tabs, lone CR in the list and category")
        << exampleWith([](Work &w) { w.list = QStringLiteral("😀\tA\rB\u2028C\\n"); w.category = QStringLiteral("arc \"droit\";"); });
    QTest::newRow("counts at the ends of int")
        << exampleWith([](Work &w) { w.bets = INT_MAX; w.blacksPaid = INT_MIN; w.listComputedFor->pool = INT_MIN; });
    QTest::newRow("no time kept") << exampleWith([](Work &w) { w.keptAt = QDateTime(); });
    QTest::newRow("kept in local time") << exampleWith([](Work &w) { w.keptAt = QDateTime::currentDateTime(); });
}

void TestRecovery::roundTrip()
{
    QFETCH(Work, work);
    const QByteArray bytes = recovery::toBytes(work);
    QVERIFY(bytes.startsWith("Prix g\xC3\xA9n\xC3\xA9ral, travail en cours, format 1\n"));
    QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes); // valid UTF-8
    const std::optional<Work> back = recovery::fromBytes(bytes);
    QVERIFY(back);
    QCOMPARE(*back, work);
    QCOMPARE(back->keptAt.offsetFromUtc(), work.keptAt.offsetFromUtc());
}

void TestRecovery::roundTripsRandomWork()
{
    QRandomGenerator rng(37);
    for (int i = 0; i < 2000; ++i) {
        const Work work = randomWork(rng);
        const std::optional<Work> back = recovery::fromBytes(recovery::toBytes(work));
        QVERIFY2(back, qPrintable(QString::number(i)));
        QCOMPARE(*back, work);
    }
}

void TestRecovery::refusesBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = recovery::toBytes(example());
    // The JSON edited, its size on the last line still right.
    const auto edited = [&whole](const char *from, const char *to) {
        const qsizetype start = whole.indexOf('\n') + 1, end = whole.lastIndexOf('\n', whole.size() - 2) + 1;
        const QByteArray json = whole.mid(start, end - start).replace(from, to);
        return whole.left(start) + json + "fin, " + QByteArray::number(json.size()) + " octets\n";
    };
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("foreign text") << QByteArray("Liste des archers\nZoé\n");
    QTest::newRow("spreadsheet's file: the journal") << QByteArray("\xEF\xBB\xBF" + journal::headerRow());
    QTest::newRow("save.ini line") << goodSettingsLine();
    QTest::newRow("byte-order mark a text editor added") << "\xEF\xBB\xBF" + whole;
    QTest::newRow("line ends an editor turned to CRLF") << QByteArray(whole).replace("\n", "\r\n");
    QTest::newRow("format of a later version") << QByteArray(whole).replace("format 1\n", "format 2\n");
    QTest::newRow("end line counting other bytes") << QByteArray(whole).replace(" octets", "0 octets");
    QTest::newRow("a field missing") << edited("\"bets\": 42,", "");
    QTest::newRow("a field unknown") << edited("\"bets\": 42,", "\"bets\": 42, \"x\": 1,");
    QTest::newRow("count written as text") << edited("\"bets\": 42,", "\"bets\": \"42\",");
    QTest::newRow("count with a fraction") << edited("\"bets\": 42,", "\"bets\": 4.2,");
    QTest::newRow("count beyond int") << edited("\"bets\": 42,", "\"bets\": 4294967338,");
    QTest::newRow("unknown prize mode") << edited("\"percentage\"", "\"pourcent\"");
    QTest::newRow("six main prizes") << edited("20\n", "20, 1, 1, 1\n");
    QTest::newRow("time that is no time") << edited("2026-12-09", "2026-13-09");
}

void TestRecovery::refusesBytes()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!recovery::fromBytes(bytes));
}

// A crash in the middle of a write can leave any prefix of the file.
void TestRecovery::refusesEveryCut()
{
    const QByteArray whole = recovery::toBytes(example());
    for (qsizetype size = 0; size < whole.size(); ++size)
        QVERIFY2(!recovery::fromBytes(whole.left(size)), qPrintable(QString::number(size)));
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
