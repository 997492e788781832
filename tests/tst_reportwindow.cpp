#include "app/mainwindow.h"
#include "app/qtfrench.h"

#include "journal/journal.h"
#include "journal/journalfile.h"
#include "report/ui/printing.h"
#include "report/sheet.h"
#include "report/shoots.h"
#include "settings/settingsline.h"
#include "fulldisk.h"
#include "windowtest.h"

#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using windowtest::child;

namespace {

const QString classique = QStringLiteral("prixGeneral_arc_classique.pdf");
const QString journalCsv = QStringLiteral("journal.csv");

QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess run;
    run.start(tool, arguments);
    return run.waitForFinished(30000) && run.exitCode() == 0 ? QString::fromUtf8(run.readAllStandardOutput())
                                                             : QString();
}

// Normalised, as the extractor's spacing and ligatures ("ﬀ") are not the point.
QString pdfText(const QString &path)
{
    return runTool("pdftotext", {"-enc", "UTF-8", path, "-"}).normalized(QString::NormalizationForm_KC).simplified();
}

#define SKIP_WITHOUT(tool)                                                                                   \
    if (QStandardPaths::findExecutable(tool).isEmpty())                                                      \
        QSKIP(tool " not found (Debian package poppler-utils): the sheet is not checked")

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

// "Calculer", then "Imprimer": a current list prints without a question.
void calculateAndPrint(QWidget &window)
{
    windowtest::click(window, "commandLinkButton");
    windowtest::click(window, "commandLinkButton_3");
}

// A journal of the program's own shape, of at least `size` bytes, with
// rows of days before today only.
QByteArray journalOfOtherDays(qsizetype size)
{
    journal::Entry entry;
    entry.printed = QDateTime(QDate::currentDate().addDays(-1), QTime(14, 32));
    entry.category = QStringLiteral("arc classique");
    entry.sheet = classique;
    const QByteArray header = "\xEF\xBB\xBF" + journal::headerRow(), row = *journal::row(entry);
    return header + row.repeated(qMax<qsizetype>(0, (size - header.size() + row.size() - 1) / row.size()));
}

// The rows of `csv` as LibreOffice reads them with the choices a French user
// makes on opening it, a cell by its type: 3.5, "text", date:2026-12-09,
// time.
QStringList spreadsheetRows(const QString &csv)
{
    QTemporaryDir out;
    QProcess convert;
    // ";", '"', UTF-8, from line 1, French, dates and times recognised.
    convert.start("soffice", {"-env:UserInstallation=" + QUrl::fromLocalFile(out.filePath("profile")).toString(),
                           "--headless", "--infilter=CSV:59,34,76,1,,1036,false,true", "--convert-to", "fods",
                           "--outdir", out.path(), csv});
    convert.waitForFinished(180000);
    QFile sheet(out.filePath(QFileInfo(csv).completeBaseName() + ".fods"));
    QStringList rows;
    QXmlStreamReader xml(sheet.open(QIODevice::ReadOnly) ? sheet.readAll() : QByteArray());
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        const auto cell = xml.attributes();
        const QString type = cell.value("office:value-type").toString();
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("table:table-row"))
            rows << QString();
        else if (type == "float")
            rows.last() += cell.value("office:value").toString() + '|';
        else if (type == "date")
            rows.last() += "date:" + cell.value("office:date-value").toString() + '|';
        else if (!type.isEmpty())
            rows.last() += type == "time" ? QStringLiteral("time|")
                                          : '"' + xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed()
                                                + "\"|";
    }
    rows.removeAll(QString());
    return rows;
}

// The name of the sheet of arc classique's shoot `number` today.
QString shoot(int number) { return shootFileName("arc classique", QDate::currentDate(), number); }

// As the program resolves it, against the current directory.
QString pathOf(const QString &name) { return QDir::current().absoluteFilePath(name); }
// As a message shows it: C:\… on Windows.
QString shownPathOf(const QString &name) { return QDir::toNativeSeparators(pathOf(name)); }

// Enter for the default answer, Esc for the way out ("Échap" presses it
// whatever it answers), a click for any other.
void answerWithKeys(QMessageBox *box, const QString &answer)
{
    if (answer == "Échap")
        QTest::keyClick(box, Qt::Key_Escape);
    else if (answer == box->defaultButton()->text())
        QTest::keyClick(box, Qt::Key_Return);
    else if (answer == box->escapeButton()->text())
        QTest::keyClick(box, Qt::Key_Escape);
    for (QAbstractButton *button : box->buttons())
        if (button->text() == answer && box->isVisible())
            button->click();
}

// What the treasurer does before printing or closing, in turn: "name=value"
// sets a field, "TextGain=text" types a line below the prize list, a name
// alone clicks that button, "?answer" answers the question the next click asks,
// "emptyList" deletes the whole list, "journee" shows the day's tab,
// "yesterday" puts a sheet of the day before in the journal, "nextDay"
// chooses the next day on the day's tab.
void runSteps(QWidget &window, const QStringList &steps)
{
    for (const QString &step : steps) {
        const QByteArray name = step.section('=', 0, 0).toLatin1();
        if (step == "journee") { // the day's tab, built as it is first shown
            auto *tabs = child<QTabWidget>(window, "tabWidget");
            tabs->setCurrentWidget(child<QWidget>(window, "journee"));
        } else if (step == "yesterday") { // a sheet printed the day before, in the journal
            QVERIFY(windowtest::writeBytes(journalCsv, journalOfOtherDays(400)));
        } else if (step == "nextDay") { // the next day of the list, chosen by key
            auto *days = child<QComboBox>(window, "jourBilan");
            days->setFocus();
            QTest::keyClick(days, Qt::Key_Down);
        } else if (step == "emptyList") { // all of it selected and deleted, as a user does
            QTextCursor all(child<QPlainTextEdit>(window, "TextGain")->document());
            all.select(QTextCursor::Document);
            all.removeSelectedText();
        } else if (step.startsWith('?'))
            windowtest::whenModal<QMessageBox>(&window, [answer = step.mid(1)](QMessageBox *box) {
                answerWithKeys(box, answer);
            });
        else if (name == "TextGain")
            child<QPlainTextEdit>(window, "TextGain")->appendPlainText(step.section('=', 1));
        else if (name == "comboBox")
            child<QComboBox>(window, "comboBox")->setCurrentIndex(step.section('=', 1).toInt());
        else if (step.contains('='))
            child<QWidget>(window, name.constData())->setProperty("value", step.section('=', 1).toDouble());
        else
            windowtest::click(window, name.constData());
    }
}

// Everything the treasurer sees and what the list's questions hang on.
QStringList look(const QWidget &window)
{
    QStringList seen;
    for (const QAbstractSpinBox *box : window.findChildren<QAbstractSpinBox *>())
        seen << box->objectName() + '=' + box->text();
    // Neither of a pair checked reads as its first: 1 €, percentages.
    for (const char *name : {"cinqEuro", "radioFixe"})
        seen << QString(name) + '=' + (child<QRadioButton>(window, name)->isChecked() ? "on" : "off");
    for (const QLineEdit *field : window.findChildren<QLineEdit *>())
        seen << field->objectName() + '=' + field->text();
    const auto *list = child<QPlainTextEdit>(window, "TextGain");
    seen << "category=" + child<QComboBox>(window, "comboBox")->currentText() << "list=" + list->document()->toHtml()
         << "typed=" + QString::number(list->document()->isModified());
    seen.sort();
    return seen;
}

} // namespace

class TestReportWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void printsEachCategory_data();
    void printsEachCategory();
    void printsReplaceOnlyTheirOwnSheet_data();
    void printsReplaceOnlyTheirOwnSheet();
    void journalOpensInSpreadsheet();
    void closingKeepsUnprintedTyping_data();
    void closingKeepsUnprintedTyping();
    void workComesBack_data();
    void workComesBack();
    void failedPrintKeepsOldSheet_data();
    void failedPrintKeepsOldSheet();
    void fillingDiskGetsWholeSheetOrNone_data();
    void fillingDiskGetsWholeSheetOrNone();
    void smallDiskPrintsWholeOrRefuses_data();
    void smallDiskPrintsWholeOrRefuses();
    void viewerIsStartedNotAwaited_data();
    void viewerIsStartedNotAwaited();
    void crestSurvivesImport_data();
    void crestSurvivesImport();
    void crestDialog_data();
    void crestDialog();
    void longSheetPrintsAsQtPrintsIt();

private:
    QStringList openedFiles() const;
    void printDayOfThreeCategories(const QString &again);

    QTemporaryDir opener; // the fake viewer and what it was given
    std::unique_ptr<windowtest::ScratchDir> work;
    std::unique_ptr<MainWindow> window;
};

void TestReportWindow::initTestCase()
{
#if defined(Q_OS_MACOS)
    QSKIP("only xdg-open can be replaced by a fake here; printing would start a real viewer");
#elif defined(Q_OS_WIN)
    // Wine is told by its ntdll.
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QSKIP("the user's own choice of PDF viewer outranks any stand-in; printing would start it");
#endif
    installQtFrench(*qApp);
    QLoggingCategory::setFilterRules(QStringLiteral("prixgeneral.*=false"));
    QVERIFY(windowtest::installFakeOpener(opener.path(), opener.filePath("opened.txt")));
}

void TestReportWindow::init()
{
    work = std::make_unique<windowtest::ScratchDir>();
    QVERIFY(work->isValid());
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestReportWindow::cleanup()
{
    window.reset();
    work.reset();
    QFile::remove(opener.filePath("opened.txt"));
}

QStringList TestReportWindow::openedFiles() const
{
    return windowtest::openedFiles(opener.filePath("opened.txt"));
}

void TestReportWindow::printsEachCategory_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("crest");      // "kind:name" makes that file first: copy, pipe, camera or text
    QTest::addColumn<QStringList>("steps");  // before "Imprimer": "name=value" or a button
    QTest::addColumn<QString>("answer");     // to the question; empty: none is asked
    QTest::addColumn<QString>("details");    // in its informative text
    QTest::addColumn<QString>("crestImage"); // its size in the PDF; empty: no crest picture
    // 120 bets and 35 blacks share out 318 €, one prize of 40 %, 3 € from the 2nd place.
    const QStringList day{"nbMises=120", "nbNoirsPayes=35", "valeurPrix1=40", "commandLinkButton"};
    const QString recalculate = "Recalculer et imprimer", asItStands = "Imprimer tel quel", cancel = "Annuler";
    QTest::newRow("arc classique with the resource crest")
        << 0 << classique << "Prix général arc classique" << ":/blason.png" << day << "" << "" << "241 297";
#ifdef Q_OS_WIN
    // Windows allows no double quote in a file name.
    QTest::newRow("arc poulie with a crest file named with quote and ampersand")
        << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie" << "copy:tir l'arc & co.png" << day
        << "" << "" << "241 297";
#else
    QTest::newRow("arc poulie with a crest file named with quote and ampersand")
        << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie" << "copy:tir \"&\" co.png" << day << "" << ""
        << "241 297";
#endif
    QTest::newRow("arc droit without crest: nothing where it goes")
        << 2 << "prixGeneral_arc_droit.pdf" << "Prix général arc droit" << "" << day << "" << "" << "";
    QTest::newRow("a crest file that is no picture: nothing where it goes, no broken picture")
        << 0 << classique << "Prix général arc classique" << "text:blason.png" << day << "" << "" << "";
    QTest::newRow("before any calculation") << 0 << classique << "Prix général arc classique" << "" << QStringList()
        << asItStands << "Aucune liste des prix n'a encore été calculée" << "";
    // The day's list, then one figure changed: "Imprimer" asks, whatever changed.
    const auto changed = [&](const char *name, const QStringList &change, const QString &answer, const char *details) {
        QTest::newRow(name) << 0 << classique << "Prix général arc classique" << "" << day + change << answer
                            << details << "";
    };
    changed("count corrected after Calculer: Enter recalculates, the sheet adds up", {"nbMises=300"}, recalculate,
            "318 € à distribuer\u00a0; le bilan annonce maintenant 822 €.");
    changed("bet price changed after Calculer: printed as it stands", {"tarifMise=4"}, asItStands, "maintenant 366 €");
    changed("costs percentage changed after Calculer: Esc prints nothing", {"pourcentFrais=10"}, cancel,
            "maintenant 360 €");
    changed("number of prizes changed after Calculer", {"nbPrix=2"}, recalculate, "2 prix (40 %, 0 %)");
    changed("prize value changed after Calculer", {"valeurPrix1=30"}, recalculate, "1 prix (30 %)");
    changed("prize type changed after Calculer", {"radioFixe"}, recalculate, "1 prix (40 €)");
    changed("rounding changed after Calculer", {"cinqEuro"}, recalculate, "arrondit maintenant à 5 €");
    changed("minimum gain changed after Calculer", {"gainMini=5"}, recalculate, "maintenant 5 €");
    QTest::newRow("list of arc classique printed under arc poulie: asks, Enter recalculates for poulie")
        << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie" << ""
        << QStringList{"comboBox=0"} + day + QStringList{"comboBox=1"} << recalculate
        << "la catégorie choisie est maintenant «\u00a0arc poulie\u00a0»." << "";
    changed("emptied list: asks, and printed anyway the journal has no prizes", {"emptyList"}, asItStands,
            "La liste des prix a été vidée");
    changed("names typed into a current list print without a question", {"TextGain=Jean Dupont, Marie Martin"}, "", "");
    changed("typed list then a count corrected: recalculating says it replaces the names",
            {"TextGain=Jean Dupont", "nbNoirsPayes=20"}, asItStands, "maintenant 326 €.\nRecalculer remplace");
    changed("typed list then a count corrected: Enter cancels and keeps the names",
            {"TextGain=Jean Dupont", "nbNoirsPayes=20"}, cancel, "Recalculer remplace");
    QTest::newRow("tel quel after a count corrected: the journal has the printed list, not the Bilan's")
        << 0 << classique << "Prix général arc classique" << ""
        << QStringList{"nbPrix=3", "valeurPrix1=40", "valeurPrix2=25", "valeurPrix3=10", "cinqEuro", "nbMises=100",
                       "nbNoirsPayes=10", "commandLinkButton", "nbMises=300"}
        << asItStands
        << "le bilan annonce maintenant" << "";
    QTest::newRow("list typed by hand: the journal has no amounts of Calculer")
        << 0 << classique << "Prix général arc classique" << ""
        << QStringList{"nbMises=120", "TextGain=1er : 100 €"}
        << asItStands << "Aucune liste des prix" << "";
    QTest::newRow("crest named with percent, hash and spaces is that very file")
        << 0 << classique << "Prix général arc classique" << "copy:blason #1 à 100%.png" << day << "" << ""
        << "241 297";
    QTest::newRow("camera-size crest prints as the picture, not a placeholder")
        << 0 << classique << "Prix général arc classique" << "camera:photo.png" << day << "" << "" << "300 300";
#ifdef Q_OS_UNIX
    QTest::newRow("crest that is a named pipe prints as missing instead of hanging")
        << 0 << classique << "Prix général arc classique" << "pipe:blason.png" << day << "" << "" << "";
    QTest::newRow("crest that is an endless device prints as missing instead of aborting")
        << 0 << classique << "Prix général arc classique" << "/dev/zero" << day << "" << "" << "";
#endif
}

