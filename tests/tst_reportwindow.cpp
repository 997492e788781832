#include "app/mainwindow.h"
#include "app/qtfrench.h"

#include "report/printing.h"
#include "report/sheet.h"
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

// As the program resolves it, against the current directory.
QString pathOf(const QString &name) { return QDir::current().absoluteFilePath(name); }

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
    void printsReplaceOnlyTheirOwnSheet();
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

private:
    QStringList openedFiles() const;

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
    QStringList files =
        QString::fromUtf8(windowtest::readBytes(opener.filePath("opened.txt"))).split('\n', Qt::SkipEmptyParts);
#ifdef Q_OS_WIN
    for (QString &file : files)
        file = QDir::fromNativeSeparators(file.trimmed());
#endif
    return files;
}

void TestReportWindow::printsEachCategory_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("crest");      // "kind:name" makes that file first: copy, pipe or camera
    QTest::addColumn<bool>("calculated");
    QTest::addColumn<QString>("crestImage"); // its size in the PDF; empty: no crest picture
    QTest::newRow("arc classique with the resource crest")
        << 0 << classique << "Prix général arc classique" << ":/blason.png" << true << "241 297";
#ifdef Q_OS_WIN
    // Windows allows no double quote in a file name.
    QTest::newRow("arc poulie with a crest file named with quote and ampersand")
        << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie" << "copy:tir l'arc & co.png" << true
        << "241 297";
#else
    QTest::newRow("arc poulie with a crest file named with quote and ampersand")
        << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie" << "copy:tir \"&\" co.png" << true
        << "241 297";
#endif
    QTest::newRow("arc droit without crest")
        << 2 << "prixGeneral_arc_droit.pdf" << "Prix général arc droit" << "" << true << "";
    QTest::newRow("before any calculation") << 0 << classique << "Prix général arc classique" << "" << false << "";
    QTest::newRow("crest named with percent, hash and spaces is that very file")
        << 0 << classique << "Prix général arc classique" << "copy:blason #1 à 100%.png" << true << "241 297";
    QTest::newRow("camera-size crest prints as the picture, not a placeholder")
        << 0 << classique << "Prix général arc classique" << "camera:photo.png" << true << "300 300";
#ifdef Q_OS_UNIX
    QTest::newRow("crest that is a named pipe prints as missing instead of hanging")
        << 0 << classique << "Prix général arc classique" << "pipe:blason.png" << true << "";
    QTest::newRow("crest that is an endless device prints as missing instead of aborting")
        << 0 << classique << "Prix général arc classique" << "/dev/zero" << true << "";
#endif
}

