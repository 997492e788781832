#include "report/sheet.h"

#include <QtTest>

namespace {

SheetContent knownState()
{
    SheetContent content;
    content.crestPath = QStringLiteral(":/blason.png");
    content.category = QStringLiteral("arc classique");
    content.poolText = QStringLiteral("1000 €");
    content.bets = 120;
    content.blacksPaid = 35;
    content.prizeListHtml = QStringLiteral("<!DOCTYPE HTML><html><body><p>liste</p></body></html>");
    return content;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void sheetForKnownState();
};

void TestReport::fileName_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("expected");
    QTest::newRow("classique") << "arc classique" << "prixGeneral_arc_classique.pdf";
    QTest::newRow("poulie") << "arc poulie" << "prixGeneral_arc_poulie.pdf";
    QTest::newRow("droit") << "arc droit" << "prixGeneral_arc_droit.pdf";
    QTest::newRow("every space replaced") << " arc  nu " << "prixGeneral__arc__nu_.pdf";
}

void TestReport::fileName()
{
    QFETCH(QString, category);
    QFETCH(QString, expected);
    QCOMPARE(sheetFileName(category), expected);
}

void TestReport::sheetForKnownState()
{
    // Body and html stay open; the exported list follows the header directly.
    SheetContent content = knownState();
    QCOMPARE(sheetHtml(content),
             "<html><body><center><img src=\":/blason.png\" height=300><BR><H1>Prix général arc classique</H1>"
             "<H2>Montant des prix</H2></center><BR>Somme à distribuer : 1000 €<BR>120 mises effectuées<BR>"
             "35 noirs payés<BR>" + content.prizeListHtml);

    content.crestPath.clear();
    QVERIFY(sheetHtml(content).startsWith("<html><body><center><img src=\"\" height=300><BR>"));
}

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