void TestReportWindow::printsEachCategory()
{
    QFETCH(int, index);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QFETCH(QString, crest);
    QFETCH(QStringList, steps);
    QFETCH(QString, answer);
    QFETCH(QString, details);
    QFETCH(QString, crestImage);
    const QString cancel = "Annuler";
    const QString kind = crest.section(':', 0, 0);
    if (kind == "copy" || kind == "pipe" || kind == "camera" || kind == "text") {
        crest = pathOf(crest.section(':', 1));
        if (kind == "text") {
            QVERIFY(windowtest::writeBytes(crest, "ceci n'est pas une image"));
        } else if (kind == "copy") {
            QVERIFY(QFile::copy(":/blason.png", crest));
        } else if (kind == "camera") {
            // Past Qt's decoding limit at full size.
            QImage photo(7000, 7000, QImage::Format_RGB888);
            photo.fill(Qt::darkGreen);
            QVERIFY(photo.save(crest, "PNG", 100));
        } else {
#ifdef Q_OS_UNIX
            QCOMPARE(mkfifo(QFile::encodeName(crest).constData(), 0600), 0);
#endif
        }
    }
    child<QLineEdit>(*window, "blasonPrint")->setText(crest);
    child<QComboBox>(*window, "comboBox")->setCurrentIndex(index);
    auto *list = child<QPlainTextEdit>(*window, "TextGain");
    runSteps(*window, steps);
    const QString pool = child<QLineEdit>(*window, "sommePrix")->text();
    const QString shownList = list->toPlainText();
    // Recalculating would replace what was typed: then Enter cancels.
    const bool typed = steps.join(' ').contains("TextGain=") || steps.contains("emptyList");

    QStringList asked;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        asked << box->text() << box->defaultButton()->text() << box->escapeButton()->text();
        QVERIFY2(box->parentWidget() == window.get() && box->informativeText().contains(details),
                 qPrintable(box->informativeText()));
        // Enter gives the default answer and Esc the way out; the other is clicked.
        answerWithKeys(box, answer);
    });
    QElapsedTimer clock;
    clock.start();
    windowtest::click(*window, "commandLinkButton_3");
    QVERIFY2(clock.elapsed() < 20000, "printing waited on the crest");
    QCOMPARE(asked, answer.isEmpty() ? QStringList()
                                     : QStringList({"La liste des prix ne correspond plus au bilan.",
                                                    typed ? cancel : "Recalculer et imprimer", cancel}));
    if (answer == cancel) {
        QCOMPARE(windowtest::dirEntries("."), QStringList()); // so nothing to open either
        QCOMPARE(list->toPlainText(), shownList);
        return;
    }
    const QStringList prizeLines = list->toPlainText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(prizeLines.isEmpty(), steps.isEmpty() || steps.contains("emptyList"));
    QVERIFY(windowtest::readBytes(fileName).startsWith("%PDF-"));
    QTRY_COMPARE(openedFiles(), QStringList{pathOf(fileName)});
    // The journal tells a list typed into or printed as it stood from the computed one.
    const bool modified = answer == "Imprimer tel quel" || typed;
    const QByteArray recorded = windowtest::readBytes(journalCsv);
    qInfo("journal: %s", recorded.split('\n').value(1).trimmed().constData());
    QVERIFY2(recorded.contains(modified ? ";oui;prixGeneral_" : ";non;prixGeneral_"), recorded.constData());
    SKIP_WITHOUT("pdftotext");
    const QString text = pdfText(fileName);
    // A list "Calculer" made for these very figures adds up; one printed as it stands does not.
    QCOMPARE(testhelpers::sheetImbalance(text).isEmpty(), answer != "Imprimer tel quel");
    // The journal's prizes, minimum gains and leftover are the sheet's, whatever the Bilan says.
    QList<double> journalAmounts;
    for (const QByteArray &field : recorded.split('\n').value(1).split(';').mid(12, 3))
        if (!field.isEmpty())
            journalAmounts << QByteArray(field).replace(',', '.').toDouble();
    QCOMPARE(journalAmounts, testhelpers::sheetListAmounts(text));
    QStringList expected{title, "Montant des prix", ("Somme à distribuer : " + pool).simplified(),
                         QString::number(child<QSpinBox>(*window, "nbMises")->value()) + " mises effectuées",
                         QString::number(child<QSpinBox>(*window, "nbNoirsPayes")->value()) + " noirs payés"};
    for (const QString &line : prizeLines)
        expected << line.simplified();
    for (const QString &piece : std::as_const(expected))
        QVERIFY2(text.contains(piece), qPrintable(piece + " missing from: " + text));

    // The page the print system gave by default: A4.
    QVERIFY(runTool("pdfinfo", {fileName}).simplified().contains("Page size: 595 x 842 pts (A4)"));

    SKIP_WITHOUT("pdfimages");
    const QString images = runTool("pdfimages", {"-list", fileName}).simplified();
    // No crest, or none that can be read: no picture at all, not Qt's "missing file" icon.
    const int pictures = int(images.count(QRegularExpression("\\bimage \\d+ \\d+ ")));
    if (crestImage.isEmpty())
        QVERIFY2(pictures == 0, qPrintable(images));
    else
        QVERIFY2(pictures == 1 && images.contains(" image " + crestImage + " "), qPrintable(images));
}

// Printing a category again asks whether it is a new shoot or a correction;
// another category's sheet is left alone either way.
void TestReportWindow::printsReplaceOnlyTheirOwnSheet_data()
{
    QTest::addColumn<QString>("again");    // how arc classique is printed again: its answer, or "names" typed
    QTest::addColumn<QStringList>("rows"); // the journal's rows: category, bets and sheet of each
    const QString first = "arc classique;17;" + shoot(1), second = "arc classique;42;" + shoot(2);
    const QString droit = "arc droit;42;prixGeneral_arc_droit_" + QDate::currentDate().toString(Qt::ISODate) + "_tir1.pdf";
    const QString poulie = "arc poulie;42;prixGeneral_arc_poulie_" + QDate::currentDate().toString(Qt::ISODate) + "_tir1.pdf";
    QTest::newRow("Remplacer: the morning's sheet and row corrected in place")
        << "Remplacer" << QStringList{"arc classique;42;" + shoot(1), droit, poulie};
    QTest::newRow("Nouveau tir: a sheet and a row of its own, the first kept")
        << "Nouveau tir" << QStringList{first, second, droit, poulie};
    QTest::newRow("Enter: nothing printed, the first shoot stands") << "Entrée" << QStringList{first, droit, poulie};
    QTest::newRow("Esc: nothing printed") << "Échap" << QStringList{first, droit, poulie};
    QTest::newRow("a name corrected on the printed list: reprinted in place without a question")
        << "names" << QStringList{"arc classique;17;" + shoot(1), droit, poulie};
}

void TestReportWindow::printsReplaceOnlyTheirOwnSheet()
{
    QFETCH(QString, again);
    QFETCH(QStringList, rows);
    printDayOfThreeCategories(again);
    if (QTest::currentTestFailed())
        return;
    QStringList found;
    for (const QByteArray &line : windowtest::readBytes(journalCsv).split('\n').mid(1, rows.size() + 1)) {
        const QList<QByteArray> fields = line.trimmed().split(';');
        if (fields.size() == 17)
            found << QString::fromUtf8(fields[2] + ';' + fields[3] + ';' + fields[16]);
    }
    QCOMPARE(found, rows);
    // Each shoot's sheet is kept under its own name and shows its own figures.
    for (const QString &row : rows)
        QVERIFY2(pdfText(row.section(';', 2)).contains(row.section(';', 1, 1) + " mises effectuées"), qPrintable(row));
}