void TestReportWindow::printsEachCategory()
{
    QFETCH(int, index);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QFETCH(QString, crest);
    QFETCH(bool, calculated);
    QFETCH(QString, crestImage);
    const QString kind = crest.section(':', 0, 0);
    if (kind == "copy" || kind == "pipe" || kind == "camera") {
        crest = pathOf(crest.section(':', 1));
        if (kind == "copy") {
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
    if (calculated) {
        child<QSpinBox>(*window, "nbMises")->setValue(120);
        child<QSpinBox>(*window, "nbNoirsPayes")->setValue(35);
        windowtest::click(*window, "commandLinkButton");
    }
    const QString pool = child<QLineEdit>(*window, "sommePrix")->text();
    const QStringList prizeLines =
        child<QPlainTextEdit>(*window, "TextGain")->toPlainText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(!prizeLines.isEmpty(), calculated);

    QElapsedTimer clock;
    clock.start();
    windowtest::click(*window, "commandLinkButton_3");
    QVERIFY2(clock.elapsed() < 20000, "printing waited on the crest");
    QVERIFY(windowtest::readBytes(fileName).startsWith("%PDF-"));
    QTRY_COMPARE(openedFiles(), QStringList{pathOf(fileName)});
    SKIP_WITHOUT("pdftotext");
    const QString text = pdfText(fileName);
    QStringList expected{title, "Montant des prix", ("Somme à distribuer : " + pool).simplified(),
                         calculated ? "120 mises effectuées" : "0 mises effectuées",
                         calculated ? "35 noirs payés" : "0 noirs payés"};
    for (const QString &line : prizeLines)
        expected << line.simplified();
    for (const QString &piece : std::as_const(expected))
        QVERIFY2(text.contains(piece), qPrintable(piece + " missing from: " + text));

    // The page the print system gave by default: A4.
    QVERIFY(runTool("pdfinfo", {fileName}).simplified().contains("Page size: 595 x 842 pts (A4)"));

    SKIP_WITHOUT("pdfimages");
    const QString images = runTool("pdfimages", {"-list", fileName}).simplified();
    if (crestImage.isEmpty())
        QVERIFY2(!images.contains(" image 241 297 ") && !images.contains(" image 300 "), qPrintable(images));
    else
        QVERIFY2(images.contains(" image " + crestImage + " "), qPrintable(images));
}

// Printing the same category again replaces its sheet; another one leaves it.
void TestReportWindow::printsReplaceOnlyTheirOwnSheet()
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
    child<QSpinBox>(*window, "nbMises")->setValue(17);
    windowtest::click(*window, "commandLinkButton_3");
    QVERIFY(pdfText(classique).contains("17 mises effectuées"));
    QVERIFY(!QFile::exists(leftover));

    child<QSpinBox>(*window, "nbMises")->setValue(42);
    windowtest::click(*window, "commandLinkButton_3");
    const QString text = pdfText(classique);
    QVERIFY2(text.contains("42 mises effectuées") && !text.contains("17 mises"), qPrintable(text));

    const QByteArray sheet = windowtest::readBytes(classique);
    child<QComboBox>(*window, "comboBox")->setCurrentText("arc droit");
    windowtest::click(*window, "commandLinkButton_3");
    QVERIFY(pdfText("prixGeneral_arc_droit.pdf").contains("Prix général arc droit"));
    QCOMPARE(windowtest::readBytes(classique), sheet);
#ifdef Q_OS_UNIX
    QVERIFY(QFileInfo(classique).isSymLink());
    QCOMPARE(windowtest::readBytes("archive/classique.pdf"), sheet);
#endif
    QTRY_COMPARE(openedFiles(), (QStringList{pathOf(classique), pathOf(classique), pathOf("prixGeneral_arc_droit.pdf")}));
}

void TestReportWindow::failedPrintKeepsOldSheet_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a directory in the sheet's place") << "directory";
    QTest::newRow("a directory in the sheet's place on a French system: Qt's reason in English")
        << "directory, French system";
#ifdef Q_OS_UNIX
    QTest::newRow("file size limit reached mid-sheet: the cut sheet never replaces the old one") << "size limit";
    QTest::newRow("read-only sheet is not replaced") << "read-only sheet";
    QTest::newRow("read-only folder") << "read-only folder";
#endif
}

