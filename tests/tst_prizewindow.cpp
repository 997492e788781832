#include "app/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const char *const valueNames[] = { "valeurPrix1", "valeurPrix2", "valeurPrix3", "valeurPrix4", "valeurPrix5" };
const char *const labelNames[] = { "labelPrix1", "labelPrix2", "labelPrix3", "labelPrix4", "labelPrix5" };

template <typename T>
T *widget(const MainWindow &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget named %s", name);
    return found;
}

// Buttons on the settings tab are clicked the way a user would: with their
// page in front.
void click(MainWindow &window, const char *name)
{
    QAbstractButton *button = widget<QAbstractButton>(window, name);
    auto *tabs = widget<QTabWidget>(window, "tabWidget");
    for (int page = 0; page < tabs->count(); ++page) {
        if (tabs->widget(page)->isAncestorOf(button))
            tabs->setCurrentIndex(page);
    }
    QCoreApplication::sendPostedEvents();
    QPoint where = button->rect().center();
    if (qobject_cast<QRadioButton *>(button)) {
        // A radio button answers only on its indicator and its text.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        where = button->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, button).center();
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, where);
}

QStringList totalsOf(const MainWindow &window)
{
    QStringList texts;
    for (const char *name : { "sommeEncaisse", "montantFrais", "sommeNoirs", "sommePrix" })
        texts << widget<QLineEdit>(window, name)->text();
    return texts;
}

// What TextGain shows after one rich-text append of html.
QString rendered(const QString &html)
{
    QPlainTextEdit reference;
    reference.appendHtml(html);
    return reference.toPlainText();
}

QStringList prizeMessages;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && qstrcmp(context.category, "prixgeneral.prizes") == 0)
        prizeMessages << message;
}

} // namespace

class TestPrizeWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void countChangeFillsTotals_data();
    void countChangeFillsTotals();
    void tariffAloneRefreshesNothing_data();
    void tariffAloneRefreshesNothing();
    void calculate_data();
    void calculate();
    void calculateTraces();
    void roundingButtons_data();
    void roundingButtons();
    void prizeRows_data();
    void prizeRows();
    void prizeType_data();
    void prizeType();

private:
    QTemporaryDir *dir = nullptr;
    QString previousDir;
};

void TestPrizeWindow::init()
{
    previousDir = QDir::currentPath();
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    QVERIFY(QDir::setCurrent(dir->path()));
}

void TestPrizeWindow::cleanup()
{
    QDir::setCurrent(previousDir);
    delete dir;
    dir = nullptr;
}

void TestPrizeWindow::countChangeFillsTotals_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QStringList>("totals");

    QTest::newRow("value changes") << false << QStringList{ "35 €", "7 €", "2.5 €", "25 €" };
    QTest::newRow("typed counts") << true << QStringList{ "35 €", "7 €", "2.5 €", "25 €" };
}

void TestPrizeWindow::countChangeFillsTotals()
{
    QFETCH(bool, typed);
    MainWindow window;
    QCOMPARE(totalsOf(window), QStringList({ "", "", "", "" }));

    auto *bets = widget<QSpinBox>(window, "nbMises");
    auto *blacks = widget<QSpinBox>(window, "nbNoirsPayes");
    if (typed) {
        bets->selectAll();
        QTest::keyClicks(bets, "10");
        QCOMPARE(totalsOf(window), QStringList({ "35 €", "7 €", "0 €", "28 €" }));
        blacks->selectAll();
        QTest::keyClicks(blacks, "5");
    } else {
        bets->setValue(10);
        QCOMPARE(totalsOf(window), QStringList({ "35 €", "7 €", "0 €", "28 €" }));
        blacks->setValue(5);
    }
    QTEST(totalsOf(window), "totals");
}

void TestPrizeWindow::tariffAloneRefreshesNothing_data()
{
    QTest::addColumn<QString>("tariff");
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("refreshed");

    QTest::newRow("costs percentage") << "pourcentFrais" << 50.0 << QStringList{ "35 €", "17 €", "2.5 €", "15 €" };
    QTest::newRow("bet price") << "tarifMise" << 5.0 << QStringList{ "50 €", "10 €", "2.5 €", "37 €" };
    QTest::newRow("black price") << "tarifNoir" << 1.0 << QStringList{ "35 €", "7 €", "5 €", "23 €" };
}

