#include "journal/journal.h"
#include "report/sheet.h"

#include <QtTest>

namespace {

const QByteArray bom("\xEF\xBB\xBF");

// 120 bets at 3.50 €, 35 blacks at 0.50 €, 20 % costs, five prizes and the
// minimum gain of 3 € shared out of 318 €.
journal::Entry knownDay()
{
    journal::Entry entry;
    entry.printed = QDateTime(QDate(2026, 12, 9), QTime(14, 32, 51));
    entry.category = QStringLiteral("arc classique");
    entry.bets = 120;
    entry.betPrice = 3.5;
    entry.receipts = 420;
    entry.costPercent = 20;
    entry.costs = 84;
    entry.blacksPaid = 35;
    entry.blackPrice = 0.5;
    entry.blacks = 17.5;
    entry.pool = 318;
    entry.mainPrizes = 210;
    entry.minimumGains = 105;
    entry.leftover = 3;
    entry.sheet = QStringLiteral("prixGeneral_arc_classique.pdf");
    return entry;
}

const QByteArray knownRow = "2026-12-09;14:32;arc classique;120;3,50;420;20;84;35;0,50;17,5;318;210;105;3;non;"
                            "prixGeneral_arc_classique.pdf\r\n";

journal::Entry on(int day, const QString &category, int bets)
{
    journal::Entry entry = knownDay();
    entry.printed.setDate(QDate(2026, 12, day));
    entry.category = category;
    entry.bets = bets;
    return entry;
}

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
    QTest::addColumn<QString>("category");
    QTest::addColumn<double>("betPrice");
    QTest::addColumn<double>("blacks");
    QTest::addColumn<int>("pool");
    QTest::addColumn<double>("leftover");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("known day: cents, decimal comma, minutes, CRLF")
        << "arc classique" << 3.5 << 17.5 << 318 << 3.0 << false << knownRow;
    QByteArray row = knownRow;
    QTest::newRow("whole blacks without a comma, whole tariff to the cent")
        << "arc classique" << 4.0 << 18.0 << 318 << 3.0 << false << row.replace("3,50;", "4,00;").replace("17,5;", "18;");
    row = knownRow;
    QTest::newRow("negative pool and leftover keep their sign")
        << "arc classique" << 3.5 << 17.5 << -4 << -2.0 << false << row.replace(";318;", ";-4;").replace(";3;non", ";-2;non");
    row = knownRow;
    QTest::newRow("a list not as computed is marked")
        << "arc classique" << 3.5 << 17.5 << 318 << 3.0 << true << row.replace(";non;", ";oui;");
    row = knownRow;
    QTest::newRow("accented category unquoted, in UTF-8")
        << "arc à poulie" << 3.5 << 17.5 << 318 << 3.0 << false << row.replace("arc classique", "arc \xC3\xA0 poulie");
    row = knownRow;
    QTest::newRow("category with a semicolon quoted, not split")
        << "arc; nu" << 3.5 << 17.5 << 318 << 3.0 << false << row.replace("arc classique", "\"arc; nu\"");
    row = knownRow;
    QTest::newRow("category with a double quote quoted, the quote doubled")
        << "arc \"nu\"" << 3.5 << 17.5 << 318 << 3.0 << false << row.replace("arc classique", "\"arc \"\"nu\"\"\"");
    row = knownRow;
    QTest::newRow("category with a line end quoted, not cut")
        << "arc\nnu" << 3.5 << 17.5 << 318 << 3.0 << false << row.replace("arc classique", "\"arc\nnu\"");
}

void TestReport::journalRow()
{
    QFETCH(QString, category);
    QFETCH(double, betPrice);
    QFETCH(double, blacks);
    QFETCH(int, pool);
    QFETCH(double, leftover);
    QFETCH(bool, modified);
    QFETCH(QByteArray, expected);
    journal::Entry entry = knownDay();
    entry.category = category;
    entry.betPrice = betPrice;
    entry.blacks = float(blacks);
    entry.pool = pool;
    entry.leftover = float(leftover);
    entry.listModified = modified;
    QCOMPARE(journal::row(entry), expected);
    // And it reads back as a row of ours: recording it again replaces it.
    const QByteArray journal = bom + journal::headerRow() + expected;
    QCOMPARE(journal::recorded(journal, entry).value_or(QByteArray()), journal);
}

void TestReport::journalRecords_data()
{
    const QByteArray header = bom + "Date;Heure;Catégorie;Mises;Tarif de la mise;Somme encaissée;Pourcentage de frais;"
                                    "Montant des frais;Noirs payés;Tarif des noirs;Somme des noirs payés;"
                                    "Somme à distribuer;Prix principaux;Gains minimum;Fraction honteux;"
                                    "Liste modifiée;Feuille\r\n";
    const QString classique = QStringLiteral("arc classique");
    const QByteArray day8 = journal::row(on(8, classique, 90));
    const QByteArray poulie = journal::row(on(9, "arc poulie", 60));
    const QByteArray first = journal::row(on(9, classique, 100));
    const QByteArray today = journal::row(on(9, classique, 120));
    using Result = QByteArray;
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<QByteArray>("expected"); // empty: refused as foreign

    QTest::newRow("no journal: mark, header, the row") << QByteArray() << Result(header + today);
    QTest::newRow("same day and category replaced in place, other rows byte for byte")
        << header + day8 + first + poulie << Result(header + day8 + today + poulie);
    QTest::newRow("another day's row of the category stays; today's appended")
        << header + day8 << Result(header + day8 + today);
    QTest::newRow("another category of the day stays") << header + poulie << Result(header + poulie + today);
    QTest::newRow("header only") << header << Result(header + today);
    QTest::newRow("quoted category with a line end read as one row")
        << header + journal::row(on(9, "arc\r\nnu", 1)) << Result(header + journal::row(on(9, "arc\r\nnu", 1)) + today);
    QTest::newRow("saved without the mark: foreign") << header.mid(3) + day8 << Result();
    QTest::newRow("header reworded: foreign") << QByteArray(header).replace("Mises", "Nombre") + day8 << Result();
    QTest::newRow("saved with commas between fields: foreign")
        << QByteArray(header).replace(';', ',') + QByteArray(day8).replace(';', ',') << Result();
    QTest::newRow("numbers saved with a decimal point: foreign")
        << header + QByteArray(day8).replace("3,50", "3.5") << Result();
    QTest::newRow("saved with LF line ends: foreign") << header + QByteArray(day8).replace("\r\n", "\n") << Result();
    QTest::newRow("a column added: foreign") << header + QByteArray(day8).replace("\r\n", ";note\r\n") << Result();
    QTest::newRow("last row cut short: foreign") << header + day8.chopped(1) << Result();
    QTest::newRow("a blank line: foreign") << header + "\r\n" + day8 << Result();
    QTest::newRow("binary: foreign") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << Result();
}

void TestReport::journalRecords()
{
    QFETCH(QByteArray, journal);
    QFETCH(QByteArray, expected);
    QCOMPARE(journal::recorded(journal, on(9, QStringLiteral("arc classique"), 120)).value_or(QByteArray()), expected);
}

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
