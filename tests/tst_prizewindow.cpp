#include "app/mainwindow.h"

#include "windowtest.h"

#include <memory>

using windowtest::child;
using windowtest::click;

namespace {

const char *const valueNames[] = { "valeurPrix1", "valeurPrix2", "valeurPrix3", "valeurPrix4", "valeurPrix5" };
const char *const labelNames[] = { "labelPrix1", "labelPrix2", "labelPrix3", "labelPrix4", "labelPrix5" };

QStringList totalsOf(const QWidget &window)
{
    QStringList texts;
    for (const char *name : { "sommeEncaisse", "montantFrais", "sommeNoirs", "sommePrix" })
        texts << child<QLineEdit>(window, name)->text();
    return texts;
}

// What TextGain shows after one rich-text append of html.
QString rendered(const QString &html)
{
    QPlainTextEdit reference;
    reference.appendHtml(html);
    return reference.toPlainText();
}

} // namespace

class TestPrizeWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void totalsFollowCounts_data();
    void totalsFollowCounts();
    void calculate_data();
    void calculate();
    void calculateTraces();
    void prizeSettings_data();
    void prizeSettings();

private:
    std::unique_ptr<windowtest::ScratchDir> scratch;
    std::unique_ptr<MainWindow> window;
};

void TestPrizeWindow::init()
{
    scratch = std::make_unique<windowtest::ScratchDir>();
    QVERIFY(scratch->isValid());
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestPrizeWindow::cleanup()
{
    window.reset();
    scratch.reset();
}

void TestPrizeWindow::totalsFollowCounts_data()
{
    QTest::addColumn<QByteArray>("settings"); // save.ini before the window opens
    QTest::addColumn<QStringList>("steps");   // "name=value", typed
    QTest::addColumn<QStringList>("totals");

    const QStringList workedExample{ "35 €", "7 €", "2.5 €", "25 €" };
    const QStringList counts{ "nbMises=10", "nbNoirsPayes=5" };
    QTest::newRow("typed counts refresh at once") << QByteArray() << counts << workedExample;
    QTest::newRow("bet price refreshes the totals") << QByteArray() << counts + QStringList{ "tarifMise=5" }
                                                     << QStringList{ "50 €", "10 €", "2.5 €", "37 €" };
    QTest::newRow("black price refreshes the totals") << QByteArray() << counts + QStringList{ "tarifNoir=1" }
                                                       << QStringList{ "35 €", "7 €", "5 €", "23 €" };
    QTest::newRow("costs percentage refreshes the totals") << QByteArray() << counts + QStringList{ "pourcentFrais=50" }
                                                            << QStringList{ "35 €", "17 €", "2.5 €", "15 €" };
    QTest::newRow("tariffs before any count leave the totals empty") << QByteArray()
        << QStringList{ "tarifMise=5", "tarifNoir=1", "pourcentFrais=50" } << QStringList{ "", "", "", "" };
    // Empty at start too, as every row checks, until the first count.
    QTest::newRow("tariffs of save.ini: empty at start, then used by the first count")
        << QByteArray("5;1;3;50;1;pourcent;0;0;0;0;0;;1") << QStringList{ "nbMises=10" }
        << QStringList{ "50 €", "25 €", "0 €", "25 €" };
}

void TestPrizeWindow::totalsFollowCounts()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, steps);
    if (!settings.isEmpty()) {
        QVERIFY(windowtest::writeBytes("save.ini", settings));
        window = std::make_unique<MainWindow>();
    }
    QCOMPARE(totalsOf(*window), QStringList({ "", "", "", "" }));
    for (const QString &step : std::as_const(steps)) {
        auto *box = child<QAbstractSpinBox>(*window, qPrintable(step.section('=', 0, 0)));
        box->selectAll();
        QTest::keyClicks(box, step.section('=', 1));
    }
    QTEST(totalsOf(*window), "totals");
}

void TestPrizeWindow::calculate_data()
{
    QTest::addColumn<int>("bets"); // at 1 € each, no costs: the pool; -1: no count entered
    QTest::addColumn<int>("prizeCount");
    QTest::addColumn<QList<int>>("values"); // all five rows, hidden ones too
    QTest::addColumn<int>("gain");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("fiveEuros");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("locale"); // of the prize count's spin box

    QTest::newRow("whole euros, hidden values unread")
        << 1001 << 2 << QList<int>{ 50, 50, 77, 88, 99 } << 3 << false << false
        << "<B>1er</B> (50 %) : 501 &euro;<BR><BR><B>2ème</B> (50 %) : 501 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €" << "C";
    QTest::newRow("prize count shown in Arabic-Indic digits still counts")
        << 1001 << 2 << QList<int>{ 50, 50, 77, 88, 99 } << 3 << false << false
        << "<B>1er</B> (50 %) : 501 &euro;<BR><BR><B>2ème</B> (50 %) : 501 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €" << "ar_EG";
    QTest::newRow("five euros") << 1001 << 2 << QList<int>{ 50, 50, 0, 0, 0 } << 3 << false << true
        << "<B>1er</B> (50 %) : 500 &euro;<BR><BR><B>2ème</B> (50 %) : 500 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 1 €" << "C";
    QTest::newRow("fixed ignores five euros, hidden values unread")
        << 500 << 2 << QList<int>{ 33, 52, 9999, 9999, 9999 } << 5 << true << true
        << "<B>1er</B> (33 €) : 33 &euro;<BR><BR><B>2ème</B> (52 €) : 52 &euro;<BR><BR>"
           "<B>du 3ème au 85ème</B> : 5 &euro;<BR><BR>Fraction honteux : 0 €" << "C";
    QTest::newRow("before any count the pool is 0")
        << -1 << 2 << QList<int>{ 30, 20, 0, 0, 0 } << 3 << false << false
        << "<B>1er</B> (30 %) : 0 &euro;<BR><BR><B>2ème</B> (20 %) : 0 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 0 €" << "C";
}

