#include "prizes/distribution.h"
#include "prizes/prizetrace.h"
#include "prizes/rounding.h"

#include <QtTest>

#include <climits>
#include <cmath>

namespace {

prizes::Distribution share(int pool, bool fixed, const QList<int> &values, int gain, bool fiveEuros)
{
    return prizes::distribute(pool, fixed ? prizes::PrizeMode::Fixed : prizes::PrizeMode::Percentage,
                              values, gain,
                              [fiveEuros](float amount) { return prizes::roundAmount(amount, fiveEuros); });
}

// A second computation of the same rules, written apart from the program's
// code, for the randomised comparison.
QString modelOf(int pool, bool fixed, const QList<int> &values, int gain, bool fiveEuros)
{
    const float poolF = static_cast<float>(pool);
    QString text;
    QString html;
    long long total = 0;
    for (int i = 0; i < values.size(); ++i) {
        const int v = values[i];
        long long amount = v;
        if (!fixed) {
            const float part = poolF * static_cast<float>(v) / 100.0f;
            if (fiveEuros) {
                const long long n = static_cast<long long>(std::ceil(static_cast<double>(part - 0.5f)));
                amount = n >= 0 ? (n + 2) / 5 * 5 : n / 5 * 5;
            } else {
                amount = std::llround(static_cast<double>(part));
            }
        }
        total += amount;
        text += QString::asprintf("%lld ", amount);
        const QByteArray label = i == 0 ? QByteArray("1er") : QByteArray::number(i + 1) + "ème";
        html += fixed ? QString::asprintf("<B>%s</B> (%d €) : %g &euro;<BR><BR>", label.constData(), v, double(amount))
                      : QString::asprintf("<B>%s</B> (%d %%) : %g &euro;<BR><BR>", label.constData(), v, double(amount));
    }
    const float remainder = poolF - static_cast<float>(total);
    const long long count = gain == 0 ? 0 : static_cast<long long>(std::trunc(remainder / static_cast<float>(gain)));
    const long long first = values.size() + 1;
    const long long last = first + count - 1;
    const float leftover = remainder - static_cast<float>(gain * count);
    html += QString::asprintf("<B>du %lldème au %lldème</B> : %d &euro;<BR><BR>Fraction honteux : %g €",
                              first, last, gain, double(leftover));
    return text + QString::asprintf("| %lld %.9g %lld %lld %lld %.9g\n", total, double(remainder), count,
                                    first, last, double(leftover)) + html;
}

QString describe(const prizes::Distribution &d)
{
    QString text;
    for (const prizes::MainPrize &prize : d.prizes)
        text += QString::asprintf("%d ", prize.amount);
    return text + QString::asprintf("| %d %.9g %d %d %d %.9g\n", d.total, double(d.remainder), d.count,
                                    d.firstPlace, d.lastPlace, double(d.leftover))
        + prizes::prizeListHtml(d);
}

struct Trace
{
    QString category;
    QtMsgType type;
    QString message;
};
QList<Trace> traces;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    traces.append({ QString::fromUtf8(context.category), type, message });
}

} // namespace

class TestDistribution : public QObject
{
    Q_OBJECT

private slots:
    void poolFromText_data();
    void poolFromText();
    void prizeList_data();
    void prizeList();
    void hugeValuesSaturate_data();
    void hugeValuesSaturate();
    void matchesIndependentModel();
    void traceMessages_data();
    void traceMessages();
};

void TestDistribution::poolFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pool");

    QTest::newRow("amount with euro sign") << "25 €" << 25;
    QTest::newRow("negative amount") << "-12 €" << -12;
    QTest::newRow("empty field before any count") << "" << 0;
    QTest::newRow("number without a space") << "1000" << 1000;
    QTest::newRow("leading space leaves nothing before it") << " 25 €" << 0;
    QTest::newRow("not a number") << "abc €" << 0;
    QTest::newRow("decimal amount is not an integer") << "2.5 €" << 0;
    QTest::newRow("beyond int is not an integer") << "99999999999 €" << 0;
}

void TestDistribution::poolFromText()
{
    QFETCH(QString, text);
    QTEST(prizes::poolFromText(text), "pool");
}