void TestPrizeWindow::tariffAloneRefreshesNothing()
{
    QFETCH(QString, tariff);
    QFETCH(double, value);
    MainWindow window;
    widget<QSpinBox>(window, "nbMises")->setValue(10);
    widget<QSpinBox>(window, "nbNoirsPayes")->setValue(5);
    const QStringList before = totalsOf(window);

    QAbstractSpinBox *box = widget<QAbstractSpinBox>(window, qPrintable(tariff));
    if (auto *decimal = qobject_cast<QDoubleSpinBox *>(box))
        decimal->setValue(value);
    else
        qobject_cast<QSpinBox *>(box)->setValue(int(value));
    QCOMPARE(totalsOf(window), before);

    // One step up and back down brings the fields up to date.
    auto *bets = widget<QSpinBox>(window, "nbMises");
    bets->stepUp();
    bets->stepDown();
    QTEST(totalsOf(window), "refreshed");
}

void TestPrizeWindow::calculate_data()
{
    QTest::addColumn<int>("bets");        // -1: no count entered
    QTest::addColumn<double>("betPrice");
    QTest::addColumn<int>("prizeCount");
    QTest::addColumn<QList<int>>("values"); // all five rows, hidden ones too
    QTest::addColumn<int>("gain");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("fiveEuros");
    QTest::addColumn<QString>("html");

    QTest::newRow("percentage worked example, hidden values unread")
        << 100 << 10.0 << 3 << QList<int>{ 30, 20, 10, 77, 88 } << 3 << false << false
        << "<B>1er</B> (30 %) : 300 &euro;<BR><BR><B>2ème</B> (20 %) : 200 &euro;<BR><BR>"
           "<B>3ème</B> (10 %) : 100 &euro;<BR><BR><B>du 4ème au 136ème</B> : 3 &euro;<BR><BR>"
           "Fraction honteux : 1 €";
    QTest::newRow("fixed worked example, hidden values unread")
        << 50 << 10.0 << 2 << QList<int>{ 100, 50, 9999, 9999, 9999 } << 5 << true << false
        << "<B>1er</B> (100 €) : 100 &euro;<BR><BR><B>2ème</B> (50 €) : 50 &euro;<BR><BR>"
           "<B>du 3ème au 72ème</B> : 5 &euro;<BR><BR>Fraction honteux : 0 €";
    QTest::newRow("whole euros by default")
        << 1001 << 1.0 << 2 << QList<int>{ 50, 50, 0, 0, 0 } << 3 << false << false
        << "<B>1er</B> (50 %) : 501 &euro;<BR><BR><B>2ème</B> (50 %) : 501 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : -1 €";
    QTest::newRow("five euros rounds percentages")
        << 1001 << 1.0 << 2 << QList<int>{ 50, 50, 0, 0, 0 } << 3 << false << true
        << "<B>1er</B> (50 %) : 500 &euro;<BR><BR><B>2ème</B> (50 %) : 500 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 1 €";
    QTest::newRow("fixed mode ignores five euros")
        << 50 << 10.0 << 1 << QList<int>{ 33, 0, 0, 0, 0 } << 5 << true << true
        << "<B>1er</B> (33 €) : 33 &euro;<BR><BR><B>du 2ème au 94ème</B> : 5 &euro;<BR><BR>"
           "Fraction honteux : 2 €";
    QTest::newRow("before any count the pool is 0")
        << -1 << 3.5 << 2 << QList<int>{ 30, 20, 0, 0, 0 } << 3 << false << false
        << "<B>1er</B> (30 %) : 0 &euro;<BR><BR><B>2ème</B> (20 %) : 0 &euro;<BR><BR>"
           "<B>du 3ème au 2ème</B> : 3 &euro;<BR><BR>Fraction honteux : 0 €";
    QTest::newRow("minimum gain 0 leaves the remainder")
        << 100 << 10.0 << 1 << QList<int>{ 30, 0, 0, 0, 0 } << 0 << false << false
        << "<B>1er</B> (30 %) : 300 &euro;<BR><BR><B>du 2ème au 1ème</B> : 0 &euro;<BR><BR>"
           "Fraction honteux : 700 €";
}

