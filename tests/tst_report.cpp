#include "journal/journal.h"
#include "report/sheet.h"

#include <QtTest>

namespace {

// 120 bets at 3.50 €, 35 blacks at 0.50 €, 20 % costs; 318 € shared out.
journal::Entry entryOn(int day, const QString &category = QStringLiteral("arc classique"), int bets = 120)
{
    return {QDateTime(QDate(2026, 12, day), QTime(14, 32, 51)), category, bets, 3.5, 420, 20, 84, 35, 0.5, 17.5f,
            318, 210, 105, 3, false, QStringLiteral("prixGeneral_arc_classique.pdf")};
}

const QByteArray knownRow = "2026-12-09;14:32;arc classique;120;3,50;420;20;84;35;0,50;17,5;318;210;105;3;non;"
                            "prixGeneral_arc_classique.pdf\r\n";

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
    void journalRow_data();
    void journalRow();
    void journalRecords_data();
    void journalRecords();
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

void TestReport::journalRow_data()
{
    QTest::addColumn<QString>("change"); // field=value
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *from, const char *to) { return QByteArray(knownRow).replace(from, to); };
    QTest::newRow("known day: cents, decimal comma, minutes, CRLF") << "" << knownRow;
    QTest::newRow("whole blacks without a comma") << "blacks=18" << row(";17,5;", ";18;");
    QTest::newRow("whole tariff to the cent") << "betPrice=4" << row(";3,50;", ";4,00;");
    QTest::newRow("negative leftover keeps its sign") << "leftover=-2" << row(";3;non", ";-2;non");
    QTest::newRow("a list not as computed is marked") << "modified=1" << row(";non;", ";oui;");
    QTest::newRow("accented category unquoted, in UTF-8")
        << "category=arc à poulie" << row("arc classique", "arc à poulie");
    QTest::newRow("category with a semicolon quoted") << "category=arc; nu" << row("arc classique", "\"arc; nu\"");
    QTest::newRow("category with a double quote quoted, the quote doubled")
        << "category=arc \"nu\"" << row("arc classique", "\"arc \"\"nu\"\"\"");
    QTest::newRow("category with a line end quoted") << "category=arc\nnu" << row("arc classique", "\"arc\nnu\"");
}

void TestReport::journalRow()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, expected);
    journal::Entry entry = entryOn(9);
    const QString value = change.section('=', 1);
    entry.blacks = change.startsWith("blacks") ? value.toFloat() : entry.blacks;
    entry.betPrice = change.startsWith("betPrice") ? value.toDouble() : entry.betPrice;
    entry.leftover = change.startsWith("leftover") ? value.toFloat() : entry.leftover;
    entry.listModified = change.startsWith("modified");
    entry.category = change.startsWith("category") ? value : entry.category;
    QCOMPARE(journal::row(entry), expected);
    // It reads back as a row of the program's: recording it again replaces it.
    const QByteArray journal = "\xEF\xBB\xBF" + journal::headerRow() + expected;
    QCOMPARE(journal::recorded(journal, entry).value_or(QByteArray()), journal);
}

void TestReport::journalRecords_data()
{
    const QByteArray header = "\xEF\xBB\xBF"
                              "Date;Heure;Catégorie;Mises;Tarif de la mise;Somme encaissée;"
                              "Pourcentage de frais;Montant des frais;Noirs payés;Tarif des noirs;Somme des noirs "
                              "payés;Somme à distribuer;Prix principaux;Gains minimum;Fraction honteux;Liste "
                              "modifiée;Feuille\r\n";
    const QByteArray yesterday = journal::row(entryOn(8)), poulie = journal::row(entryOn(9, "arc poulie"));
    const QByteArray first = journal::row(entryOn(9, "arc classique", 100)), today = journal::row(entryOn(9));
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<QByteArray>("expected"); // empty: refused as foreign
    QTest::newRow("no journal: mark, header, the row") << QByteArray() << header + today;
    QTest::newRow("same day and category replaced in place, other rows byte for byte")
        << header + yesterday + first + poulie << header + yesterday + today + poulie;
    QTest::newRow("another day's row of the category stays") << header + yesterday << header + yesterday + today;
    QTest::newRow("saved without the mark: foreign") << header.mid(3) + yesterday << QByteArray();
    QTest::newRow("saved with commas: foreign") << QByteArray(header + yesterday).replace(';', ',') << QByteArray();
    QTest::newRow("saved with a decimal point: foreign")
        << header + QByteArray(yesterday).replace("3,50", "3.5") << QByteArray();
    QTest::newRow("saved with LF line ends: foreign") << QByteArray(header + poulie).replace('\r', "") << QByteArray();
    QTest::newRow("last row cut short: foreign") << header + poulie.chopped(1) << QByteArray();
    QTest::newRow("binary: foreign") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << QByteArray();
}

void TestReport::journalRecords()
{
    QFETCH(QByteArray, journal);
    QFETCH(QByteArray, expected);
    QCOMPARE(journal::recorded(journal, entryOn(9)).value_or(QByteArray()), expected);
}

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