// The day of three categories, arc classique printed twice, `again` saying
// how (the shoot question's answer, or names typed into the printed list).
void TestReportWindow::printDayOfThreeCategories(const QString &again)
{
    SKIP_WITHOUT("pdftotext");
#ifdef Q_OS_UNIX
    // A sheet kept elsewhere through a link stays a link; its file is replaced.
    QVERIFY(QDir().mkdir("archive"));
    QVERIFY(windowtest::writeBytes("archive/classique.pdf", "old"));
    QVERIFY(QFile::link("archive/classique.pdf", classique));
#endif
    // What an earlier version left behind when it died mid-print goes with the next print.
    const QString leftover = "." + classique + ".4242.part";
    QVERIFY(windowtest::writeBytes(leftover, "%PDF-1.4 cut short"));
    // A main prize of 40 %, for the journal's columns of prizes below.
    child<QSpinBox>(*window, "valeurPrix1")->setValue(40);
    child<QSpinBox>(*window, "nbMises")->setValue(17);
    calculateAndPrint(*window);
    QVERIFY(pdfText(classique).contains("17 mises effectuées"));
    QVERIFY(!QFile::exists(leftover));
    const QByteArray morning = windowtest::readBytes(classique);

    QStringList asked;
    if (again == "names") {
        child<QPlainTextEdit>(*window, "TextGain")->appendPlainText("Jean Dupont");
        windowtest::click(*window, "commandLinkButton_3");
    } else {
        const QString time = QString::fromUtf8(windowtest::readBytes(journalCsv).split('\n').value(1).split(';').value(1));
        windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
            asked << box->text() << box->defaultButton()->text() << box->escapeButton()->text();
            for (QAbstractButton *button : box->buttons())
                asked << button->text();
            // Enter, Esc, the underlined letter of "Nouveau tir", a click on "Remplacer".
            if (again == "Entrée")
                QTest::keyClick(box, Qt::Key_Return);
            else if (again == "Échap")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (again == "Nouveau tir")
                QTest::keyClick(box, Qt::Key_N);
            else
                answerWithKeys(box, "Remplacer la feuille de " + time);
        });
        child<QSpinBox>(*window, "nbMises")->setValue(42);
        calculateAndPrint(*window);
        QCOMPARE(asked, (QStringList{"La catégorie «\u00a0arc classique\u00a0» a déjà une feuille aujourd'hui (" + time
                                         + ", 17\u00a0mises).",
                                     "Annuler", "Annuler", "&Nouveau tir", "Remplacer la feuille de " + time,
                                     "Annuler"}));
    }
    const bool printed = again != "Entrée" && again != "Échap";
    const QString text = pdfText(classique);
    QVERIFY2(text.contains(printed && again != "names" ? "42 mises effectuées" : "17 mises effectuées"), qPrintable(text));
    QCOMPARE(windowtest::readBytes(classique) == morning, !printed);

    const QByteArray sheet = windowtest::readBytes(classique);
    child<QComboBox>(*window, "comboBox")->setCurrentText("arc droit");
    child<QSpinBox>(*window, "nbMises")->setValue(42);
    calculateAndPrint(*window);
    QVERIFY(pdfText("prixGeneral_arc_droit.pdf").contains("Prix général arc droit"));
    QCOMPARE(windowtest::readBytes(classique), sheet);
#ifdef Q_OS_UNIX
    QVERIFY(QFileInfo(classique).isSymLink());
    QCOMPARE(windowtest::readBytes("archive/classique.pdf"), sheet);
#endif
    QStringList opened{pathOf(classique), pathOf(classique), pathOf("prixGeneral_arc_droit.pdf")};
    if (!printed)
        opened.removeAt(1);
    QTRY_COMPARE(openedFiles(), opened);

    // The day in the journal, and a spreadsheet reads each value as it is meant.
    child<QSpinBox>(*window, "nbNoirsPayes")->setValue(7);
    child<QComboBox>(*window, "comboBox")->setCurrentText("arc poulie");
    calculateAndPrint(*window);
    // Its viewer starts in the background: let it write before the next test looks.
    QTRY_COMPARE(openedFiles().size(), opened.size() + 1);
    QByteArray shown = windowtest::readBytes(journalCsv);
    qInfo("journal.csv:\n%s", shown.replace("\xEF\xBB\xBF", "<BOM>").replace("\r", "<CR>").constData());
}

// The day of three categories above, as a French spreadsheet reads each value.
void TestReportWindow::journalOpensInSpreadsheet()
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        QSKIP("LibreOffice not found (Debian package libreoffice-calc-nogui): the journal is not opened");
    printDayOfThreeCategories("Remplacer");
    if (QTest::currentTestFailed())
        return;
    const QStringList rows = spreadsheetRows(journalCsv);
    qInfo("as LibreOffice reads it:\n%s", qPrintable(rows.join('\n')));
    QCOMPARE(rows.size(), 4);
    QVERIFY2(rows[0].startsWith("\"Date\"|\"Heure\"|\"Catégorie\"|") && rows[0].endsWith("|\"Feuille\"|"),
             qPrintable(rows[0]));
    const QString day = "date:" + QDate::currentDate().toString(Qt::ISODate) + "|time|\"arc ";
    const QString end = "\"non\"|\"prixGeneral_arc_";
    const QString shootEnd = "_" + QDate::currentDate().toString(Qt::ISODate) + "_tir1.pdf\"|";
    QCOMPARE(rows[1], day + "classique\"|42|3.5|147|20|29|0|0.5|0|118|47|69|2|" + end + "classique" + shootEnd);
    QCOMPARE(rows[2], day + "droit\"|42|3.5|147|20|29|0|0.5|0|118|47|69|2|" + end + "droit" + shootEnd);
    QCOMPARE(rows[3], day + "poulie\"|42|3.5|147|20|29|7|0.5|3.5|114|46|66|2|" + end + "poulie" + shootEnd);
}