void TestReportWindow::failedPrintKeepsOldSheet()
{
    QFETCH(QString, obstacle);
    const bool french = obstacle.endsWith(", French system");
    obstacle = obstacle.section(',', 0, 0);
    std::optional<windowtest::FrenchSystem> system;
    if (french && !system.emplace().set)
        QSKIP(FRENCH_SYSTEM_MISSING);
#ifdef Q_OS_UNIX
    if (obstacle.startsWith("read-only") && geteuid() == 0)
        QSKIP("permissions stop no write for root");
#endif
    // The directory defeats even root; elsewhere yesterday's sheet must survive.
    const QString kept = obstacle == "directory" ? classique + "/garde" : classique;
    const QByteArray yesterday = obstacle == "directory" ? QByteArray() : QByteArray("%PDF-1.4 yesterday's sheet");
    QVERIFY(obstacle == "directory" ? QDir().mkpath(kept) : windowtest::writeBytes(kept, yesterday));
    if (obstacle == "read-only sheet")
        QVERIFY(QFile::setPermissions(classique, QFile::ReadOwner));

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
    windowtest::click(*window, "commandLinkButton_3");
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    QFile::setPermissions(work->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif

    QCOMPARE(shown, QStringLiteral("Erreur lors de la création du fichier PDF !"));
    QVERIFY2(details.startsWith(pathOf(classique) + '\n') && details.size() > pathOf(classique).size() + 1,
             qPrintable(details));
    if (french)
        QVERIFY2(windowtest::englishWords(details.section('\n', 1)).isEmpty(), qPrintable(details));
    if (obstacle == "directory")
        QVERIFY(QFileInfo(kept).isDir());
    else
        QCOMPARE(windowtest::readBytes(kept), yesterday);
    QCOMPARE(windowtest::dirEntries(work->path()), QStringList{classique});
    QTest::qWait(300); // a started viewer would have written by now
    QCOMPARE(openedFiles(), QStringList());
}

void TestReportWindow::fillingDiskGetsWholeSheetOrNone_data()
{
    using fulldisk::endless;
    QTest::addColumn<qint64>("room");     // below zero: that many bytes short of the sheet
    QTest::addColumn<qint64>("chunk");    // the most one write takes, 0 for no limit
    QTest::addColumn<QString>("failing"); // a later step that fails
    QTest::newRow("full at the first byte") << 0LL << 0LL << "";
    QTest::newRow("full inside a write: its short count is not the whole sheet") << 1473LL << 0LL << "";
    QTest::newRow("full between two writes") << 8192LL << 4096LL << "";
    QTest::newRow("full in the last write: one byte short is no sheet") << -1LL << 0LL << "";
    QTest::newRow("short writes with room to spare give the whole sheet") << endless << 1000LL << "";
    QTest::newRow("full only when flushed") << endless << 0LL << "flush";
    QTest::newRow("full only when synced to the disk") << endless << 0LL << "sync";
    QTest::newRow("rename refused") << endless << 0LL << "commit";
}

void TestReportWindow::fillingDiskGetsWholeSheetOrNone()
{
    QFETCH(qint64, room);
    QFETCH(qint64, chunk);
    QFETCH(QString, failing);
    QTextDocument model;
    const QString html = sheetHtml({":/blason.png", "arc classique", "35 €", 1, 2, {}});
    const qint64 whole = renderSheet(model, html).size();
    QVERIFY(whole > 16384);

    fulldisk::FillingDisk disk(room < 0 ? whole + room : room, chunk, failing);
    QString error;
    const bool roomy = room == fulldisk::endless && failing.isEmpty();
    QCOMPARE(printSheet(model, html, disk, &error), roomy);
    QCOMPARE(disk.committed, roomy);
    QCOMPARE(disk.cancelled, !roomy && failing != "commit");
    QCOMPARE(error, roomy ? QString() : disk.failure());
    if (roomy)
        QVERIFY(disk.written.size() == whole && disk.written.trimmed().endsWith("%%EOF"));
}

// A real disk that fills at every byte count in turn: each print either
// leaves yesterday's sheet and says so, or puts a whole sheet in its place.
void TestReportWindow::smallDiskPrintsWholeOrRefuses_data()
{
    QTest::addColumn<int>("kib");
    for (int kib = 8; kib <= 64; kib += 4)
        QTest::newRow(qPrintable(QStringLiteral("%1 KiB").arg(kib))) << kib;
}

void TestReportWindow::smallDiskPrintsWholeOrRefuses()
{
#ifndef Q_OS_LINUX
    QSKIP("small disks are made as tmpfs, on Linux");
#else
    QFETCH(int, kib);
    SKIP_WITHOUT("pdfinfo");
    const QByteArray yesterday("%PDF-1.4 yesterday's sheet");
    fulldisk::TinyDisk disk(work->filePath("disk"), kib * 1024);
    if (!disk.why.isEmpty())
        QSKIP(qPrintable("a small tmpfs needs root: " + disk.why));
    QVERIFY(windowtest::writeBytes(classique, yesterday) && windowtest::writeBytes("save.ini", "3.5;0.5"));
    child<QLineEdit>(*window, "blasonPrint")->setText(":/blason.png");

    QString shown;
    windowtest::whenModal<QMessageBox>(window.get(), [&](QMessageBox *box) {
        shown = box->text() + '\n' + box->informativeText();
        box->button(QMessageBox::Ok)->click();
    });
    windowtest::click(*window, "commandLinkButton_3");
    QTest::qWait(300); // a started viewer would have written by now
    const QString sheet = pathOf(classique);
    const bool printed = shown.isEmpty();
    qInfo("%d KiB: %s", kib, printed ? "printed" : qPrintable("refused: " + shown.section('\n', 2)));
    if (printed) {
        QVERIFY(runTool("pdfinfo", {classique}).contains("Pages:"));
        QCOMPARE(openedFiles(), QStringList{sheet});
    } else {
        QCOMPARE(shown, "Erreur lors de la création du fichier PDF !\n" + sheet + "\nPlus de place sur le disque");
        QCOMPARE(windowtest::readBytes(classique), yesterday);
        QCOMPARE(openedFiles(), QStringList());
    }
    QCOMPARE(windowtest::dirEntries("."), (QStringList{classique, "save.ini"}));
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
    windowtest::click(*window, "commandLinkButton_3");
    const qint64 took = clock.elapsed();
    qputenv("PATH", path);

    QVERIFY(windowtest::readBytes(classique).startsWith("%PDF-"));
    if (viewer == "none") {
        QCOMPARE(shown, QStringLiteral("Le fichier PDF a été créé mais n'a pas pu être ouvert."));
        QVERIFY2(details.startsWith(pathOf(classique) + '\n'), qPrintable(details));
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

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
