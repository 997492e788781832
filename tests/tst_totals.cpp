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
    QTest::addColumn<QString>("texts"); // receipts | costs | blacks | pool

    QTest::newRow("worked example") << 10 << 5 << 3.5 << 0.5 << 20 << "35 € | 7 € | 2.5 € | 25 €";
    QTest::newRow("both counts zero") << 0 << 0 << 3.5 << 0.5 << 20 << "0 € | 0 € | 0 € | 0 €";
    QTest::newRow("blacks without bets give a negative pool toward zero")
        << 0 << 25 << 3.5 << 0.5 << 20 << "0 € | 0 € | 12.5 € | -12 €";
    QTest::newRow("costs under one euro vanish") << 4 << 0 << 1.0 << 0.5 << 20 << "4 € | 0 € | 0 € | 4 €";
    QTest::newRow("pool truncates toward zero")
        << 10 << 25 << 9.0 << 0.5 << 0 << "90 € | 0 € | 12.5 € | 77 €";
    QTest::newRow("0.70 times 10 is 7") << 10 << 0 << 0.70 << 0.5 << 0 << "7 € | 0 € | 0 € | 7 €";
    QTest::newRow("0.29 times 100 is 29") << 100 << 0 << 0.29 << 0.5 << 0 << "29 € | 0 € | 0 € | 29 €";
    QTest::newRow("blacks shown to six digits, pool from the full value")
        << 0 << 9999 << 3.5 << 12.34 << 20 << "0 € | 0 € | 123388 € | -123387 €";
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
    QTEST(QStringList({ texts.receipts, texts.costs, texts.blacks, texts.pool }).join(" | "), "texts");
}

// Every price the spin box can hold, against whole-cent arithmetic.
void TestTotals::receiptsAreExactInCents()
{
    for (int bets : { 3, 7, 10, 100, 9999 }) {
        for (int cents = 0; cents <= 9999; ++cents) {
            const double price = QString::number(cents / 100.0, 'f', 2).toDouble();
            QCOMPARE(prizes::computeTotals(bets, 0, price, 0.0, 0).receipts, int(qint64(cents) * bets / 100));
        }
    }
}

void TestTotals::outOfRangeInputsSaturate_data()
{
    QTest::addColumn<int>("bets");
    QTest::addColumn<double>("betPrice");
    QTest::addColumn<int>("costPercent");
    QTest::addColumn<int>("receipts");
    QTest::addColumn<int>("costs");

    QTest::newRow("huge bet count") << INT_MAX << 99.99 << 99 << INT_MAX << int(qint64(INT_MAX) * 99 / 100);
    QTest::newRow("huge cost share") << 100 << 10.0 << INT_MAX << 1000 << INT_MAX;
    QTest::newRow("NaN price") << 10 << std::numeric_limits<double>::quiet_NaN() << 20 << 0 << 0;
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