void TestReportWindow::closingKeepsUnprintedTyping_data()
{
    QTest::addColumn<QStringList>("steps"); // as in the print table, "commandLinkButton_3" prints
    QTest::addColumn<QString>("ending");    // "close", or a logout that may or may not ask
    QTest::addColumn<QString>("answer");    // to the question; empty: none is asked
    QTest::addColumn<QString>("question");  // "list", "count" or "settings"
    QTest::addColumn<int>("savedGain");     // save.ini's minimum gain after it all; -1: no save.ini
    // Saved first: only the list is at stake.
    const QStringList day{"nbMises=120", "valeurPrix1=40", "commandLinkButton_2", "commandLinkButton"};
    const QString list = "list", settings = "settings";
    QTest::newRow("nothing typed: closes at once") << day << "close" << "" << "" << 3;
    QTest::newRow("names typed and printed: closes at once")
        << day + QStringList{"TextGain=Jean Dupont", "commandLinkButton_3"} << "close" << "" << "" << 3;
    QTest::newRow("Calculer again after typing, Recalculer: nothing left to lose")
        << day + QStringList{"TextGain=x", "?Recalculer", "commandLinkButton"} << "close" << "" << "" << 3;
    QTest::newRow("Calculer again after typing, Enter: the names stay, closing asks")
        << day + QStringList{"TextGain=Jean Dupont", "?Annuler", "commandLinkButton"} << "close" << "Annuler" << list
        << 3;
    QTest::newRow("Calculer again after typing, Esc: the names stay, closing asks")
        << day + QStringList{"TextGain=Jean Dupont", "?Échap", "commandLinkButton"} << "close" << "Annuler" << list
        << 3;
    QTest::newRow("Calculer again after a print of the names: no question")
        << day + QStringList{"TextGain=Jean Dupont", "commandLinkButton_3", "commandLinkButton"} << "close" << ""
        << "" << 3;
    QTest::newRow("names typed, not printed: Enter keeps the window")
        << day + QStringList{"TextGain=Jean Dupont"} << "close" << "Annuler" << list << 3;
    QTest::newRow("names typed, not printed: closed on purpose")
        << day + QStringList{"TextGain=Jean Dupont"} << "close" << "Fermer sans imprimer" << list << 3;
    QTest::newRow("names typed after the print: asked again")
        << day + QStringList{"TextGain=Jean Dupont", "commandLinkButton_3", "TextGain=Marie Martin"} << "close"
        << "Annuler" << list << 3;
    QTest::newRow("list typed by hand, never printed: asked")
        << QStringList{"TextGain=1er : Jean"} << "close" << "Annuler" << list << -1;
    QTest::newRow("settings changed, not saved: Enter keeps the window")
        << day + QStringList{"gainMini=6"} << "close" << "Annuler" << settings << 3;
    QTest::newRow("settings changed: saved on closing") << day + QStringList{"gainMini=6"} << "close"
                                                        << "Sauvegarder et fermer" << settings << 6;
    QTest::newRow("settings changed: closed without saving") << day + QStringList{"gainMini=6"} << "close"
                                                             << "Fermer sans sauvegarder" << settings << 3;
    QTest::newRow("settings changed and names typed: one question, Enter keeps both")
        << day + QStringList{"TextGain=Jean Dupont", "gainMini=6"} << "close" << "Annuler" << settings << 3;
    QTest::newRow("settings changed back: nothing to save")
        << day + QStringList{"gainMini=6", "gainMini=3"} << "close" << "" << "" << 3;
    QTest::newRow("never saved, settings changed: asked") << QStringList{"tarifMise=4"} << "close" << "Annuler"
                                                          << settings << -1;
    QTest::newRow("a count typed, another day chosen: Enter keeps the count, closing asks")
        << day + QStringList{"yesterday", "journee", "fondDeCaisse=150", "billet100=2", "?Annuler", "nextDay"}
        << "close" << "Annuler" << "count" << 3;
    QTest::newRow("logout with names typed: Enter cancels the logout")
        << day + QStringList{"TextGain=Jean Dupont"} << "logout" << "Annuler" << list << 3;
    QTest::newRow("logout with names typed: closed on purpose, asked once")
        << day + QStringList{"TextGain=Jean Dupont"} << "logout" << "Fermer sans imprimer" << list << 3;
    QTest::newRow("logout with nothing typed: no question") << day << "logout" << "" << "" << 3;
    QTest::newRow("logout that allows no question: not cancelled, asked at close")
        << day + QStringList{"TextGain=Jean Dupont"} << "logout without questions" << "Annuler" << list << 3;
}

void TestReportWindow::closingKeepsUnprintedTyping()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, ending);
    QFETCH(QString, answer);
    QFETCH(QString, question);
    QFETCH(int, savedGain);
    runSteps(*window, steps);
    if (steps.contains("commandLinkButton_3"))
        QTRY_COMPARE(openedFiles().size(), 1); // its viewer, before the next test looks
    const QString typed = child<QPlainTextEdit>(*window, "TextGain")->toPlainText();
    QStringList asked;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        asked << box->text() << box->defaultButton()->text() << box->escapeButton()->text();
        QVERIFY(box->parentWidget() == window.get() && box->informativeText().contains("perdu"));
        if (question == "settings") // it names the list too when the names are at stake
            QCOMPARE(box->informativeText().contains("liste"), steps.contains("TextGain=Jean Dupont"));
        answerWithKeys(box, answer);
    });
    const bool closes = answer != "Annuler";
    if (ending == "close") {
        QCOMPARE(window->close(), closes);
    } else {
        // Answered once for the session: its closing asks nothing more, and
        // a session that lets nobody ask is never held up.
        const bool mayAsk = ending == "logout";
        QCOMPARE(window->cancelsSessionEnd(mayAsk), mayAsk && !closes);
        QCOMPARE(window->close(), closes);
    }
    QCOMPARE(window->isVisible(), !closes);
    const QStringList expected =
        question == "list"    ? QStringList{"La liste des prix contient des modifications qui n'ont pas été imprimées.",
                                            "Annuler", "Annuler"}
        : question == "count" ? QStringList{"Le comptage de la caisse n'a pas été imprimé.", "Annuler", "Annuler"}
                              : QStringList{"La configuration a été modifiée mais n'a pas été sauvegardée.", "Annuler",
                                            "Annuler"};
    QCOMPARE(asked, question.isEmpty() ? QStringList() : expected);
    QCOMPARE(child<QPlainTextEdit>(*window, "TextGain")->toPlainText(), typed);
    // Closing saves nothing unless asked to.
    QFile saved("save.ini");
    const std::optional<Settings> kept =
        saved.open(QIODevice::ReadOnly) ? parseSettingsLine(saved.readAll()) : std::nullopt;
    QCOMPARE(kept ? kept->minimumGain : -1, savedGain);
}

void TestReportWindow::workComesBack_data()
{
    QTest::addColumn<QStringList>("steps");  // as in the print table, before the crash
    QTest::addColumn<QByteArray>("leftover"); // a recovery file found at the first start
    QTest::addColumn<QString>("answer");      // to the offer at the next start; empty: none is made
    QTest::addColumn<QString>("afterwards");  // the first question "Imprimer" then asks; empty: none
    const QStringList day{"nbMises=120", "nbNoirsPayes=35", "valeurPrix1=40", "commandLinkButton"};
    const QString stale = "La liste des prix ne correspond plus au bilan.";
    QTest::newRow("nothing changed: nothing kept, nothing offered") << QStringList() << QByteArray() << "" << stale;
    QTest::newRow("changed back to the start: nothing offered")
        << QStringList{"nbMises=10", "nbMises=0"} << QByteArray() << "" << stale;
    QTest::newRow("counts, list and names: Enter takes them back, Imprimer asks nothing")
        << day + QStringList{"TextGain=Jean Dupont"} << QByteArray() << "Reprendre" << "";
    QTest::newRow("names with ; quotes, line ends and accents come back as typed")
        << day + QStringList{"TextGain=Zoé \"la Flèche\"; Léa\r\nMarc\tÉmile"} << QByteArray() << "Reprendre" << "";
    QTest::newRow("a list made stale before the crash still makes Imprimer ask")
        << day + QStringList{"nbMises=300"} << QByteArray() << "Reprendre" << stale;
    QTest::newRow("a list typed by hand comes back as no computed list")
        << QStringList{"nbMises=120", "TextGain=1er : Jean"} << QByteArray() << "Reprendre" << stale;
    QTest::newRow("category and unsaved settings come back unsaved")
        << QStringList{"comboBox=2", "gainMini=6", "tarifMise=4", "cinqEuro", "nbMises=40"} << QByteArray()
        << "Reprendre" << stale;
    QTest::newRow("a cash count not printed comes back, its day's tab built")
        << QStringList{"journee", "fondDeCaisse=150", "billet100=2", "piece1c=3"} << QByteArray() << "Reprendre"
        << stale;
    QTest::newRow("Esc takes the work back rather than drop it")
        << day + QStringList{"TextGain=Jean Dupont"} << QByteArray() << "Échap" << "";
    QTest::newRow("Ignorer drops it for good") << day + QStringList{"TextGain=Jean Dupont"} << QByteArray()
                                               << "Ignorer" << stale;
    QTest::newRow("a damaged recovery file is set aside, said and not offered")
        << QStringList() << QByteArray("Prix général, travail en cours, format 1\n{\"bets\": 4") << "" << stale;
}