void TestDistribution::prizeList_data()
{
    QTest::addColumn<int>("pool");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("gain");
    QTest::addColumn<bool>("fiveEuros");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lastPlace");
    QTest::addColumn<float>("leftover");
    QTest::addColumn<QString>("html");

    QTest::newRow("percentage worked example")
        << 1000 << false << QList<int>{ 30, 20, 10 } << 3 << false << 133 << 136 << 1.0f
        << "<B>1er</B> (30 %) : 300 &euro;<BR><BR><B>2ème</B> (20 %) : 200 &euro;<BR><BR>"
           "<B>3ème</B> (10 %) : 100 &euro;<BR><BR><B>du 4ème au 136ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : 1 €";
    QTest::newRow("fixed worked example")
        << 500 << true << QList<int>{ 100, 50 } << 5 << false << 70 << 72 << 0.0f
        << "<B>1er</B> (100 €) : 100 &euro;<BR><BR><B>2ème</B> (50 €) : 50 &euro;<BR><BR>"
           "<B>du 3ème au 72ème</B> : 5 &euro;<BR><BR>Fraction honteux : 0 €";
    QTest::newRow("overshoot gives a negative count")
        << 100 << true << QList<int>{ 60, 50 } << 3 << false << -3 << -1 << -1.0f
        << "<B>1er</B> (60 €) : 60 &euro;<BR><BR><B>2ème</B> (50 €) : 50 &euro;<BR><BR>"
           "<B>du 3ème au -1ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €";
    QTest::newRow("rounding carries the prizes past the pool")
        << 1001 << false << QList<int>{ 50, 50 } << 3 << false << 0 << 2 << -1.0f
        << "<B>1er</B> (50 %) : 501 &euro;<BR><BR><B>2ème</B> (50 %) : 501 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €";
    QTest::newRow("five euros rounds exact halves down")
        << 1001 << false << QList<int>{ 50, 50 } << 3 << true << 0 << 2 << 1.0f
        << "<B>1er</B> (50 %) : 500 &euro;<BR><BR><B>2ème</B> (50 %) : 500 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 1 €";
    QTest::newRow("five euros drives the rest")
        << 123 << false << QList<int>{ 30 } << 3 << true << 29 << 30 << 1.0f
        << "<B>1er</B> (30 %) : 35 &euro;<BR><BR><B>du 2ème au 30ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : 1 €";
    QTest::newRow("fixed mode ignores five euros")
        << 500 << true << QList<int>{ 33 } << 5 << true << 93 << 94 << 2.0f
        << "<B>1er</B> (33 €) : 33 &euro;<BR><BR><B>du 2ème au 94ème</B> : 5 &euro;<BR><BR>"
           "Fraction honteux : 2 €";
    QTest::newRow("one main prize starts the range at 2")
        << 100 << false << QList<int>{ 10 } << 3 << false << 30 << 31 << 0.0f
        << "<B>1er</B> (10 %) : 10 &euro;<BR><BR><B>du 2ème au 31ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : 0 €";
    QTest::newRow("five main prizes use all five labels")
        << 1000 << false << QList<int>{ 10, 10, 10, 10, 10 } << 5 << false << 100 << 105 << 0.0f
        << "<B>1er</B> (10 %) : 100 &euro;<BR><BR><B>2ème</B> (10 %) : 100 &euro;<BR><BR>"
           "<B>3ème</B> (10 %) : 100 &euro;<BR><BR><B>4ème</B> (10 %) : 100 &euro;<BR><BR>"
           "<B>5ème</B> (10 %) : 100 &euro;<BR><BR><B>du 6ème au 105ème</B> : 5 &euro;<BR><BR>"
           "Fraction honteux : 0 €";
    QTest::newRow("nothing left still writes the range line")
        << 600 << false << QList<int>{ 50, 30, 20 } << 3 << false << 0 << 3 << 0.0f
        << "<B>1er</B> (50 %) : 300 &euro;<BR><BR><B>2ème</B> (30 %) : 180 &euro;<BR><BR>"
           "<B>3ème</B> (20 %) : 120 &euro;<BR><BR><B>du 4ème au 3ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : 0 €";
    QTest::newRow("remainder below the minimum gain is left over")
        << 12 << false << QList<int>{ 50 } << 10 << false << 0 << 1 << 6.0f
        << "<B>1er</B> (50 %) : 6 &euro;<BR><BR><B>du 2ème au 1ème</B> : 10 &euro;<BR><BR>"
           "Fraction honteux : 6 €";
    QTest::newRow("minimum gain zero pays nobody")
        << 1000 << false << QList<int>{ 30 } << 0 << false << 0 << 1 << 700.0f
        << "<B>1er</B> (30 %) : 300 &euro;<BR><BR><B>du 2ème au 1ème</B> : 0 &euro;<BR><BR>"
           "Fraction honteux : 700 €";
    QTest::newRow("a million prize in exponent form")
        << 500000 << false << QList<int>{ 200 } << 3 << false << -166666 << -166665 << -2.0f
        << "<B>1er</B> (200 %) : 1e+06 &euro;<BR><BR><B>du 2ème au -166665ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : -2 €";
    QTest::newRow("a million leftover in exponent form")
        << 1000000 << true << QList<int>{ 0 } << 0 << false << 0 << 1 << 1e6f
        << "<B>1er</B> (0 €) : 0 &euro;<BR><BR><B>du 2ème au 1ème</B> : 0 &euro;<BR><BR>"
           "Fraction honteux : 1e+06 €";
    QTest::newRow("negative pool gives negative prizes")
        << -12 << false << QList<int>{ 50, 30 } << 3 << false << 0 << 2 << -2.0f
        << "<B>1er</B> (50 %) : -6 &euro;<BR><BR><B>2ème</B> (30 %) : -4 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : -2 €";
    QTest::newRow("negative pool with five euros goes toward zero")
        << -12 << false << QList<int>{ 50 } << 3 << true << -2 << -1 << -1.0f
        << "<B>1er</B> (50 %) : -5 &euro;<BR><BR><B>du 2ème au -1ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : -1 €";
    QTest::newRow("empty pool gives zero percentage prizes")
        << 0 << false << QList<int>{ 30, 20 } << 3 << false << 0 << 2 << 0.0f
        << "<B>1er</B> (30 %) : 0 &euro;<BR><BR><B>2ème</B> (20 %) : 0 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 0 €";
    QTest::newRow("empty pool in fixed mode goes below zero")
        << 0 << true << QList<int>{ 100, 50 } << 3 << false << -50 << -48 << 0.0f
        << "<B>1er</B> (100 €) : 100 &euro;<BR><BR><B>2ème</B> (50 €) : 50 &euro;<BR><BR>"
           "<B>du 3ème au -48ème</B> : 3 &euro;<BR><BR>Fraction honteux : 0 €";
}

