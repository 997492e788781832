// What a desktop needs to list the program: the entry passes the
// freedesktop validator, and an install puts the program, the entry and the
// icon where menus look for them.
#include "windowtest.h"

static const QString desktopEntry = PRIXGENERAL_SOURCE_DIR "/packaging/prixgeneral.desktop";

// Runs a tool to its end: whether it succeeded, and what it printed.
static bool run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

class Packaging : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntryIsValid();
    void desktopEntryNamesTheProgram_data();
    void desktopEntryNamesTheProgram();
    void installPutsEveryFileInPlace();
};

void Packaging::desktopEntryIsValid()
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is missing (Debian: desktop-file-utils)");
    QString report;
    QVERIFY2(run(validator, {desktopEntry}, &report), qPrintable(report));
    // Warnings leave the exit code at 0 but still mean the menu may misread it.
    QVERIFY2(!report.contains("error:") && !report.contains("warning:"), qPrintable(report));
}

void Packaging::desktopEntryNamesTheProgram_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("starts the installed program") << "Exec=prixgeneral";
    QTest::newRow("shows the installed icon") << "Icon=prixgeneral";
    QTest::newRow("is called Prix général") << "Name=Prix général";
    QTest::newRow("has a French name") << "Name[fr]=Prix général";
    QTest::newRow("has an English name") << "Name[en]=General prize";
    QTest::newRow("sits under Office") << "Categories=Office;";
    QTest::newRow("needs no terminal") << "Terminal=false";
}

void Packaging::desktopEntryNamesTheProgram()
{
    QFETCH(QString, line);
    // The entry's own group runs up to the next group header.
    const QString group = QString::fromUtf8(windowtest::readBytes(desktopEntry))
                              .section("[Desktop Entry]\n", 1).section("\n[", 0, 0);
    QVERIFY2(group.split('\n').contains(line), qPrintable(group));
}

void Packaging::installPutsEveryFileInPlace()
{
#ifdef Q_OS_WIN
    QSKIP("Windows installs through its installer, tried by scripts/windows/installer-test.sh");
#endif
    const QString cmake = QStandardPaths::findExecutable("cmake");
    if (cmake.isEmpty())
        QSKIP("cmake is not on PATH");
    // The program is built at the top of its build directory.
    const QString buildDir = QFileInfo(PRIXGENERAL_EXE).absolutePath();
    QTemporaryDir prefix;
    QString output;
    QVERIFY2(run(cmake, {"--install", buildDir, "--prefix", prefix.path()}, &output), qPrintable(output));

    const QFileInfo program(prefix.filePath("bin/prixgeneral"));
    QVERIFY2(program.isFile() && program.isExecutable(), qPrintable(program.filePath()));
    QCOMPARE(windowtest::readBytes(prefix.filePath("share/applications/prixgeneral.desktop")),
             windowtest::readBytes(desktopEntry));
    // The hicolor theme's 256x256 folder holds 256 × 256 PNG pictures only.
    QImageReader reader(prefix.filePath("share/icons/hicolor/256x256/apps/prixgeneral.png"));
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), QSize(256, 256));
    QVERIFY2(!reader.read().isNull(), qPrintable(reader.errorString()));
}

QTEST_GUILESS_MAIN(Packaging)
#include "tst_packaging.moc"