void TestReportWindow::workComesBack()
{
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, leftover);
    QFETCH(QString, answer);
    QFETCH(QString, afterwards);
    QString said;
    if (!leftover.isEmpty()) {
        QVERIFY(windowtest::writeBytes("recuperation-1.txt", leftover));
        windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
            said = box->text() + '\n' + box->informativeText();
            QTest::keyClick(box, Qt::Key_Return);
        });
    }
    window->keepWorkAcrossCrashes();
    if (!leftover.isEmpty()) {
        QCOMPARE(QFile::exists("recuperation-1.txt"), false);
        QCOMPARE(windowtest::readBytes("recuperation-1-illisible.txt"), leftover);
        // Said, and by name: never set aside without a word.
        QVERIFY2(said.startsWith("Un travail gardé lors d'un arrêt brutal n'a pas pu être relu.")
                     && said.contains(shownPathOf("recuperation-1-illisible.txt")),
                 qPrintable(said));
    }
    const QStringList start = look(*window);
    runSteps(*window, steps);
    window->keepWorkNow(); // as the pause after the last key does
    const QStringList before = look(*window);
    window.reset(); // a crash: no close, no question

    window = std::make_unique<MainWindow>();
    window->show();
    QStringList asked;
    if (!answer.isEmpty())
        windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
            asked << box->text() << box->defaultButton()->text();
            answerWithKeys(box, answer);
        });
    window->keepWorkAcrossCrashes();
    const QStringList offer{"Prix général a été arrêté sans avoir été fermé.", "Reprendre"};
    QCOMPARE(asked, answer.isEmpty() ? QStringList() : offer);
    QCOMPARE(look(*window), answer == "Reprendre" || answer == "Échap" ? before : start);
    // Nothing is written to save.ini behind the treasurer's back.
    QVERIFY(!QFile::exists("save.ini"));

    QStringList printAsked;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        printAsked << box->text();
        answerWithKeys(box, "Annuler");
    });
    windowtest::click(*window, "commandLinkButton_3");
    if (afterwards.isEmpty())
        QTRY_COMPARE(openedFiles().size(), 1);
    QCOMPARE(printAsked, afterwards.isEmpty() ? QStringList() : QStringList{afterwards});
    // Ignored or taken back, it is offered no more.
    window.reset();
    window = std::make_unique<MainWindow>();
    asked.clear();
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        asked << box->text();
        box->reject();
    });
    window->keepWorkAcrossCrashes();
    QCOMPARE(asked.size(), answer == "Reprendre" || answer == "Échap" ? 1 : 0);
}

void TestReportWindow::failedPrintKeepsOldSheet_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("file"); // the one in the way
    QTest::newRow("a directory in the sheet's place") << "directory" << classique;
    QTest::newRow("a directory in the sheet's place on a French system: Qt's reason in English")
        << "directory, French system" << classique;
#ifdef Q_OS_UNIX
    QTest::newRow("file size limit reached mid-sheet: the cut sheet never replaces the old one")
        << "size limit" << classique;
    QTest::newRow("read-only sheet is not replaced") << "read-only file" << classique;
    QTest::newRow("read-only folder") << "read-only folder" << classique;
#endif
    // The sheet stands; the journal is left as it was, and says so.
    QTest::newRow("a directory in the journal's place") << "directory" << journalCsv;
    QTest::newRow("read-only journal is not replaced") << "read-only file" << journalCsv;
    QTest::newRow("journal saved by a spreadsheet in its own shape is not written over")
        << "foreign" << journalCsv;
    QTest::newRow("binary file named journal.csv is not written over") << "binary" << journalCsv;
    QTest::newRow("a row of another day no print writes (30 February): the journal is not written over")
        << "impossible date" << journalCsv;
    QTest::newRow("journal past what the program reads is not written over") << "large" << journalCsv;
    QTest::newRow("journal the next row would take past what the program writes: kept, said what to do")
        << "full" << journalCsv;
    QTest::newRow("journal being written by another window: the sheet still prints") << "locked" << journalCsv;
#ifdef Q_OS_LINUX
    QTest::newRow("journal's lock left by a window killed under another account: the message names it")
        << "lock of a killed window" << journalCsv;
#endif
#ifdef Q_OS_UNIX
    QTest::newRow("journal that is a named pipe holds up nothing") << "pipe" << journalCsv;
#endif
#ifdef Q_OS_WIN
    QTest::newRow("journal held open by a spreadsheet: close it and print again") << "held open" << journalCsv;
#endif
}

void TestReportWindow::failedPrintKeepsOldSheet()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, file);
    const bool french = obstacle.endsWith(", French system");
    obstacle = obstacle.section(',', 0, 0);
    std::optional<windowtest::FrenchSystem> system;
    if (french && !system.emplace().set)
        QSKIP(FRENCH_SYSTEM_MISSING);
#ifdef Q_OS_UNIX
    if (obstacle.startsWith("read-only") && geteuid() == 0)
        QSKIP("permissions stop no write for root");
#endif
    const bool sheet = file == classique;
    // The directory defeats even root; elsewhere yesterday's file must survive.
    const QString kept = obstacle == "directory" ? file + "/garde" : file;
    QByteArray yesterday = obstacle == "directory" ? QByteArray()
                           : sheet                 ? QByteArray("%PDF-1.4 yesterday's sheet")
                                                   : journalOfOtherDays(500);
    if (obstacle == "foreign")
        yesterday = "Date,Heure,Catégorie,Mises\r\n2026-12-08,14:32,arc classique,120\r\n";
    else if (obstacle == "binary")
        yesterday = QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    else if (obstacle == "impossible date")
        yesterday += yesterday.sliced(yesterday.lastIndexOf("\r\n", yesterday.size() - 3) + 2).replace(0, 10, "2025-02-30");
    else if (obstacle == "large")
        yesterday = journalOfOtherDays(journal::maxJournalSize + 1);
    else if (obstacle == "full")
        yesterday = journalOfOtherDays(journal::maxJournalWriteSize - 60);
#ifdef Q_OS_UNIX
    if (obstacle == "pipe")
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else
#endif
        QVERIFY(obstacle == "directory" ? QDir().mkpath(kept) : windowtest::writeBytes(kept, yesterday));
    if (obstacle == "read-only file")
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
#ifdef Q_OS_WIN
    // As a spreadsheet holds what it shows: shared with nobody.
    const HANDLE held = obstacle == "held open"
                            ? CreateFileW(reinterpret_cast<const wchar_t *>(file.utf16()), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                            : INVALID_HANDLE_VALUE;
    QVERIFY(obstacle != "held open" || held != INVALID_HANDLE_VALUE);
#endif

    QString shown, details;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        shown = box->text();
        details = box->informativeText();
        box->button(QMessageBox::Ok)->click();
    });
#ifdef Q_OS_UNIX
    if (obstacle == "read-only folder")
        QVERIFY(QFile::setPermissions(work->path(), QFile::ReadOwner | QFile::ExeOwner));
    // A full disk, even for root: the file opens, the writes fail.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit previous = limit;
    if (obstacle == "size limit")
        limit.rlim_cur = 16 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
#endif
    // As another copy of the program holds it while it writes.
    std::optional<QLockFile> writing;
    if (obstacle == "locked")
        QVERIFY(writing.emplace(file + ".lock").tryLock());
#ifdef Q_OS_LINUX
    // Or as one killed then leaves it, in a folder shared with this account.
    QObject copies;
    std::optional<testhelpers::OtherAccount> account;
    if (obstacle == "lock of a killed window") {
        QProcess *holder = testhelpers::startLockHolder(&copies, file);
        QVERIFY(holder);
        holder->kill();
        QVERIFY(holder->waitForFinished(30000));
        QVERIFY(account.emplace(work->path(), file + ".lock").ok);
    }