void TestDistribution::prizeList()
{
    QFETCH(int, pool);
    QFETCH(bool, fixed);
    QFETCH(QList<int>, values);
    QFETCH(int, gain);
    QFETCH(bool, fiveEuros);

    const prizes::Distribution d = share(pool, fixed, values, gain, fiveEuros);
    QTEST(d.count, "count");
    QCOMPARE(d.firstPlace, int(values.size()) + 1);
    QTEST(d.lastPlace, "lastPlace");
    QTEST(d.leftover, "leftover");
    QTEST(prizes::prizeListHtml(d), "html");
}

void TestDistribution::hugeValuesSaturate_data()
{
    QTest::addColumn<int>("pool");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lastPlace");

    QTest::newRow("percentages far beyond int")
        << INT_MAX << false << QList<int>{ 99999, 9999 } << 3 << INT_MAX << 0 << 2;
    QTest::newRow("fixed amounts sum beyond int")
        << 0 << true << QList<int>{ INT_MAX, INT_MAX } << 1 << INT_MAX << INT_MIN << INT_MIN + 2;
    QTest::newRow("negative fixed amounts sum below int")
        << 0 << true << QList<int>{ INT_MIN, INT_MIN } << 1 << INT_MIN << INT_MAX << INT_MAX;
    QTest::newRow("huge pool saturates count and last place")
        << INT_MAX << true << QList<int>{ 0 } << 1 << 0 << INT_MAX << INT_MAX;
    QTest::newRow("huge negative pool saturates count")
        << INT_MIN << true << QList<int>{ 99999 } << 1 << 99999 << INT_MIN << INT_MIN + 1;
    QTest::newRow("negative minimum gain")
        << 1000 << true << QList<int>{ 0 } << INT_MIN << 0 << 0 << 1;
}

