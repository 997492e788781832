#include "prizes/totals.h"

#include <QtTest>

#include <climits>
#include <limits>

class TestTotals : public QObject
{
    Q_OBJECT

private slots:
    void totals_data();
    void totals();
    void receiptsAreExactInCents_data();
    void receiptsAreExactInCents();
    void outOfRangeInputsSaturate_data();
    void outOfRangeInputsSaturate();
};

void TestTotals::totals_data()
{
    QTest::addColumn<int>("bets");
    QTest::addColumn<int>("blacks");
    QTest::addColumn<double>("betPrice");
    QTest::addColumn<double>("blackPrice");
    QTest::addColumn<int>("costPercent");
    QTest::addColumn<QString>("receipts");
    QTest::addColumn<QString>("costs");
    QTest::addColumn<QString>("blacksTotal");
    QTest::addColumn<QString>("pool");

    QTest::newRow("worked example") << 10 << 5 << 3.5 << 0.5 << 20
                                    << "35 €" << "7 €" << "2.5 €" << "25 €";
    QTest::newRow("both counts zero") << 0 << 0 << 3.5 << 0.5 << 20
                                      << "0 €" << "0 €" << "0 €" << "0 €";
    QTest::newRow("blacks without bets give a negative pool")
        << 0 << 25 << 3.5 << 0.5 << 20 << "0 €" << "0 €" << "12.5 €" << "-12 €";
    QTest::newRow("costs under one euro vanish") << 4 << 0 << 1.0 << 0.5 << 20
                                                 << "4 €" << "0 €" << "0 €" << "4 €";
    QTest::newRow("receipts drop the cents") << 7 << 0 << 3.5 << 0.5 << 20
                                             << "24 €" << "4 €" << "0 €" << "20 €";
    QTest::newRow("pool truncates toward zero above") << 10 << 25 << 9.0 << 0.5 << 0
                                                      << "90 €" << "0 €" << "12.5 €" << "77 €";
    QTest::newRow("pool truncates toward zero below") << 1 << 25 << 8.0 << 0.5 << 0
                                                      << "8 €" << "0 €" << "12.5 €" << "-4 €";
    QTest::newRow("0.70 times 10 is 7") << 10 << 0 << 0.70 << 0.5 << 0
                                        << "7 €" << "0 €" << "0 €" << "7 €";
    QTest::newRow("0.29 times 100 is 29") << 100 << 0 << 0.29 << 0.5 << 0
                                          << "29 €" << "0 €" << "0 €" << "29 €";
    QTest::newRow("blacks shown to six digits, pool from the full value")
        << 0 << 9999 << 3.5 << 12.34 << 20 << "0 €" << "0 €" << "123388 €" << "-123387 €";
    QTest::newRow("largest counts and tariffs") << 9999 << 9999 << 99.99 << 99.99 << 99
                                                << "999800 €" << "989802 €" << "999800 €"
                                                << "-989802 €";
}

void TestTotals::totals()
{
    QFETCH(int, bets);
    QFETCH(int, blacks);
    QFETCH(double, betPrice);
    QFETCH(double, blackPrice);
    QFETCH(int, costPercent);

    const prizes::TotalsTexts texts =
        prizes::totalsTexts(prizes::computeTotals(bets, blacks, betPrice, blackPrice, costPercent));
    QTEST(texts.receipts, "receipts");
    QTEST(texts.costs, "costs");
    QTEST(texts.blacks, "blacksTotal");
    QTEST(texts.pool, "pool");
}

void TestTotals::receiptsAreExactInCents_data()
{
    QTest::addColumn<int>("bets");
    for (int bets : { 1, 3, 7, 10, 100, 1000, 9999 })
        QTest::addRow("%d bets", bets) << bets;
}

// Every price the spin box can hold, against whole-cent arithmetic.
void TestTotals::receiptsAreExactInCents()
{
    QFETCH(int, bets);
    for (int cents = 0; cents <= 9999; ++cents) {
        const double price = QString::number(cents / 100.0, 'f', 2).toDouble();
        const prizes::Totals totals = prizes::computeTotals(bets, 0, price, 0.0, 0);
        QCOMPARE(totals.receipts, int(qint64(cents) * bets / 100));
    }
}

void TestTotals::outOfRangeInputsSaturate_data()
{
    QTest::addColumn<int>("bets");
    QTest::addColumn<double>("betPrice");
    QTest::addColumn<int>("costPercent");
    QTest::addColumn<int>("receipts");
    QTest::addColumn<int>("costs");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("huge bet count") << INT_MAX << 99.99 << 99 << INT_MAX << int(qint64(INT_MAX) * 99 / 100);
    QTest::newRow("huge cost share") << 100 << 10.0 << INT_MAX << 1000 << INT_MAX;
    QTest::newRow("negative cost share") << 100 << 10.0 << INT_MIN << 1000 << INT_MIN;
    QTest::newRow("NaN price") << 10 << nan << 20 << 0 << 0;
    QTest::newRow("infinite price saturates the cents") << 10 << inf << 20 << 214748364 << 42949672;
}

void TestTotals::outOfRangeInputsSaturate()
{
    QFETCH(int, bets);
    QFETCH(double, betPrice);
    QFETCH(int, costPercent);

    const prizes::Totals totals = prizes::computeTotals(bets, 0, betPrice, 0.0, costPercent);
    QTEST(totals.receipts, "receipts");
    QTEST(totals.costs, "costs");
    QCOMPARE(totals.pool, int(qBound(qint64(INT_MIN), qint64(totals.receipts) - totals.costs, qint64(INT_MAX))));
}

QTEST_GUILESS_MAIN(TestTotals)
#include "tst_totals.moc"