#endif
    calculateAndPrint(*window);
    writing.reset();
#ifdef Q_OS_LINUX
    account.reset();
#endif
    if (obstacle == "locked")
        QVERIFY2(details.contains("Une autre fenêtre de Prix général est en train de l'écrire"),
                 qPrintable(details));
    if (obstacle == "full")
        QVERIFY2(details.contains("Renommez-le pour le garder"), qPrintable(details));
    if (obstacle == "lock of a killed window")
        QVERIFY2(details.endsWith(QStringLiteral("Supprimez ce fichier (au besoin depuis le compte qui l'a créé), "
                                                 "puis imprimez de nouveau."))
                     && details.contains(QStringLiteral("Son verrou %1 est resté")
                                             .arg(QDir::toNativeSeparators(pathOf(file + ".lock")))),
                 qPrintable(details));
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    QFile::setPermissions(work->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
#ifdef Q_OS_WIN
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    if (obstacle == "held open")
        QVERIFY2(details.endsWith("fermez-le, puis imprimez de nouveau."), qPrintable(details));
#endif

    QCOMPARE(shown, sheet ? QStringLiteral("Erreur lors de la création du fichier PDF\u00a0!")
                          : QStringLiteral("Le journal n'a pas pu être mis à jour."));
    // The sheet is written under the shoot's own name first, then the documented one.
    const QString named = details.section('\n', 0, 0);
    QVERIFY2((named == shownPathOf(file) || (sheet && named == shownPathOf(shoot(1))))
                 && !details.section('\n', 1).isEmpty(),
             qPrintable(details));
    if (french)
        QVERIFY2(windowtest::englishWords(details.section('\n', 1)).isEmpty(), qPrintable(details));
    if (obstacle == "directory")
        QVERIFY(QFileInfo(kept).isDir());
    else if (obstacle == "pipe")
        QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile());
    else
        QCOMPARE(windowtest::readBytes(kept), yesterday);
    if (sheet) {
        QCOMPARE(windowtest::dirEntries(work->path()), QStringList{classique});
        QTest::qWait(300); // a started viewer would have written by now
        QCOMPARE(openedFiles(), QStringList());
    } else {
        // Pipes too: nothing left beside them, but the lock no one removed.
        QStringList left{file, classique};
        if (obstacle == "lock of a killed window")
            left.insert(1, file + ".lock");
        QCOMPARE(QDir(work->path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 left);
        QVERIFY(windowtest::readBytes(classique).startsWith("%PDF-"));
        QTRY_COMPARE(openedFiles(), QStringList{pathOf(classique)});
    }
}

void TestReportWindow::fillingDiskGetsWholeSheetOrNone_data()
{
    using fulldisk::endless;
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("room");     // below zero: that many bytes short of the file
    QTest::addColumn<qint64>("chunk");    // the most one write takes, 0 for no limit
    QTest::addColumn<QString>("failing"); // a later step that fails
    QTest::newRow("full at the first byte") << classique << 0LL << 0LL << "";
    QTest::newRow("full inside a write: its short count is not the whole sheet") << classique << 1473LL << 0LL << "";
    QTest::newRow("full between two writes") << classique << 8192LL << 4096LL << "";
    QTest::newRow("full in the last write: one byte short is no sheet") << classique << -1LL << 0LL << "";
    QTest::newRow("short writes with room to spare give the whole sheet") << classique << endless << 1000LL << "";
    QTest::newRow("full only when flushed") << classique << endless << 0LL << "flush";
    QTest::newRow("full only when synced to the disk") << classique << endless << 0LL << "sync";
    QTest::newRow("rename refused") << classique << endless << 0LL << "commit";
    QTest::newRow("journal: full inside a write") << journalCsv << 300LL << 0LL << "";
    QTest::newRow("journal: short writes with room to spare give the whole journal")
        << journalCsv << endless << 100LL << "";
    QTest::newRow("journal: rename refused") << journalCsv << endless << 0LL << "commit";
}

void TestReportWindow::fillingDiskGetsWholeSheetOrNone()
{
    QFETCH(QString, file);
    QFETCH(qint64, room);
    QFETCH(qint64, chunk);
    QFETCH(QString, failing);
    QTextDocument model;
    const QString html = sheetHtml({":/blason.png", "arc classique", "35 €", 1, 2, {}});
    // Yesterday's journal is read, and written again whole with today's row.
    const QByteArray yesterday = journalOfOtherDays(1000);
    journal::Entry today;
    today.printed = QDateTime::currentDateTime();
    today.category = QStringLiteral("arc classique");
    const QByteArray expected = file == classique ? renderSheet(model, html) : yesterday + *journal::row(today);
    const qint64 whole = expected.size();
    QVERIFY(file == journalCsv || whole > 16384);
    QVERIFY(file == classique || windowtest::writeBytes(journalCsv, yesterday));

    fulldisk::FillingDisk disk(room < 0 ? whole + room : room, chunk, failing);
    QString error;
    const bool roomy = room == fulldisk::endless && failing.isEmpty();
    QCOMPARE(file == classique ? printSheet(model, html, disk, &error)
                               : journal::recordInJournal(journalCsv, disk, today, &error),
             roomy);
    QCOMPARE(disk.committed, roomy);
    QCOMPARE(disk.cancelled, !roomy && failing != "commit");
    QCOMPARE(error, roomy ? QString() : disk.failure());
    if (roomy && file == classique)
        QVERIFY(disk.written.size() == whole && disk.written.trimmed().endsWith("%%EOF"));
    else if (roomy)
        QCOMPARE(disk.written, expected);
}

// A real disk that fills at every byte count in turn: each print either
// leaves yesterday's sheet and says so, or puts a whole sheet in its place;
// and the same for the journal beside it.
void TestReportWindow::smallDiskPrintsWholeOrRefuses_data()
{
    QTest::addColumn<int>("kib");
    QTest::addColumn<int>("journalKib"); // yesterday's journal, 0 for none
    for (int kib = 8; kib <= 64; kib += 4)
        QTest::newRow(qPrintable(QStringLiteral("%1 KiB").arg(kib))) << kib << 0;
    for (int kib = 72; kib <= 100; kib += 4)
        QTest::newRow(qPrintable(QStringLiteral("%1 KiB, a journal of 16 KiB").arg(kib))) << kib << 16;
}

