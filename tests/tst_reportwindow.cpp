#include "app/mainwindow.h"

#include <QtTest>
#include <QApplication>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <functional>
#include <memory>

namespace {

// Runs `answer` on the first modal widget of type T, from inside its own
// event loop. Closes whatever is still modal after ten seconds, so a dialog
// that was not answered, or not closed, fails the test instead of hanging it.
// The watch ends with `owner`, so it cannot reach into a later test.
template <typename T>
void whenModal(QObject *owner, std::function<void(T *)> answer)
{
    auto *timer = new QTimer(owner);
    auto ticks = std::make_shared<int>(0);
    auto answered = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, answered, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *wanted = qobject_cast<T *>(modal);
        if (wanted && !*answered) {
            *answered = true;
            answer(wanted);
        } else if ((*answered && !modal) || ++*ticks > 1000) {
            if (modal)
                modal->close();
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

template <typename T>
T *child(const MainWindow &window, const char *name)
{
    T *widget = window.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

// Normalised, as the extractor's spacing and ligatures ("ﬀ") are not the point.
QString pdfText(const QString &path)
{
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                               QStringLiteral("-")});
    if (!extract.waitForFinished(30000) || extract.exitCode() != 0)
        return QString();
    const QString text = QString::fromUtf8(extract.readAllStandardOutput());
    return text.normalized(QString::NormalizationForm_KC).simplified();
}

// "width height" of every image embedded in the PDF.
QStringList pdfImageSizes(const QString &path)
{
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    if (!list.waitForFinished(30000) || list.exitCode() != 0)
        return {};
    QStringList sizes;
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines.mid(2)) {
        const QStringList columns = line.simplified().split(QLatin1Char(' '));
        if (columns.size() > 4)
            sizes << columns.at(3) + QLatin1Char(' ') + columns.at(4);
    }
    return sizes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void printsBeforeAnyCalculation();
    void printingTwiceOverwrites();
    void anotherCategoryLeavesTheFirst();
    void unwritableSheetIsReportedNotOpened();
    void crestIsEmbedded_data();
    void crestIsEmbedded();
    void onePageSheetWithCrestIsQuick();
    void crestDialog_data();
    void crestDialog();

private:
    void print(const MainWindow &window);
    QStringList openedFiles() const;
    QString pathOf(const QString &name) const { return QDir::current().absoluteFilePath(name); }

    QString originalPath;
    QString originalDir;
    std::unique_ptr<QTemporaryDir> work;
};

void TestReportWindow::initTestCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    QSKIP("only xdg-open can be replaced by a fake here; printing would start a real viewer");
#endif
    QLoggingCategory::setFilterRules(QStringLiteral("prixgeneral.*=false"));
    originalPath = qEnvironmentVariable("PATH");
    originalDir = QDir::currentPath();
}

