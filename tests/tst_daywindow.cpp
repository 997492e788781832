// The "Journée" tab in the real window: a day of prints, the cash count, the
// day's and the season's statements read back from their PDF, and journals
// and cash books the program did not write.
#include "app/mainwindow.h"
#include "app/qtfrench.h"
#include "day/cash.h"
#include "day/daymodel.h"
#include "day/sheets.h"
#include "day/statement.h"
#include "journal/journal.h"
#include "windowtest.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using windowtest::child;

namespace {

// As the extractor lays the page out; pdfText normalises it, as its spacing
// and ligatures are not the point.
QString pdfLayout(const QString &path)
{
    QProcess run;
    run.start("pdftotext", {"-enc", "UTF-8", "-layout", path, "-"});
    return run.waitForFinished(30000) ? QString::fromUtf8(run.readAllStandardOutput()) : QString();
}

QString pdfText(const QString &path)
{
    return pdfLayout(path).normalized(QString::NormalizationForm_KC).simplified();
}

// As the program resolves it, against the current directory.
QString pathOf(const QString &name) { return QDir::current().absoluteFilePath(name); }

// One category printed the usual way: its counts, "Calculer", "Imprimer".
void printCategory(QWidget &window, int category, int bets, int blacks)
{
    child<QComboBox>(window, "comboBox")->setCurrentIndex(category);
    child<QSpinBox>(window, "nbMises")->setValue(bets);
    child<QSpinBox>(window, "nbNoirsPayes")->setValue(blacks);
    windowtest::click(window, "commandLinkButton");
    windowtest::click(window, "commandLinkButton_3");
}

void showDay(QWidget &window)
{
    auto *tabs = child<QTabWidget>(window, "tabWidget");
    tabs->setCurrentWidget(child<QWidget>(window, "journee"));
}

// "name=value" into a count field, "name=text" into a line.
void typeCount(QWidget &window, const QStringList &fields)
{
    for (const QString &field : fields) {
        const QByteArray name = field.section('=', 0, 0).toLatin1();
        if (auto *line = qobject_cast<QLineEdit *>(child<QWidget>(window, name.constData())))
            line->setText(field.section('=', 1));
        else
            child<QWidget>(window, name.constData())->setProperty("value", field.section('=', 1).toDouble());
    }
}

} // namespace

class TestDayWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statements_data();
    void statements();
    void unreadableFilesAreLeftAlone_data();
    void unreadableFilesAreLeftAlone();

private:
    QStringList openedFiles() const { return windowtest::openedFiles(opener.filePath("opened.txt")); }

    QTemporaryDir opener;
    std::unique_ptr<windowtest::ScratchDir> work;
    std::unique_ptr<MainWindow> window;
};

void TestDayWindow::initTestCase()
{
#if defined(Q_OS_WIN)
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QSKIP("the user's own choice of PDF viewer outranks any stand-in; printing would start it");
#endif
    installQtFrench(*qApp);
    QVERIFY(windowtest::installFakeOpener(opener.path(), opener.filePath("opened.txt")));
}

