#include "report/printing.h"
#include "report/sheet.h"

#include <QtTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {

const QString header = QStringLiteral(
    "<html><body><center><img src=\":/blason.png\" height=300><BR><H1>Prix général arc classique</H1>"
    "<H2>Montant des prix</H2></center><BR>Somme à distribuer : 1000 €<BR>120 mises effectuées<BR>"
    "35 noirs payés<BR>");

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

// The image sources the HTML importer found, as it will load them.
QStringList imageSources(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    QStringList sources;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                sources << it.fragment().charFormat().toImageFormat().name();
    return sources;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(SheetContent)

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void wholeSheetForKnownState();
    void pieces_data();
    void pieces();
    void crestSurvivesImport_data();
    void crestSurvivesImport();
    void printWritesPdf_data();
    void printWritesPdf();
    void printFailure_data();
    void printFailure();
};

void TestReport::fileName_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("expected");
    QTest::newRow("classique") << "arc classique" << "prixGeneral_arc_classique.pdf";
    QTest::newRow("poulie") << "arc poulie" << "prixGeneral_arc_poulie.pdf";
    QTest::newRow("droit") << "arc droit" << "prixGeneral_arc_droit.pdf";
    QTest::newRow("every space replaced") << " arc  nu " << "prixGeneral__arc__nu_.pdf";
    QTest::newRow("accents kept") << "arc à poulie" << "prixGeneral_arc_à_poulie.pdf";
}

void TestReport::fileName()
{
    QFETCH(QString, category);
    QFETCH(QString, expected);
    QCOMPARE(sheetFileName(category), expected);
}

void TestReport::wholeSheetForKnownState()
{
    // Body and html stay open; the exported list follows the header directly.
    const SheetContent content = knownState();
    QCOMPARE(sheetHtml(content), header + content.prizeListHtml);
}

void TestReport::pieces_data()
{
    QTest::addColumn<SheetContent>("content");
    QTest::addColumn<QString>("expectedPiece");

    SheetContent c = knownState();
    c.crestPath.clear();
    QTest::newRow("no crest gives an empty source") << c << "<img src=\"\" height=300>";

    c = knownState();
    c.crestPath = QStringLiteral("/home/a/\"tir\" & co/<b>.png");
    QTest::newRow("quote, ampersand and angle brackets escaped")
        << c << "<img src=\"/home/a/&quot;tir&quot; &amp; co/&lt;b&gt;.png\" height=300>";

    c = knownState();
    c.poolText = QStringLiteral("1e+06 €");
    QTest::newRow("pool as displayed") << c << "Somme à distribuer : 1e+06 €<BR>";
    c.poolText.clear();
    QTest::newRow("empty pool before any count") << c << "Somme à distribuer : <BR>120 mises";

    c = knownState();
    c.bets = -4;
    c.blacksPaid = 2147483647;
    QTest::newRow("counts in decimal") << c << "<BR>-4 mises effectuées<BR>2147483647 noirs payés<BR><!DOCTYPE";

    c = knownState();
    c.prizeListHtml.clear();
    QTest::newRow("empty list ends the sheet after the counts") << c << "35 noirs payés<BR>";
}

void TestReport::pieces()
{
    QFETCH(SheetContent, content);
    QFETCH(QString, expectedPiece);
    const QString html = sheetHtml(content);
    QVERIFY2(html.contains(expectedPiece), qPrintable(html));
    QVERIFY(html.startsWith(QStringLiteral("<html><body><center><img src=\"")));
    QVERIFY(html.endsWith(content.prizeListHtml));
}

void TestReport::crestSurvivesImport_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("resource") << ":/blason.png";
    QTest::newRow("spaces") << "/tmp/mes images/blason.png";
    QTest::newRow("double quote") << "/tmp/le \"club\"/blason.png";
    QTest::newRow("ampersand") << "/tmp/tir & co/blason.png";
    QTest::newRow("entity-like text") << "/tmp/a&amp;b/blason.png";
}

void TestReport::crestSurvivesImport()
{
    // What the importer decodes is the path that is loaded: it must be the typed one.
    QFETCH(QString, path);
    SheetContent content = knownState();
    content.crestPath = path;
    QCOMPARE(imageSources(sheetHtml(content)), QStringList{path});
}

void TestReport::printWritesPdf_data()
{
    QTest::addColumn<QByteArray>("previous");
    QTest::newRow("new file") << QByteArray();
    QTest::newRow("older sheet replaced") << QByteArray("%PDF-1.4 old sheet");
    QTest::newRow("junk replaced") << QByteArray("not a pdf");
}

void TestReport::printWritesPdf()
{
    QFETCH(QByteArray, previous);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("prixGeneral_arc_droit.pdf"));
    if (!previous.isNull()) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(previous);
    }
    QTextDocument model;
    QVERIFY(printSheet(model, QStringLiteral("<H1>Prix général</H1>"), target));
    const QByteArray pdf = readAll(target);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf != previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("prixGeneral_arc_droit.pdf")});
}

void TestReport::printFailure_data()
{
    QTest::addColumn<bool>("directoryInTheWay");
    QTest::newRow("directory where the sheet goes") << true;
    QTest::newRow("missing folder") << false;
}

void TestReport::printFailure()
{
    // Holds for root as well: nothing can replace a directory by a file.
    QFETCH(bool, directoryInTheWay);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString target = dir.filePath(QStringLiteral("prixGeneral_arc_poulie.pdf"));
    if (directoryInTheWay) {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("prixGeneral_arc_poulie.pdf/inside")));
    } else {
        target = dir.filePath(QStringLiteral("absent/prixGeneral_arc_poulie.pdf"));
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    }
    QTextDocument model;
    QVERIFY(!printSheet(model, QStringLiteral("<H1>Prix général</H1>"), target));

    const QStringList expected = directoryInTheWay ? QStringList{QStringLiteral("prixGeneral_arc_poulie.pdf")}
                                                   : QStringList{};
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), expected);
    if (directoryInTheWay)
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("prixGeneral_arc_poulie.pdf/inside"))).isDir());
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