void TestReportWindow::init()
{
    // Every window reads save.ini from, and prints into, a fresh directory, and
    // a fake viewer stands first on PATH so no real one ever starts.
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    QVERIFY(QDir::setCurrent(work->path()));
    QVERIFY(QDir(work->path()).mkdir(QStringLiteral("bin")));
    QFile opener(work->filePath(QStringLiteral("bin/xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + work->filePath(QStringLiteral("opened.txt")).toUtf8()
                 + "'\n");
    opener.close();
    QVERIFY(opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", (work->filePath(QStringLiteral("bin")) + QLatin1Char(':') + originalPath).toUtf8());
}

void TestReportWindow::cleanup()
{
    qputenv("PATH", originalPath.toUtf8());
    QDir::setCurrent(originalDir);
    work.reset();
}

void TestReportWindow::print(const MainWindow &window)
{
    QTest::mouseClick(child<QCommandLinkButton>(window, "commandLinkButton_3"), Qt::LeftButton);
}

QStringList TestReportWindow::openedFiles() const
{
    return QString::fromUtf8(readAll(work->filePath(QStringLiteral("opened.txt"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestReportWindow::printsEachCategory_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::newRow("arc classique") << 0 << "prixGeneral_arc_classique.pdf" << "Prix général arc classique";
    QTest::newRow("arc poulie") << 1 << "prixGeneral_arc_poulie.pdf" << "Prix général arc poulie";
    QTest::newRow("arc droit") << 2 << "prixGeneral_arc_droit.pdf" << "Prix général arc droit";
}

void TestReportWindow::printsEachCategory()
{
    QFETCH(int, index);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    MainWindow window;
    child<QComboBox>(window, "comboBox")->setCurrentIndex(index);
    child<QSpinBox>(window, "nbMises")->setValue(120);
    child<QSpinBox>(window, "nbNoirsPayes")->setValue(35);
    QTest::mouseClick(child<QCommandLinkButton>(window, "commandLinkButton"), Qt::LeftButton);
    const QString pool = child<QLineEdit>(window, "sommePrix")->text();
    const QStringList prizeLines =
        child<QPlainTextEdit>(window, "TextGain")->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!pool.isEmpty());
    QVERIFY(!prizeLines.isEmpty());

    print(window);

    QVERIFY(readAll(pathOf(fileName)).startsWith("%PDF-"));
    QTRY_COMPARE(openedFiles(), QStringList{pathOf(fileName)});
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext not found (Debian package poppler-utils): the sheet's text is not checked");
    const QString text = pdfText(pathOf(fileName));
    QStringList expected{title, QStringLiteral("Montant des prix"),
                         QStringLiteral("Somme à distribuer : ") + pool,
                         QStringLiteral("120 mises effectuées"), QStringLiteral("35 noirs payés")};
    for (const QString &line : prizeLines)
        expected << line.simplified();
    for (const QString &piece : std::as_const(expected))
        QVERIFY2(text.contains(piece), qPrintable(piece + QStringLiteral(" missing from: ") + text));
}

void TestReportWindow::printsBeforeAnyCalculation()
{
    MainWindow window;
    print(window);
    const QString path = pathOf(QStringLiteral("prixGeneral_arc_classique.pdf"));
    QVERIFY(readAll(path).startsWith("%PDF-"));
    QTRY_COMPARE(openedFiles(), QStringList{path});
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext not found (Debian package poppler-utils): the sheet's text is not checked");
    const QString text = pdfText(path);
    for (const char *piece : {"Prix général arc classique", "Somme à distribuer :", "0 mises effectuées",
                              "0 noirs payés"})
        QVERIFY2(text.contains(QString::fromUtf8(piece)), qPrintable(text));
}

void TestReportWindow::printingTwiceOverwrites()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext not found (Debian package poppler-utils): cannot tell the two sheets apart");
    MainWindow window;
    const QString path = pathOf(QStringLiteral("prixGeneral_arc_classique.pdf"));
    child<QSpinBox>(window, "nbMises")->setValue(17);
    print(window);
    QVERIFY(pdfText(path).contains(QStringLiteral("17 mises effectuées")));

    child<QSpinBox>(window, "nbMises")->setValue(42);
    print(window);
    const QString text = pdfText(path);
    QVERIFY2(text.contains(QStringLiteral("42 mises effectuées")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("17 mises")));
    QTRY_COMPARE(openedFiles(), (QStringList{path, path}));
}

void TestReportWindow::anotherCategoryLeavesTheFirst()
{
    MainWindow window;
    print(window);
    const QString first = pathOf(QStringLiteral("prixGeneral_arc_classique.pdf"));
    const QByteArray firstSheet = readAll(first);
    QVERIFY(firstSheet.startsWith("%PDF-"));

    child<QComboBox>(window, "comboBox")->setCurrentText(QStringLiteral("arc droit"));
    print(window);
    const QString second = pathOf(QStringLiteral("prixGeneral_arc_droit.pdf"));
    QVERIFY(readAll(second).startsWith("%PDF-"));
    QCOMPARE(readAll(first), firstSheet);
    QTRY_COMPARE(openedFiles(), (QStringList{first, second}));
}

void TestReportWindow::unwritableSheetIsReportedNotOpened()
{
    // A directory where the sheet goes defeats even root.
    QVERIFY(QDir::current().mkpath(QStringLiteral("prixGeneral_arc_classique.pdf/garde")));
    const QStringList before = QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    MainWindow window;
    window.show();
    QString shown;
    whenModal<QMessageBox>(&window, [&shown](QMessageBox *box) {
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    print(window);

    QCOMPARE(shown, QStringLiteral("Erreur lors de la création du fichier PDF !"));
    QVERIFY(QFileInfo(pathOf(QStringLiteral("prixGeneral_arc_classique.pdf/garde"))).isDir());
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    QTest::qWait(300); // a started viewer would have written by now
    QCOMPARE(openedFiles(), QStringList());
}

void TestReportWindow::crestIsEmbedded_data()
{
    QTest::addColumn<QString>("crest");
    QTest::newRow("resource path") << ":/blason.png";
    QTest::newRow("file path with spaces") << "mes images/blason du club.png";
    QTest::newRow("file path with quote and ampersand") << "tir \"&\" co/blason.png";
}

void TestReportWindow::crestIsEmbedded()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        QSKIP("pdfimages not found (Debian package poppler-utils): the crest is not checked");
    QFETCH(QString, crest);
    if (!crest.startsWith(QLatin1Char(':'))) {
        QVERIFY(QDir::current().mkpath(QFileInfo(crest).path()));
        QVERIFY(QFile::copy(QStringLiteral(":/blason.png"), crest));
        crest = pathOf(crest);
    }
    MainWindow window;
    child<QLineEdit>(window, "blasonPrint")->setText(crest);
    print(window);
    const QStringList images = pdfImageSizes(pathOf(QStringLiteral("prixGeneral_arc_classique.pdf")));
    QVERIFY2(images.contains(QStringLiteral("241 297")), qPrintable(images.join(QLatin1String(", "))));
}

void TestReportWindow::onePageSheetWithCrestIsQuick()
{
    MainWindow window;
    child<QLineEdit>(window, "blasonPrint")->setText(QStringLiteral(":/blason.png"));
    child<QSpinBox>(window, "nbMises")->setValue(120);
    QTest::mouseClick(child<QCommandLinkButton>(window, "commandLinkButton"), Qt::LeftButton);
    QElapsedTimer clock;
    clock.start();
    print(window);
    const qint64 elapsed = clock.elapsed();
    qInfo("one-page sheet with crest printed in %lld ms", elapsed);
    QVERIFY(readAll(pathOf(QStringLiteral("prixGeneral_arc_classique.pdf"))).startsWith("%PDF-"));
    QVERIFY2(elapsed < 10000, "printing one page took far too long");
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
    QVERIFY(QDir::current().mkdir(QStringLiteral("images")));
    const QString start = pathOf(QStringLiteral("images"));
    const QString chosen = pathOf(QStringLiteral("images/blason club.png"));
    QVERIFY(QFile::copy(QStringLiteral(":/blason.png"), chosen));

    MainWindow window;
    window.show();
    QLineEdit *crest = child<QLineEdit>(window, "blasonPrint");
    crest->setText(start);
    QString caption, filter, directory;
    whenModal<QFileDialog>(&window, [&](QFileDialog *dialog) {
        caption = dialog->windowTitle();
        filter = dialog->nameFilters().join(QLatin1Char('|'));
        directory = dialog->directory().absolutePath();
        if (choose) {
            // Typed as a user would: selectFile() goes through the file list
            // when the name box has focus, and that list fills asynchronously.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(chosen);
            static_cast<QDialog *>(dialog)->accept(); // public in QDialog
        } else {
            dialog->reject();
        }
    });
    QTest::mouseClick(child<QPushButton>(window, "pushButton"), Qt::LeftButton);

    QCOMPARE(caption, QStringLiteral("Blason à utiliser"));
    QCOMPARE(filter, QStringLiteral("*.png *.jpg *.gif *.jpeg *.bmp"));
    QCOMPARE(directory, start);
    QCOMPARE(crest->text(), choose ? chosen : start);
}

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