void TestDayWindow::init()
{
    work = std::make_unique<windowtest::ScratchDir>();
    QVERIFY(work->isValid());
    // Three prizes of 40, 25 and 15 %, rounded to 5 €.
    QVERIFY(windowtest::writeBytes("save.ini", "3.5;0.5;3;20;3;pourcent;40;25;15;0;0;:/blason.png;5"));
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestDayWindow::cleanup()
{
    window.reset();
    work.reset();
    QFile::remove(opener.filePath("opened.txt"));
}

void TestDayWindow::statements_data()
{
    QTest::addColumn<QStringList>("day"); // "typed": the third list typed by hand; "prizes=E": then E € typed
                                          // for it in the table; "only=N": N categories printed; "journal=N": N
                                          // sheets more in the journal; "huge": one of 1 234 567,89 €;
                                          // "crest=none|broken": no crest, or a file that is no picture
    QTest::addColumn<QStringList>("count");
    QTest::addColumn<QStringList>("shown");     // caisseAttendue, caisseComptee, ecartCaisse
    QTest::addColumn<QStringList>("asked");     // questions before the statement, each answered "print"
    QTest::addColumn<QStringList>("statement"); // in order in the day's statement
    QTest::addColumn<QStringList>("paper");     // "pages=N", "images=N": the statement as pdfinfo and pdfimages see it
    // 101 bets and 7 blacks, 57 and 3, 20 and 0 at 3,50 € and 0,50 €: 623,00 €
    // received, 5,00 € of blacks and 488,00 € of prizes paid (220 + 57,
    // 130 + 27, 45 + 9). With a float of 150 €, the box holds 280,00 €.
    const QStringList exact{"fondDeCaisse=150", "billet100=2", "billet50=1", "billet20=1", "billet10=1",
                            "comptePar=Léa Martin"};
    const QStringList none;
    QTest::newRow("counted exactly: no difference, the crest and one page")
        << none << exact << QStringList{"280,00 €", "280,00 €", "0,00 €"} << none
        << QStringList{"Bilan de la journée du", "n° 1", "arc classique", "353 €", "70 €", "353,50 €", "arc poulie",
                       "199,50 €", "arc droit", "70,00 €", "623,00 €", "5,00 €", "488,00 €", "Billets", "Pièces",
                       "150,00 €", "280,00 €", "Léa Martin"}
        << QStringList{"pages=1", "images=1"};
    QTest::newRow("counted short without a reason: said unexplained")
        << none << exact + QStringList{"billet10=0"} << QStringList{"280,00 €", "270,00 €", "−10,00 €"} << none
        << QStringList{"623,00 €", "270,00 €", "−10,00 €", "Écart non expliqué"} << none;
    QTest::newRow("counted short with its reason, prizes not collected back in the box")
        << none << exact + QStringList{"prixNonReclames=9", "billet5=1", "piece2e=2", "motifEcart=Un prix rendu"}
        << QStringList{"289,00 €", "289,00 €", "0,00 €"} << none << QStringList{"289,00 €", "Un prix rendu"} << none;
    QTest::newRow("a reason typed, then the count changed: asked, printed with it")
        << none << exact + QStringList{"motifEcart=Un prix rendu", "billet20=3"}
        << QStringList{"280,00 €", "320,00 €", "40,00 €"}
        << QStringList{"Le motif de l'écart a été tapé pour un autre écart."} << QStringList{"Un prix rendu"} << none;
    QTest::newRow("a deposit: the box keeps what was counted less it, on paper and in the book")
        << none << exact + QStringList{"remiseBanque=200"} << QStringList{"280,00 €", "280,00 €", "0,00 €"} << none
        << QStringList{"Remise en banque", "200,00 €", "Fond de caisse conservé", "80,00 €"} << none;
    QTest::newRow("a deposit past the box: asked before printing")
        << none << exact + QStringList{"remiseBanque=500"} << QStringList{"280,00 €", "280,00 €", "0,00 €"}
        << QStringList{"Le comptage ne semble pas juste."} << QStringList{"Fond de caisse conservé", "−220,00 €"}
        << none;
    QTest::newRow("9999 notes of 500 €: asked before printing")
        << none << exact + QStringList{"billet500=9999"} << QStringList{"280,00 €", "4 999 780,00 €", "4 999 500,00 €"}
        << QStringList{"Le comptage ne semble pas juste."} << QStringList{"4 999 500,00 €"} << none;
    QTest::newRow("a list typed by hand: the expected cash is not made up, the others' prizes known")
        << QStringList{"typed"} << exact << QStringList{"inconnue", "280,00 €", "inconnu"} << none
        << QStringList{"inconnus", "434,00 € + ?", "Prix payés inconnus pour"} << none;
    QTest::newRow("a list typed by hand, its prizes typed in the table: the expected cash known")
        << QStringList{"typed", "prizes=54"} << exact << QStringList{"280,00 €", "280,00 €", "0,00 €"} << none
        << QStringList{"54,00 €", "488,00 €", "Prix payés tapés sur l'onglet Journée"} << none;
    QTest::newRow("one sheet: one page") << QStringList{"only=1"} << QStringList{"fondDeCaisse=150"}
                                         << QStringList{"223,00 €", "0,00 €", "−223,00 €"} << none
                                         << QStringList{"arc classique"} << QStringList{"pages=1"};
    QTest::newRow("six sheets: one page") << QStringList{"journal=3"} << exact << QStringList() << none
                                          << QStringList{"catégorie 3", "Billets", "Pièces", "Le vérificateur aux comptes"}
                                          << QStringList{"pages=1"};
    QTest::newRow("twelve sheets: one page") << QStringList{"journal=9"} << exact << QStringList() << none
                                             << QStringList{"catégorie 9", "Le vérificateur aux comptes"}
                                             << QStringList{"pages=1"};
    QTest::newRow("sixty sheets: page 1 / 2, the table's header again on page 2")
        << QStringList{"journal=57"} << exact << QStringList() << none
        << QStringList{"catégorie 9", "page 1 / 2", "Catégorie", "Heure", "Mises", "Total de la",
                       "Le vérificateur aux comptes", "page 2 / 2"}
        << QStringList{"pages=2"};
    QTest::newRow("an amount of 1 234 567,89 € in a narrow column: on one line")
        << QStringList{"huge"} << exact << QStringList() << none << QStringList{"1 234 567,89 €"} << none;
    QTest::newRow("no crest: nothing where it goes") << QStringList{"crest=none"} << exact << QStringList() << none
                                                     << QStringList{"Bilan de la journée du"} << QStringList{"images=0"};
    QTest::newRow("a crest that is no picture: nothing where it goes")
        << QStringList{"crest=broken"} << exact << QStringList() << none << QStringList{"Bilan de la journée du"}
        << QStringList{"images=0"};
}

void TestDayWindow::statements()
{
    QFETCH(QStringList, day);
    QFETCH(QStringList, count);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, statement);
    QFETCH(QStringList, paper);
    const auto option = [&day](const QString &name) { return day.filter(QRegularExpression('^' + name + "(=|$)")).value(0).section('=', 1); };
    const bool typedList = day.contains("typed");
    const int printed = option("only").isEmpty() ? 3 : option("only").toInt();

    QVERIFY(windowtest::writeBytes("blason.png", "ceci n'est pas une image"));
    if (!option("crest").isEmpty()) {
        child<QLineEdit>(*window, "blasonPrint")->setText(option("crest") == "none" ? QString() : pathOf("blason.png"));
        windowtest::click(*window, "commandLinkButton_2");
    }
    // Sheets of other categories printed earlier today, as the journal keeps them.
    QByteArray journal;
    for (int i = 1; i <= option("journal").toInt() + (day.contains("huge") ? 1 : 0); ++i) {
        journal::Entry entry;
        entry.printed = QDateTime(QDate::currentDate(), QTime(9, i));
        entry.category = QStringLiteral("catégorie %1").arg(i);
        entry.bets = day.contains("huge") ? 9 : 10 * i;
        entry.betPrice = day.contains("huge") ? 137174.21 : 3.5;
        entry.receipts = int(entry.bets * entry.betPrice);
        entry.blackPrice = 0.5;
        entry.list = prizes::ListAmounts{20, 9, 0.5f};
        entry.sheet = QStringLiteral("prixGeneral_x_%1.pdf").arg(i);
        journal += *journal::row(entry);
    }
    if (!journal.isEmpty())
        QVERIFY(windowtest::writeBytes("journal.csv", "\xEF\xBB\xBF" + journal::headerRow() + journal));

    if (printed >= 1)
        printCategory(*window, 0, 101, 7);
    if (printed >= 2)
        printCategory(*window, 1, 57, 3);
    if (printed >= 3 && typedList) {
        // No "Calculer": the list is typed, and printed as it stands.
        child<QComboBox>(*window, "comboBox")->setCurrentIndex(2);
        child<QSpinBox>(*window, "nbMises")->setValue(20);
        child<QSpinBox>(*window, "nbNoirsPayes")->setValue(0);
        child<QPlainTextEdit>(*window, "TextGain")->setPlainText("1er : Jean");
        windowtest::whenModal<QMessageBox>(window.get(), [](QMessageBox *box) {
            for (QAbstractButton *button : box->buttons())
                if (button->text() == "Imprimer tel quel")
                    button->click();
        });
        windowtest::click(*window, "commandLinkButton_3");
    } else if (printed >= 3) {
        printCategory(*window, 2, 20, 0);
    }
    QTRY_COMPARE(openedFiles().size(), printed);

    showDay(*window);
    auto *days = child<QComboBox>(*window, "jourBilan");
    QCOMPARE(days->currentText(), day::dayName(QDate::currentDate()));
    auto *sheets = child<QTableView>(*window, "feuillesJour");
    const int rows = printed + option("journal").toInt() + (day.contains("huge") ? 1 : 0);
    QCOMPARE(sheets->model()->rowCount(), rows + 1);
    // Spaces as the eye reads them: the program writes no-break ones.
    const auto plain = [](const QString &text) { return text.normalized(QString::NormalizationForm_KC); };
    if (rows == 3 && !typedList)
        QCOMPARE(plain(sheets->model()->index(3, 3).data().toString()), QString("623,00 €"));
    if (!option("prizes").isEmpty()) {
        // Typed in the prize cell of the list typed by hand, as money is typed.
        const QModelIndex cell = sheets->model()->index(2, day::DayModel::Prizes);
        sheets->setCurrentIndex(cell);
        sheets->edit(cell);
        QWidget *editor = sheets->viewport()->findChild<QDoubleSpinBox *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, option("prizes"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(plain(sheets->model()->index(2, day::DayModel::Prizes).data().toString()),
                     option("prizes") + ",00 €");
        QVERIFY(windowtest::readBytes("prix_payes.csv").contains(";arc droit;"));
    }
    typeCount(*window, count);
    if (!shown.isEmpty())
        QCOMPARE((QStringList{plain(child<QLineEdit>(*window, "caisseAttendue")->text()),
                              plain(child<QLineEdit>(*window, "caisseComptee")->text()),
                              plain(child<QLineEdit>(*window, "ecartCaisse")->text())}),
                 shown);

    // A count not printed is asked about on closing; Enter keeps it.
    QStringList closing;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        closing << box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!window->close());
    QCOMPARE(closing, QStringList{"Le comptage de la caisse n'a pas été imprimé."});

    const QString dayFile = day::dayStatementFileName(QDate::currentDate(), 1);
    // What looks wrong is asked about first; the answer here is to print.
    QStringList questions;
    for (qsizetype i = 0; i < asked.size(); ++i)
        windowtest::whenModal<QMessageBox>(window.get(), [&questions](QMessageBox *box) {
            questions << box->text();
            QCOMPARE(box->defaultButton()->text(), QString("Annuler"));
            box->buttons().constFirst()->click();
        });
    windowtest::click(*window, "imprimerBilan");
    QTRY_COMPARE(openedFiles().size(), printed + 1);
    QCOMPARE(QFileInfo(openedFiles().last()).fileName(), dayFile);
    QCOMPARE(questions, asked);
    QList<day::CashRecord> records;
    QString error;
    QVERIFY2(day::readCashBook("caisse.csv", &records, &error), qPrintable(error));
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().count.deposit, qRound64(child<QDoubleSpinBox>(*window, "remiseBanque")->value() * 100));
    // Under Wine the Linux tool is out of reach: the rest is still checked.
    const bool readBack = !QStandardPaths::findExecutable("pdftotext").isEmpty();
    QString text = readBack ? pdfText(dayFile) : QString();
    qsizetype at = 0;
    for (const QString &piece : readBack ? statement : QStringList()) {
        at = text.indexOf(piece, at);
        QVERIFY2(at >= 0, qPrintable(piece + " missing in order from: " + text));
    }
    // The paper as its readers see it: its pages, its pictures, each amount on one line.
    if (readBack) {
        for (const QString &check : paper) {
            const QString tool = check.startsWith("pages") ? "pdfinfo" : "pdfimages";
            QProcess run;
            run.start(tool, check.startsWith("pages") ? QStringList{dayFile} : QStringList{"-list", dayFile});
            QVERIFY(run.waitForFinished(30000));
            const QString out = QString::fromUtf8(run.readAllStandardOutput());
            const int found = check.startsWith("pages")
                ? QRegularExpression("Pages:\\s+(\\d+)").match(out).captured(1).toInt()
                : int(out.simplified().count(QRegularExpression("\\bimage \\d+ \\d+ ")));
            QVERIFY2(found == check.section('=', 1).toInt(), qPrintable(check + ":\n" + out));
        }
        const QString layout = pdfLayout(dayFile).normalized(QString::NormalizationForm_KC);
        if (day.contains("huge"))
            QVERIFY2(layout.contains("1 234 567,89 €"), qPrintable(layout));
    }

    // Printed again with a changed count: a new number, in a file of its own,
    // which says what it replaces; the first stays as it was printed.
    const QByteArray firstStatement = windowtest::readBytes(dayFile);
    typeCount(*window, {"comptePar=Léa et Marc"});
    for (qsizetype i = 0; i < asked.size(); ++i)
        windowtest::whenModal<QMessageBox>(window.get(), [](QMessageBox *box) { box->buttons().constFirst()->click(); });
    windowtest::click(*window, "imprimerBilan");
    QTRY_COMPARE(openedFiles().size(), printed + 2);
    const QString secondFile = day::dayStatementFileName(QDate::currentDate(), 2);
    QCOMPARE(QFileInfo(openedFiles().last()).fileName(), secondFile);
    QCOMPARE(windowtest::readBytes(dayFile), firstStatement);
    QVERIFY2(!readBack || pdfText(secondFile).contains("n° 2 (remplace le n° 1)"), qPrintable(pdfText(secondFile)));
    if (readBack)
        qInfo("%s:\n%s", qPrintable(secondFile), qPrintable(pdfLayout(secondFile)));
    QVERIFY(day::readCashBook("caisse.csv", &records, &error) && records.size() == 2);

    const QString seasonFile = day::seasonStatementFileName(QDate::currentDate());
    windowtest::click(*window, "imprimerSaison");
    QTRY_COMPARE(openedFiles().size(), printed + 3);
    QCOMPARE(QFileInfo(openedFiles().last()).fileName(), seasonFile);
    text = readBack ? pdfText(seasonFile) : QString();
    if (readBack)
        qInfo("%s:\n%s", qPrintable(seasonFile), qPrintable(pdfLayout(seasonFile)));
    QVERIFY2(!readBack
                 || (text.contains("Bilan de la saison " + day::seasonName(QDate::currentDate()))
                     && text.contains(QDate::currentDate().toString("dd/MM/yyyy"))
                     && (rows != 3 || text.contains("623,00 €"))),
             qPrintable(text));
    // Everything printed: closing asks nothing.
    QVERIFY(window->close());
    if (!readBack)
        QSKIP("pdftotext not found (Debian package poppler-utils; out of reach under Wine): the statements were "
              "printed and opened, their text not read back");
}

