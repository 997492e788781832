#include "app/mainwindow.h"

#include "windowtest.h"

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
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
    void unwritableSheetIsReportedNotOpened();
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
    QTest::addColumn<QString>("crest");
    QTest::addColumn<bool>("calculated");
    QTest::newRow("arc classique with the resource crest")
        << 0 << classique << "Prix général arc classique" << ":/blason.png" << true;
    QTest::newRow("arc poulie with a crest file named with quote and ampersand")
        << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie" << "tir \"&\" co.png" << true;
    QTest::newRow("arc droit without crest")
        << 2 << "prixGeneral_arc_droit.pdf" << "Prix général arc droit" << "" << true;
    QTest::newRow("before any calculation") << 0 << classique << "Prix général arc classique" << "" << false;
}

void TestReportWindow::printsEachCategory()
{
    QFETCH(int, index);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QFETCH(QString, crest);
    QFETCH(bool, calculated);
    if (!crest.isEmpty() && !crest.startsWith(':')) {
        QVERIFY(QFile::copy(":/blason.png", crest));
        crest = pathOf(crest);
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

    windowtest::click(*window, "commandLinkButton_3");
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

    SKIP_WITHOUT("pdfimages");
    const QString images = runTool("pdfimages", {"-list", fileName}).simplified();
    QVERIFY2(images.contains(" image 241 297 ") == !crest.isEmpty(), qPrintable(images));
}

// Printing the same category again replaces its sheet; another one leaves it.
void TestReportWindow::printsReplaceOnlyTheirOwnSheet()
{
    SKIP_WITHOUT("pdftotext");
    child<QSpinBox>(*window, "nbMises")->setValue(17);
    windowtest::click(*window, "commandLinkButton_3");
    QVERIFY(pdfText(classique).contains("17 mises effectuées"));

    child<QSpinBox>(*window, "nbMises")->setValue(42);
    windowtest::click(*window, "commandLinkButton_3");
    const QString text = pdfText(classique);
    QVERIFY2(text.contains("42 mises effectuées") && !text.contains("17 mises"), qPrintable(text));

    const QByteArray sheet = windowtest::readBytes(classique);
    child<QComboBox>(*window, "comboBox")->setCurrentText("arc droit");
    windowtest::click(*window, "commandLinkButton_3");
    QVERIFY(pdfText("prixGeneral_arc_droit.pdf").contains("Prix général arc droit"));
    QCOMPARE(windowtest::readBytes(classique), sheet);
    QTRY_COMPARE(openedFiles(), (QStringList{pathOf(classique), pathOf(classique), pathOf("prixGeneral_arc_droit.pdf")}));
}

void TestReportWindow::unwritableSheetIsReportedNotOpened()
{
    // A directory where the sheet goes defeats even root.
    QVERIFY(QDir().mkpath(classique + "/garde"));
    QString shown;
    windowtest::whenModal<QMessageBox>(window.get(), [&shown](QMessageBox *box) {
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    windowtest::click(*window, "commandLinkButton_3");

    QCOMPARE(shown, QStringLiteral("Erreur lors de la création du fichier PDF !"));
    QVERIFY(QFileInfo(classique + "/garde").isDir());
    QCOMPARE(windowtest::dirEntries(work->path()), QStringList{classique});
    QTest::qWait(300); // a started viewer would have written by now
    QCOMPARE(openedFiles(), QStringList());
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