void TestPrizeWindow::calculate()
{
    QFETCH(int, bets);
    QFETCH(int, prizeCount);
    QFETCH(QList<int>, values);
    QFETCH(int, gain);
    QFETCH(bool, fixed);
    QFETCH(bool, fiveEuros);
    QFETCH(QString, html);
    QFETCH(QString, locale);

    child<QSpinBox>(*window, "nbPrix")->setLocale(QLocale(locale));
    child<QDoubleSpinBox>(*window, "tarifMise")->setValue(1.0);
    child<QSpinBox>(*window, "pourcentFrais")->setValue(0);
    child<QSpinBox>(*window, "gainMini")->setValue(gain);
    child<QSpinBox>(*window, "nbPrix")->setValue(prizeCount);
    for (int i = 0; i < 5; ++i)
        child<QSpinBox>(*window, valueNames[i])->setValue(values[i]);
    click(*window, fixed ? "radioFixe" : "radioPourcent");
    click(*window, fiveEuros ? "cinqEuro" : "unEuro");
    if (bets >= 0)
        child<QSpinBox>(*window, "nbMises")->setValue(bets);

    auto *list = child<QPlainTextEdit>(*window, "TextGain");
    list->setPlainText(QStringLiteral("typed by the user"));
    click(*window, "commandLinkButton");
    QCOMPARE(list->toPlainText(), rendered(html));
    click(*window, "commandLinkButton");
    QCOMPARE(list->toPlainText(), rendered(html));
}

// The trace names the count as displayed and the pool as its field reads.
void TestPrizeWindow::calculateTraces()
{
    child<QSpinBox>(*window, "nbMises")->setValue(100);

    testhelpers::LogCollector log("prixgeneral.prizes");
    click(*window, "commandLinkButton");
    QCOMPARE(log.messages.size(), 7); // one prize, and the list in percentage mode
    QCOMPARE(log.messages.mid(0, 2),
             QStringList({ "Nb archers :  \"100\"", "Somme à distribuer :  \"280 €\"  =>  \"280\"" }));
}

void TestPrizeWindow::prizeSettings_data()
{
    QTest::addColumn<QStringList>("steps"); // a button to click, or a number of prizes to set
    QTest::addColumn<QStringList>("checked"); // in the order unEuro, cinqEuro, radioFixe, radioPourcent
    QTest::addColumn<int>("shown");

    const QStringList percentage{ "radioPourcent" };
    const QStringList fivePercentage{ "cinqEuro", "radioPourcent" };
    const QStringList oneFixed{ "unEuro", "radioFixe" };
    QTest::newRow("one euro after five, fixed prizes")
        << QStringList{ "radioFixe", "cinqEuro", "unEuro" } << oneFixed << 1;
    QTest::newRow("five euros after one") << QStringList{ "unEuro", "cinqEuro" } << fivePercentage << 1;
    QTest::newRow("five euros twice stays checked") << QStringList{ "cinqEuro", "cinqEuro" } << fivePercentage << 1;
    QTest::newRow("percentage while already checked") << percentage << percentage << 1;
    QTest::newRow("percentage after fixed keeps five euros")
        << QStringList{ "cinqEuro", "radioFixe", "radioPourcent" } << fivePercentage << 1;
    QTest::newRow("all five rows") << QStringList{ "5" } << percentage << 5;
    QTest::newRow("five rows then two") << QStringList{ "5", "2" } << percentage << 2;
    QTest::newRow("five, two, then four rows again") << QStringList{ "5", "2", "4" } << percentage << 4;
    QTest::newRow("back to one row") << QStringList{ "3", "1" } << percentage << 1;
    QTest::newRow("fixed prizes keep their unit over a count change")
        << QStringList{ "radioFixe", "3" } << QStringList{ "radioFixe" } << 3;
}

// The rounding pair and the prize-type pair each stay in step, apart from
// each other. Only the rows in use show; every row keeps its value and
// carries the unit of the prize type.
void TestPrizeWindow::prizeSettings()
{
    QFETCH(QStringList, steps);
    QFETCH(int, shown);
    for (int i = 0; i < 5; ++i)
        child<QSpinBox>(*window, valueNames[i])->setValue(50 + i);
    for (const QString &step : std::as_const(steps)) {
        if (step.front().isDigit())
            child<QSpinBox>(*window, "nbPrix")->setValue(step.toInt());
        else
            click(*window, qPrintable(step));
    }

    QStringList checked;
    for (const char *name : { "unEuro", "cinqEuro", "radioFixe", "radioPourcent" }) {
        if (child<QRadioButton>(*window, name)->isChecked())
            checked << QLatin1String(name);
    }
    QTEST(checked, "checked");
    const QString unit = QString::fromUtf8(checked.contains(QLatin1String("radioFixe")) ? " €" : " %");
    for (int i = 0; i < 5; ++i) {
        auto *box = child<QSpinBox>(*window, valueNames[i]);
        QCOMPARE(child<QLabel>(*window, labelNames[i])->isHidden(), i >= shown);
        QCOMPARE(box->isHidden(), i >= shown);
        QCOMPARE(box->value(), 50 + i);
        QCOMPARE(box->suffix(), unit);
    }
}

QTEST_MAIN(TestPrizeWindow)
#include "tst_prizewindow.moc"