void TestPrizeWindow::calculate()
{
    QFETCH(int, bets);
    QFETCH(double, betPrice);
    QFETCH(int, prizeCount);
    QFETCH(QList<int>, values);
    QFETCH(int, gain);
    QFETCH(bool, fixed);
    QFETCH(bool, fiveEuros);
    QFETCH(QString, html);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    widget<QDoubleSpinBox>(window, "tarifMise")->setValue(betPrice);
    widget<QSpinBox>(window, "pourcentFrais")->setValue(0);
    widget<QSpinBox>(window, "gainMini")->setValue(gain);
    widget<QSpinBox>(window, "nbPrix")->setValue(prizeCount);
    for (int i = 0; i < 5; ++i)
        widget<QSpinBox>(window, valueNames[i])->setValue(values[i]);
    click(window, fixed ? "radioFixe" : "radioPourcent");
    click(window, fiveEuros ? "cinqEuro" : "unEuro");
    if (bets >= 0)
        widget<QSpinBox>(window, "nbMises")->setValue(bets);

    auto *list = widget<QPlainTextEdit>(window, "TextGain");
    list->setPlainText(QStringLiteral("typed by the user"));
    click(window, "commandLinkButton");
    const QString first = list->toPlainText();
    QCOMPARE(first, rendered(html));

    click(window, "commandLinkButton");
    QCOMPARE(list->toPlainText(), first);
}

void TestPrizeWindow::calculateTraces()
{
    MainWindow window;
    widget<QDoubleSpinBox>(window, "tarifMise")->setValue(10.0);
    widget<QSpinBox>(window, "pourcentFrais")->setValue(0);
    widget<QSpinBox>(window, "nbMises")->setValue(100);
    widget<QSpinBox>(window, "valeurPrix1")->setValue(30);

    prizeMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    click(window, "commandLinkButton");
    qInstallMessageHandler(previous);

    QCOMPARE(prizeMessages.size(), 7);
    QCOMPARE(prizeMessages[0], QStringLiteral("Nb archers :  \"100\""));
    QCOMPARE(prizeMessages[1], QStringLiteral("Somme à distribuer :  \"1000 €\"  =>  \"1000\""));
    QCOMPARE(prizeMessages[2], QStringLiteral("1er ( 30 ) :  300 \" €\""));
    QCOMPARE(prizeMessages[3], QStringLiteral("Somme restante :  700"));
    QCOMPARE(prizeMessages[4], QStringLiteral("2 ème à  234 ème : 3&euro;"));
    QCOMPARE(prizeMessages[5], QStringLiteral("Fraction Honteux :  1"));
    QVERIFY(prizeMessages[6].startsWith(QStringLiteral("\"<B>1er</B> (30 %) : 300 &euro;")));
}

void TestPrizeWindow::roundingButtons_data()
{
    QTest::addColumn<bool>("fixedType");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("unEuro");
    QTest::addColumn<bool>("cinqEuro");

    QTest::newRow("five euros") << false << QStringList{ "cinqEuro" } << false << true;
    QTest::newRow("one euro") << false << QStringList{ "unEuro" } << true << false;
    QTest::newRow("five euros then one euro") << true << QStringList{ "cinqEuro", "unEuro" } << true << false;
    QTest::newRow("one euro then five euros") << true << QStringList{ "unEuro", "cinqEuro" } << false << true;
    QTest::newRow("five euros twice stays checked") << false << QStringList{ "cinqEuro", "cinqEuro" } << false << true;
    QTest::newRow("one euro twice stays checked") << true << QStringList{ "unEuro", "unEuro" } << true << false;
}