void TestDistribution::hugeValuesSaturate()
{
    QFETCH(int, pool);
    QFETCH(bool, fixed);
    QFETCH(QList<int>, values);
    QFETCH(int, gain);

    const prizes::Distribution d = share(pool, fixed, values, gain, false);
    QTEST(d.total, "total");
    QTEST(d.count, "count");
    QTEST(d.lastPlace, "lastPlace");
    QVERIFY(std::isfinite(d.leftover));
    QVERIFY(!prizes::prizeListHtml(d).isEmpty());
}

void TestDistribution::matchesIndependentModel()
{
    QRandomGenerator random(20240607);
    for (int run = 0; run < 5000; ++run) {
        int pool;
        switch (random.bounded(3)) {
        case 0: pool = random.bounded(-999800, 999801); break;
        case 1: pool = random.bounded(-200, 5001); break;
        default: pool = random.bounded(0, 1001) * 5 + random.bounded(5); break;
        }
        const bool fixed = random.bounded(2) == 1;
        const bool fiveEuros = random.bounded(2) == 1;
        const int gain = random.bounded(0, 100);
        QList<int> values;
        const int k = random.bounded(1, 6);
        for (int place = 1; place <= k; ++place) {
            const int top = place == 2 ? 99999 : 9999;
            values.append(random.bounded(2) == 0 ? random.bounded(0, 101) : random.bounded(0, top + 1));
        }

        const QString inputs = QString::asprintf("pool %d fixed %d five %d gain %d values ", pool, fixed,
                                                 fiveEuros, gain)
            + QString::number(values.size()) + QLatin1Char('\n');
        QCOMPARE(inputs + describe(share(pool, fixed, values, gain, fiveEuros)),
                 inputs + modelOf(pool, fixed, values, gain, fiveEuros));
    }
}

void TestDistribution::traceMessages_data()
{
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QStringList>("messages");

    const QString percentageList = prizes::prizeListHtml(share(1000, false, { 30, 20, 10 }, 3, false));
    QTest::newRow("percentage mode ends with the list")
        << false
        << QStringList{
               "Nb archers :  \"10\"",
               "Somme à distribuer :  \"1000 €\"  =>  \"1000\"",
               "1er ( 30 ) :  300 \" €\"",
               "2ème ( 20 ) :  200 \" €\"",
               "3ème ( 10 ) :  100 \" €\"",
               "Somme restante :  400",
               "4 ème à  136 ème : 3&euro;",
               "Fraction Honteux :  1",
               QLatin1Char('"') + percentageList + QLatin1Char('"'),
           };
    QTest::newRow("fixed mode has no list message")
        << true
        << QStringList{
               "Nb archers :  \"10\"",
               "Somme à distribuer :  \"1000 €\"  =>  \"1000\"",
               "1er ( 30 ) :  30 \" €\"",
               "2ème ( 20 ) :  20 \" €\"",
               "3ème ( 10 ) :  10 \" €\"",
               "Somme restante :  940",
               "4 ème à  316 ème : 3&euro;",
               "Fraction Honteux :  1",
           };
}

void TestDistribution::traceMessages()
{
    QFETCH(bool, fixed);
    QFETCH(QStringList, messages);

    const prizes::Distribution d = share(1000, fixed, { 30, 20, 10 }, 3, false);
    traces.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    prizes::traceBets(QStringLiteral("10"));
    prizes::tracePool(QStringLiteral("1000 €"), d.pool);
    prizes::traceDistribution(d, prizes::prizeListHtml(d));
    qInstallMessageHandler(previous);

    QStringList seen;
    for (const Trace &trace : std::as_const(traces)) {
        QCOMPARE(trace.category, QStringLiteral("prixgeneral.prizes"));
        QCOMPARE(trace.type, QtDebugMsg);
        seen.append(trace.message);
    }
    QCOMPARE(seen, messages);
}

QTEST_GUILESS_MAIN(TestDistribution)
#include "tst_distribution.moc"