void TestDayWindow::unreadableFilesAreLeftAlone_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason"); // shown on the tab and in the refusal

    const QByteArray journalHeader =
        "\xEF\xBB\xBF" "Date;Heure;Catégorie;Mises;Tarif de la mise;Somme encaissée;Pourcentage de frais;"
        "Montant des frais;Noirs payés;Tarif des noirs;Somme des noirs payés;Somme à distribuer;Prix principaux;"
        "Gains minimum;Fraction honteux;Liste modifiée;Feuille\r\n";
    const QByteArray row = "2026-12-10;14:32;arc classique;42;3,50;147;20;29;0;0,50;0;118;47;69;2;non;"
                           "prixGeneral_arc_classique.pdf\r\n";
    QTest::newRow("journal saved by a spreadsheet with commas") << "journal.csv"
                                                                << QByteArray(journalHeader).replace(';', ',') + row
                                                                << "journal.csv";
    QTest::newRow("journal cut short in its last row") << "journal.csv" << journalHeader + row.left(40)
                                                       << "ligne 2";
    QTest::newRow("cash book of another program") << "caisse.csv" << QByteArray("N°,Date\n1,2026-12-10\n")
                                                   << "caisse.csv";
}

void TestDayWindow::unreadableFilesAreLeftAlone()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QVERIFY(windowtest::writeBytes(file, bytes));
    showDay(*window);
    auto *problem = child<QLabel>(*window, "problemeJournal");
    QVERIFY2(problem->isVisible() && problem->text().contains(reason), qPrintable(problem->text()));
    typeCount(*window, {"fondDeCaisse=100", "billet100=1"});

    QStringList refused;
    for (const char *button : {"imprimerBilan", "imprimerSaison"}) {
        windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
            refused << box->text();
            QVERIFY(box->informativeText().contains(reason));
            QTest::keyClick(box, Qt::Key_Return);
        });
        windowtest::click(*window, button);
    }
    QCOMPARE(refused, (QStringList{"Le bilan n'a pas été imprimé.", "Le bilan de la saison n'a pas été imprimé."}));
    QCOMPARE(windowtest::readBytes(file), bytes);
    QCOMPARE(windowtest::dirEntries(".").filter("bilan"), QStringList());
    QVERIFY(file == "caisse.csv" || !QFile::exists("caisse.csv"));
    QCOMPARE(openedFiles(), QStringList());
}

QTEST_MAIN(TestDayWindow)
#include "tst_daywindow.moc"