void TestPrizeWindow::roundingButtons()
{
    QFETCH(bool, fixedType);
    QFETCH(QStringList, clicks);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    click(window, fixedType ? "radioFixe" : "radioPourcent");

    for (const QString &name : std::as_const(clicks))
        click(window, qPrintable(name));
    QTEST(widget<QRadioButton>(window, "unEuro")->isChecked(), "unEuro");
    QTEST(widget<QRadioButton>(window, "cinqEuro")->isChecked(), "cinqEuro");
    // The prize-type pair is a group of its own.
    QCOMPARE(widget<QRadioButton>(window, "radioFixe")->isChecked(), fixedType);
    QCOMPARE(widget<QRadioButton>(window, "radioPourcent")->isChecked(), !fixedType);
}

void TestPrizeWindow::prizeRows_data()
{
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("shown");

    QTest::newRow("all five") << QList<int>{ 5 } << 5;
    QTest::newRow("five then two") << QList<int>{ 5, 2 } << 2;
    QTest::newRow("five, two, then four again") << QList<int>{ 5, 2, 4 } << 4;
    QTest::newRow("back to one") << QList<int>{ 3, 1 } << 1;
    QTest::newRow("three") << QList<int>{ 3 } << 3;
}

void TestPrizeWindow::prizeRows()
{
    QFETCH(QList<int>, counts);
    QFETCH(int, shown);

    MainWindow window;
    for (int i = 0; i < 5; ++i)
        widget<QSpinBox>(window, valueNames[i])->setValue(11 * (i + 1));

    auto *count = widget<QSpinBox>(window, "nbPrix");
    for (int value : std::as_const(counts))
        count->setValue(value);

    for (int i = 0; i < 5; ++i) {
        const bool hidden = i >= shown;
        QCOMPARE(widget<QLabel>(window, labelNames[i])->isHidden(), hidden);
        QCOMPARE(widget<QSpinBox>(window, valueNames[i])->isHidden(), hidden);
        QCOMPARE(widget<QSpinBox>(window, valueNames[i])->value(), 11 * (i + 1));
        QCOMPARE(widget<QSpinBox>(window, valueNames[i])->suffix(), QStringLiteral(" %"));
    }
}

void TestPrizeWindow::prizeType_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("countAfter"); // 0: leave nbPrix alone
    QTest::addColumn<QString>("suffix");

    QTest::newRow("fixed") << QStringList{ "radioFixe" } << 0 << " €";
    QTest::newRow("percentage while already checked") << QStringList{ "radioPourcent" } << 0 << " %";
    QTest::newRow("fixed then percentage") << QStringList{ "radioFixe", "radioPourcent" } << 0 << " %";
    QTest::newRow("fixed then a prize count change") << QStringList{ "radioFixe" } << 3 << " €";
    QTest::newRow("percentage then a prize count change") << QStringList{ "radioFixe", "radioPourcent" } << 4 << " %";
}

void TestPrizeWindow::prizeType()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, countAfter);
    QFETCH(QString, suffix);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < 5; ++i)
        widget<QSpinBox>(window, valueNames[i])->setValue(50 + i);
    click(window, "cinqEuro");

    for (const QString &name : std::as_const(clicks))
        click(window, qPrintable(name));
    if (countAfter > 0)
        widget<QSpinBox>(window, "nbPrix")->setValue(countAfter);

    const bool fixed = clicks.last() == QLatin1String("radioFixe");
    QCOMPARE(widget<QRadioButton>(window, "radioFixe")->isChecked(), fixed);
    QCOMPARE(widget<QRadioButton>(window, "radioPourcent")->isChecked(), !fixed);
    for (int i = 0; i < 5; ++i) {
        auto *box = widget<QSpinBox>(window, valueNames[i]);
        QCOMPARE(box->suffix(), suffix);
        QCOMPARE(box->value(), 50 + i);
    }
    // The rounding pair is a group of its own.
    QVERIFY(widget<QRadioButton>(window, "cinqEuro")->isChecked());
    QVERIFY(!widget<QRadioButton>(window, "unEuro")->isChecked());
}

QTEST_MAIN(TestPrizeWindow)
#include "tst_prizewindow.moc"