void TestReportWindow::smallDiskPrintsWholeOrRefuses()
{
#ifndef Q_OS_LINUX
    QSKIP("small disks are made as tmpfs, on Linux");
#else
    QFETCH(int, kib);
    QFETCH(int, journalKib);
    SKIP_WITHOUT("pdfinfo");
    const QByteArray yesterday("%PDF-1.4 yesterday's sheet");
    const QByteArray oldJournal = journalKib > 0 ? journalOfOtherDays(journalKib * 1024) : QByteArray();
    fulldisk::TinyDisk disk(work->filePath("disk"), kib * 1024);
    if (!disk.why.isEmpty())
        QSKIP(qPrintable("a small tmpfs needs root: " + disk.why));
    QVERIFY(windowtest::writeBytes(classique, yesterday) && windowtest::writeBytes("save.ini", "3.5;0.5"));
    QVERIFY(oldJournal.isEmpty() || windowtest::writeBytes(journalCsv, oldJournal));
    child<QLineEdit>(*window, "blasonPrint")->setText(":/blason.png");

    QString shown;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        shown = box->text() + '\n' + box->informativeText();
        box->button(QMessageBox::Ok)->click();
    });
    calculateAndPrint(*window);
    QTest::qWait(300); // a started viewer would have written by now
    const QString sheet = pathOf(classique);
    const QString noSpace = "\nPlus de place sur le disque";
    const bool printed = !shown.startsWith("Erreur");
    const bool recorded = shown.isEmpty();
    qInfo("%d KiB: %s", kib, recorded ? "printed and recorded" : qPrintable("refused: " + shown.section('\n', 0, 0)));
    if (printed) {
        QVERIFY(runTool("pdfinfo", {classique}).contains("Pages:"));
        QCOMPARE(openedFiles(), QStringList{sheet});
    } else {
        // The shoot's own sheet is written first, then the documented one.
        QVERIFY2(shown == "Erreur lors de la création du fichier PDF\u00a0!\n" + sheet + noSpace
                     || shown == "Erreur lors de la création du fichier PDF\u00a0!\n" + pathOf(shoot(1)) + noSpace,
                 qPrintable(shown));
        QCOMPARE(windowtest::readBytes(classique), yesterday);
        QCOMPARE(openedFiles(), QStringList());
    }
    if (recorded) {
        const QByteArray journal = windowtest::readBytes(journalCsv);
        QVERIFY(journal.startsWith(oldJournal.isEmpty() ? "\xEF\xBB\xBF" + journal::headerRow() : oldJournal));
        QCOMPARE(journal.count('\n'), oldJournal.count('\n') + (oldJournal.isEmpty() ? 2 : 1));
    } else {
        if (printed)
            QCOMPARE(shown, "Le journal n'a pas pu être mis à jour.\n" + pathOf(journalCsv) + noSpace);
        QCOMPARE(windowtest::readBytes(journalCsv), oldJournal);
    }
    QStringList files{classique, "save.ini"};
    if (recorded || !oldJournal.isEmpty())
        files.prepend(journalCsv);
    // A shoot's own sheet stands beside its row, or not at all.
    if (recorded)
        files.insert(files.indexOf(classique) + 1, shoot(1));
    QCOMPARE(windowtest::dirEntries("."), files);
#endif
}

void TestReportWindow::viewerIsStartedNotAwaited_data()
{
    QTest::addColumn<QString>("viewer");
    QTest::newRow("a slow viewer does not hold up the print") << "slow";
    QTest::newRow("no viewer at all: the message says where the sheet is") << "none";
}

void TestReportWindow::viewerIsStartedNotAwaited()
{
    QFETCH(QString, viewer);
#ifdef Q_OS_WIN
    if (viewer == "none")
        QSKIP("cmd's start finds the .pdf program itself, and Windows answers when there is none");
#endif
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir slowFolder;
    if (viewer == "slow")
        QVERIFY(windowtest::installFakeOpener(slowFolder.path(), opener.filePath("opened.txt"), 3));
    else
        qputenv("PATH", QFile::encodeName(slowFolder.path()));
    QString shown, details;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        shown = box->text();
        details = box->informativeText();
        box->button(QMessageBox::Ok)->click();
    });
    QElapsedTimer clock;
    clock.start();
    calculateAndPrint(*window);
    const qint64 took = clock.elapsed();
    qputenv("PATH", path);

    QVERIFY(windowtest::readBytes(classique).startsWith("%PDF-"));
    if (viewer == "none") {
        QCOMPARE(shown, QStringLiteral("Le fichier PDF a été créé mais n'a pas pu être ouvert."));
        QVERIFY2(details.startsWith(shownPathOf(classique) + '\n'), qPrintable(details));
        return;
    }
    QVERIFY2(took < 2000, qPrintable(QString::number(took)));
    QCOMPARE(shown, QString());
    QTRY_COMPARE_WITH_TIMEOUT(openedFiles(), QStringList{pathOf(classique)}, 15000);
#ifdef Q_OS_UNIX
    // Every child the print started has been reaped: none left as a zombie.
    QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);
    QCOMPARE(errno, ECHILD);
#endif
}

void TestReportWindow::crestSurvivesImport_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("resource") << ":/blason.png";
    QTest::newRow("spaces") << "/tmp/mes images/blason.png";
    QTest::newRow("double quote") << "/tmp/le \"club\"/blason.png";
    QTest::newRow("ampersand and angle brackets") << "/tmp/tir & co/<b>.png";
    QTest::newRow("entity-like text") << "/tmp/a&amp;b/blason.png";
}

void TestReportWindow::crestSurvivesImport()
{
    // What the importer decodes is the path that is loaded: it must be the typed one.
    QFETCH(QString, path);
    SheetContent content;
    content.crestPath = path;
    QCOMPARE(imageSources(sheetHtml(content)), QStringList{path});
}

void TestReportWindow::crestDialog_data()
{
    QTest::addColumn<bool>("choose");
    QTest::newRow("chosen file gives its absolute path") << true;
    QTest::newRow("cancel changes nothing") << false;
}

void TestReportWindow::crestDialog()
{
    QFETCH(bool, choose);
    QVERIFY(QDir().mkdir("images"));
    const QString start = pathOf("images");
    const QString chosen = pathOf("images/blason club.png");
    QVERIFY(QFile::copy(":/blason.png", chosen));

    auto *crest = child<QLineEdit>(*window, "blasonPrint");
    crest->setText(start);
    QStringList seen;
    windowtest::whenModal<QFileDialog>(window.get(), [&](QFileDialog *dialog) {
        seen << dialog->windowTitle() << dialog->nameFilters() << dialog->directory().absolutePath();
        if (choose) {
            // selectFile() goes through the file list, which fills asynchronously.
            child<QLineEdit>(*dialog, "fileNameEdit")->setText(chosen);
            static_cast<QDialog *>(dialog)->accept(); // public in QDialog
        } else {
            dialog->reject();
        }
    });
    windowtest::click(*window, "pushButton");

    QCOMPARE(seen, (QStringList{"Blason à utiliser", "*.png *.jpg *.gif *.jpeg *.bmp", start}));
    QCOMPARE(crest->text(), choose ? chosen : start);
}

// This test started again as a copy of the program that holds the
// journal's lock (testhelpers::startLockHolder): --hold JOURNAL.
// A sheet many pages long, a season's table, comes out page for page as
// Qt's own print of the same document: laying out only once for the page
// loses no row, page break or page number.
void TestReportWindow::longSheetPrintsAsQtPrintsIt()
{
    SKIP_WITHOUT("pdftotext");
    QString html = QStringLiteral("<html><body style=\"font-size: 9pt\"><h1>Bilan</h1>"
                                  "<table border=1 cellspacing=0 cellpadding=4 width=\"100%\">");
    for (int row = 0; row < 400; ++row) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < 8; ++column)
            html += QStringLiteral("<td align=right>%1,%2</td>").arg(row).arg(column, 2, 10, QLatin1Char('0'));
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p>Le trésorier</p></body></html>");
    QTextDocument model;
    model.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));

    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.pdf"), qts = dir.filePath("qt.pdf");
    QFile file(ours);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(renderSheet(model, html)) > 0);
    file.close();
    {
        const std::unique_ptr<QTextDocument> sheet(model.clone());
        sheet->setHtml(html);
        QPdfWriter writer(qts);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(1200);
        sheet->print(&writer);
    }
    const QString text = runTool("pdftotext", {"-enc", "UTF-8", "-layout", ours, "-"});
    QVERIFY2(text.count(QLatin1Char('\f')) > 5 && text.contains("399,07") && text.contains("Le trésorier"),
             qPrintable(text.left(2000)));
    QCOMPARE(text, runTool("pdftotext", {"-enc", "UTF-8", "-layout", qts, "-"}));
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        QCoreApplication app(argc, argv);
        return testhelpers::holdJournalLock(app.arguments().at(2));
    }
    // As QTEST_MAIN does.
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestReportWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reportwindow.moc"
