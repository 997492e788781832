#include "prizes/rounding.h"

#include <QtTest>

#include <climits>
#include <limits>

class TestRounding : public QObject
{
    Q_OBJECT

private slots:
    void roundAmount_data();
    void roundAmount();
    void multiplesOfFiveStay();
    void truncateToInt_data();
    void truncateToInt();
};

void TestRounding::roundAmount_data()
{
    QTest::addColumn<float>("amount");
    QTest::addColumn<bool>("fiveEuros");
    QTest::addColumn<int>("expected");

    // Whole euros: halves away from zero.
    QTest::newRow("euro: 2.5 goes up") << 2.5f << false << 3;
    QTest::newRow("euro: -2.5 goes away from zero") << -2.5f << false << -3;
    QTest::newRow("euro: 2.49 goes down") << 2.49f << false << 2;
    QTest::newRow("euro: 0.5 gives 1") << 0.5f << false << 1;
    QTest::newRow("euro: -0.5 gives -1") << -0.5f << false << -1;
    QTest::newRow("euro: 12.5 gives 13") << 12.5f << false << 13;
    // Five euros: exact halves go down before the step, negatives toward zero.
    QTest::newRow("five: 0.5 rounds to 0 first") << 0.5f << true << 0;
    QTest::newRow("five: 1 gives 0") << 1.0f << true << 0;
    QTest::newRow("five: 2.5 gives 0") << 2.5f << true << 0;
    QTest::newRow("five: 2.6 gives 5") << 2.6f << true << 5;
    QTest::newRow("five: 12.5 gives 10") << 12.5f << true << 10;
    QTest::newRow("five: 12.6 gives 15") << 12.6f << true << 15;
    QTest::newRow("five: 17.5 gives 15") << 17.5f << true << 15;
    QTest::newRow("five: 18 gives 20") << 18.0f << true << 20;
    QTest::newRow("five: 19.7 gives 20") << 19.7f << true << 20;
    QTest::newRow("five: -4 gives 0") << -4.0f << true << 0;
    QTest::newRow("five: -7.4 gives -5") << -7.4f << true << -5;
    QTest::newRow("five: -8 gives -5") << -8.0f << true << -5;
    QTest::newRow("five: -12 gives -10") << -12.0f << true << -10;
    // Out of int: saturate, never overflow.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("euro: NaN gives 0") << nan << false << 0;
    QTest::newRow("five: NaN gives 0") << nan << true << 0;
    QTest::newRow("five: 3e9 stays below int max") << 3e9f << true << INT_MAX - 2;
    QTest::newRow("five: -3e9 stays above int min") << -3e9f << true << INT_MIN + 3;
}

void TestRounding::roundAmount()
{
    QFETCH(float, amount);
    QFETCH(bool, fiveEuros);
    QTEST(prizes::roundAmount(amount, fiveEuros), "expected");
}

void TestRounding::multiplesOfFiveStay()
{
    for (bool fiveEuros : { false, true }) {
        for (int m = -200000; m <= 200000; m += 5)
            QCOMPARE(prizes::roundAmount(float(m), fiveEuros), m);
    }
}

void TestRounding::truncateToInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("positive fraction dropped") << 2.9 << 2;
    QTest::newRow("negative fraction toward zero") << -2.9 << -2;
    QTest::newRow("just above int max") << double(INT_MAX) + 0.5 << INT_MAX;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestRounding::truncateToInt()
{
    QFETCH(double, value);
    QTEST(prizes::truncateToInt(value), "expected");
}

QTEST_GUILESS_MAIN(TestRounding)
#include "tst_rounding.moc"
