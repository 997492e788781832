#include "prizes/distribution.h"
#include "prizes/listcheck.h"
#include "prizes/prizetrace.h"
#include "prizes/rounding.h"

#include "testhelpers.h"

#include <QtTest>

#include <climits>
#include <cmath>

namespace {

prizes::Distribution share(int pool, bool fixed, const QList<int> &values, int gain, bool fiveEuros)
{
    return prizes::distribute(
        {pool, fixed ? prizes::PrizeMode::Fixed : prizes::PrizeMode::Percentage, values, gain, fiveEuros, {}});
}

// A second computation of the same rules, written apart from the program's
// code, for the randomised comparison.
QString modelOf(int pool, bool fixed, const QList<int> &values, int gain, bool fiveEuros)
{
    const float poolF = float(pool);
    QString amounts;
    QString html;
    long long total = 0;
    for (int i = 0; i < values.size(); ++i) {
        long long amount = values[i];
        if (!fixed) {
            const float part = poolF * float(values[i]) / 100.0f;
            const long long n = static_cast<long long>(std::ceil(double(part - 0.5f)));
            amount = !fiveEuros ? std::llround(double(part)) : n >= 0 ? (n + 2) / 5 * 5 : n / 5 * 5;
        }
        total += amount;
        amounts += QString::asprintf("%lld ", amount);
        const QByteArray label = i == 0 ? QByteArray("1er") : QByteArray::number(i + 1) + "ème";
        html += QString::asprintf("<B>%s</B> (%d %s) : %g &euro;<BR><BR>", label.constData(), values[i],
                                  fixed ? "€" : "%", double(amount));
    }
    const float remainder = poolF - float(total);
    const long long count = gain == 0 ? 0 : static_cast<long long>(std::trunc(remainder / float(gain)));
    const long long first = values.size() + 1;
    const long long last = first + count - 1;
    const float leftover = remainder - float(gain * count);
    return amounts + QString::asprintf("| %lld %.9g %lld %lld %lld %.9g\n", total, double(remainder), count, first,
                                       last, double(leftover))
        + html + QString::asprintf("<B>du %lldème au %lldème</B> : %d &euro;<BR><BR>Fraction honteux : %g €",
                                   first, last, gain, double(leftover));
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

// "835 % 0,25 3 5": pool, type (% or €), values in use, minimum gain, rounding.
prizes::PrizeFigures figures(const QString &written)
{
    const QStringList f = written.section('|', 0, 0).split(' ');
    QList<int> values;
    for (const QString &value : f[2].split(','))
        values << value.toInt();
    return {f[0].toInt(), f[1] == "%" ? prizes::PrizeMode::Percentage : prizes::PrizeMode::Fixed, values,
            f[3].toInt(), f[4] == "5", written.section('|', 1)};
}

} // namespace

class TestDistribution : public QObject
{
    Q_OBJECT

private slots:
    void prizeList_data();
    void prizeList();
    void hugeValuesSaturate_data();
    void hugeValuesSaturate();
    void matchesIndependentModel();
    void traceMessages_data();
    void traceMessages();
    void listMismatch_data();
    void listMismatch();
};

void TestDistribution::prizeList_data()
{
    QTest::addColumn<QString>("poolText"); // as the live totals write it
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("gain");
    QTest::addColumn<bool>("fiveEuros");
    QTest::addColumn<QString>("html");

    QTest::newRow("percentage worked example") << "1000 €" << false << QList<int>{ 30, 20, 10 } << 3 << false
        << "<B>1er</B> (30 %) : 300 &euro;<BR><BR><B>2ème</B> (20 %) : 200 &euro;<BR><BR>"
           "<B>3ème</B> (10 %) : 100 &euro;<BR><BR><B>du 4ème au 136ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : 1 €";
    QTest::newRow("fixed worked example") << "500 €" << true << QList<int>{ 100, 50 } << 5 << false
        << "<B>1er</B> (100 €) : 100 &euro;<BR><BR><B>2ème</B> (50 €) : 50 &euro;<BR><BR>"
           "<B>du 3ème au 72ème</B> : 5 &euro;<BR><BR>Fraction honteux : 0 €";
    QTest::newRow("overshoot gives a negative count") << "100 €" << true << QList<int>{ 60, 50 } << 3 << false
        << "<B>1er</B> (60 €) : 60 &euro;<BR><BR><B>2ème</B> (50 €) : 50 &euro;<BR><BR>"
           "<B>du 3ème au -1ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €";
    QTest::newRow("whole euros carry the prizes past the pool")
        << "1001 €" << false << QList<int>{ 50, 50 } << 3 << false
        << "<B>1er</B> (50 %) : 501 &euro;<BR><BR><B>2ème</B> (50 %) : 501 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €";
    QTest::newRow("five euros rounds exact halves down")
        << "1001 €" << false << QList<int>{ 50, 50 } << 3 << true
        << "<B>1er</B> (50 %) : 500 &euro;<BR><BR><B>2ème</B> (50 %) : 500 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 1 €";
    QTest::newRow("negative pool, five euros toward zero")
        << "-12 €" << false << QList<int>{ 50 } << 3 << true
        << "<B>1er</B> (50 %) : -5 &euro;<BR><BR><B>du 2ème au -1ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : -1 €";
    QTest::newRow("minimum gain 0 pays nobody, a million in exponent form")
        << "2000000 €" << true << QList<int>{ 1000000 } << 0 << false
        << "<B>1er</B> (1000000 €) : 1e+06 &euro;<BR><BR><B>du 2ème au 1ème</B> : 0 &euro;<BR><BR>"
           "Fraction honteux : 1e+06 €";
}

void TestDistribution::prizeList()
{
    QFETCH(QString, poolText);
    QFETCH(bool, fixed);
    QFETCH(QList<int>, values);
    QFETCH(int, gain);
    QFETCH(bool, fiveEuros);
    const int pool = prizes::poolFromText(poolText);
    QTEST(prizes::prizeListHtml(share(pool, fixed, values, gain, fiveEuros)), "html");
}

void TestDistribution::hugeValuesSaturate_data()
{
    QTest::addColumn<int>("pool");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<int>>("totalCountLast");

    QTest::newRow("percentages far beyond int")
        << INT_MAX << false << QList<int>{ 99999, 9999 } << QList<int>{ INT_MAX, 0, 2 };
    QTest::newRow("fixed amounts sum beyond int")
        << 0 << true << QList<int>{ INT_MAX, INT_MAX } << QList<int>{ INT_MAX, INT_MIN, INT_MIN + 2 };
    QTest::newRow("huge pool saturates count and last place")
        << INT_MAX << true << QList<int>{ 0 } << QList<int>{ 0, INT_MAX, INT_MAX };
}

void TestDistribution::hugeValuesSaturate()
{
    QFETCH(int, pool);
    QFETCH(bool, fixed);
    QFETCH(QList<int>, values);
    const prizes::Distribution d = share(pool, fixed, values, 1, false);
    QTEST(QList<int>({ d.total, d.count, d.lastPlace }), "totalCountLast");
}

void TestDistribution::matchesIndependentModel()
{
    QRandomGenerator random(20240607);
    for (int run = 0; run < 5000; ++run) {
        const int pool = random.bounded(2) ? random.bounded(-999800, 999801) : random.bounded(-200, 5001);
        const bool fixed = random.bounded(2) == 1;
        const bool fiveEuros = random.bounded(2) == 1;
        const int gain = random.bounded(0, 100);
        const int k = random.bounded(1, 6);
        QList<int> values;
        for (int place = 1; place <= k; ++place) {
            const int top = place == 2 ? 99999 : 9999;
            values.append(random.bounded(2) == 0 ? random.bounded(0, 101) : random.bounded(0, top + 1));
        }
        const QString inputs =
            QString::asprintf("pool %d fixed %d five %d gain %d k %d\n", pool, fixed, fiveEuros, gain, k);
        QCOMPARE(inputs + describe(share(pool, fixed, values, gain, fiveEuros)),
                 inputs + modelOf(pool, fixed, values, gain, fiveEuros));
    }
}

void TestDistribution::traceMessages_data()
{
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<int>("gain");
    QTest::addColumn<QStringList>("distribution"); // after the pool, before the list

    QTest::newRow("percentage mode ends with the list") << false << 3
        << QStringList{ "1er ( 30 ) :  300 \" €\"", "2ème ( 20 ) :  200 \" €\"", "3ème ( 10 ) :  100 \" €\"",
                        "Somme restante :  400", "4 ème à  136 ème : 3&euro;", "Fraction Honteux :  1" };
    QTest::newRow("fixed mode has no list, the range always says 3") << true << 5
        << QStringList{ "1er ( 30 ) :  30 \" €\"", "2ème ( 20 ) :  20 \" €\"", "3ème ( 10 ) :  10 \" €\"",
                        "Somme restante :  940", "4 ème à  191 ème : 3&euro;", "Fraction Honteux :  0" };
}

void TestDistribution::traceMessages()
{
    QFETCH(bool, fixed);
    QFETCH(int, gain);
    QFETCH(QStringList, distribution);

    const prizes::Distribution d = share(1000, fixed, { 30, 20, 10 }, gain, false);
    const QString list = prizes::prizeListHtml(d);
    QStringList messages;
    {
        testhelpers::LogCollector log("prixgeneral.prizes");
        prizes::traceBets(QStringLiteral("10"));
        prizes::tracePool(QStringLiteral("1000 €"), d.pool);
        prizes::traceDistribution(d, list);
        messages = log.messages;
    }

    QStringList expected{ "Nb archers :  \"10\"", "Somme à distribuer :  \"1000 €\"  =>  \"1000\"" };
    expected += distribution;
    if (!fixed)
        expected << '"' + list + '"';
    QCOMPARE(messages, expected);
}

void TestDistribution::listMismatch_data()
{
    QTest::addColumn<QString>("computedFor"); // empty: "Calculer" never pressed
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("emptied");
    QTest::addColumn<QString>("text");

    const QString replaces = "\nRecalculer remplace ce que vous avez saisi dans la liste.";
    QTest::newRow("names typed into a current list are no mismatch")
        << "835 % 40,25 3 1" << "835 % 40,25 3 1" << true << false << "";
    QTest::newRow("rounding of fixed prizes changes no list") << "835 € 40,25 3 1" << "835 € 40,25 3 5" << false
                                                                << false << "";
    QTest::newRow("list of another category: the row would count its money twice")
        << "835 % 40,25 3 1|arc classique" << "835 % 40,25 3 1|arc poulie" << true << false
        << "Elle a été calculée pour la catégorie «\u00a0arc classique\u00a0»\u00a0; la catégorie choisie est "
           "maintenant «\u00a0arc poulie\u00a0»." + replaces;
    QTest::newRow("emptied list: no list to print or record")
        << "835 % 40,25 3 1" << "835 % 40,25 3 1" << true << true
        << "La liste des prix a été vidée\u00a0; le bilan annonce 835 € à distribuer." + replaces;
    QTest::newRow("never calculated, typed into") << "" << "835 % 0 3 1" << true << false
        << "Aucune liste des prix n'a encore été calculée\u00a0; le bilan annonce 835 € à distribuer." + replaces;
    QTest::newRow("every difference, one a line, then what was typed")
        << "275 € 100 3 5" << "835 % 40 5 1" << true << false
        << "Elle a été calculée pour 275 € à distribuer\u00a0; le bilan annonce maintenant 835 €.\n"
           "Elle a été calculée avec 1 prix (100 €)\u00a0; la configuration donne maintenant 1 prix (40 %).\n"
           "Elle a été calculée avec un gain minimum de 3 €\u00a0; la configuration donne maintenant 5 €.\n"
           "Elle a été calculée avec les sommes arrondies à 5 €\u00a0; la configuration les arrondit maintenant à 1 €."
            + replaces;
}

void TestDistribution::listMismatch()
{
    QFETCH(QString, computedFor);
    QFETCH(QString, shown);
    QFETCH(bool, typed);
    QFETCH(bool, emptied);
    const auto was = computedFor.isEmpty() ? std::nullopt : std::optional(figures(computedFor));
    QTEST(prizes::listMismatch(was, figures(shown), typed, emptied), "text");
}

QTEST_GUILESS_MAIN(TestDistribution)
#include "tst_distribution.moc"
