// What a desktop needs to list the program: the entry passes the
// freedesktop validator, and an install puts the program, the entry and the
// icon where menus look for them.
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString sourceDir = QStringLiteral(PRIXGENERAL_SOURCE_DIR);
const QString desktopEntry = sourceDir + QStringLiteral("/packaging/prixgeneral.desktop");

// The value of key in the [Desktop Entry] group, or a null string.
QString entryValue(const QString &path, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    bool inEntry = false;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QStringLiteral("[Desktop Entry]");
        else if (inEntry && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QString();
}

} // namespace

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
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is missing (Debian: desktop-file-utils)");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(validator, {desktopEntry});
    QVERIFY(process.waitForFinished(30000));
    const QString report = QString::fromUtf8(process.readAll());
    QVERIFY2(process.exitCode() == 0, qPrintable(report));
    // Warnings leave the exit code at 0 but still mean the menu may misread it.
    QVERIFY2(!report.contains(QStringLiteral("error:")) && !report.contains(QStringLiteral("warning:")),
             qPrintable(report));
}

void Packaging::desktopEntryNamesTheProgram_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("starts the installed program") << QStringLiteral("Exec") << QStringLiteral("prixgeneral");
    QTest::newRow("shows the installed icon") << QStringLiteral("Icon") << QStringLiteral("prixgeneral");
    QTest::newRow("is called Prix général") << QStringLiteral("Name") << QStringLiteral("Prix général");
    QTest::newRow("has a French name") << QStringLiteral("Name[fr]") << QStringLiteral("Prix général");
    QTest::newRow("has an English name") << QStringLiteral("Name[en]") << QStringLiteral("General prize");
    QTest::newRow("sits under Office") << QStringLiteral("Categories") << QStringLiteral("Office;");
    QTest::newRow("needs no terminal") << QStringLiteral("Terminal") << QStringLiteral("false");
}

void Packaging::desktopEntryNamesTheProgram()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(entryValue(desktopEntry, key), expected);
}

void Packaging::installPutsEveryFileInPlace()
{
    const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
    if (cmake.isEmpty())
        QSKIP("cmake is not on PATH");
    // The program is built at the top of its build directory.
    const QString buildDir = QFileInfo(QStringLiteral(PRIXGENERAL_EXE)).absolutePath();
    QVERIFY(QFileInfo::exists(buildDir + QStringLiteral("/cmake_install.cmake")));

    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(cmake, {QStringLiteral("--install"), buildDir, QStringLiteral("--prefix"), prefix.path()});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             process.readAll().constData());

    const QFileInfo program(prefix.filePath(QStringLiteral("bin/prixgeneral")));
    QVERIFY2(program.isFile() && program.isExecutable(), qPrintable(program.filePath()));

    const QString entry = prefix.filePath(QStringLiteral("share/applications/prixgeneral.desktop"));
    QFile installed(entry);
    QFile original(desktopEntry);
    QVERIFY2(installed.open(QIODevice::ReadOnly), qPrintable(entry));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(installed.readAll(), original.readAll());

    // The hicolor theme's 256x256 folder holds 256 × 256 PNG pictures only.
    const QString icon = prefix.filePath(QStringLiteral("share/icons/hicolor/256x256/apps/prixgeneral.png"));
    QImageReader reader(icon);
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), QSize(256, 256));
    QVERIFY2(!reader.read().isNull(), qPrintable(reader.errorString()));
}

QTEST_GUILESS_MAIN(Packaging)
#include "tst_packaging.moc"
