// What a desktop needs to list the program: the entry passes the
// freedesktop validator, and an install puts the program, the entry and the
// icon where menus look for them. What a terminal and Debian need: --help and
// --version answer without a display, and the package passes lintian.
#include "testhelpers.h"

#include <QImageReader>
#include <QtTest>

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

// The one place the version is kept: the project() line.
// What the guide's browser needs beside it: the page and every picture it names.
static QStringList guideFiles()
{
    const QString html = QString::fromUtf8(testhelpers::readBytes(PRIXGENERAL_SOURCE_DIR "/docs/guide/guide.html"));
    QStringList files = {"guide.html"};
    for (const QRegularExpressionMatch &image : QRegularExpression("<img src=\"([^\"]+)\"").globalMatch(html))
        files << image.captured(1);
    return files;
}

static QString projectVersion()
{
    const QString lists = QString::fromUtf8(testhelpers::readBytes(PRIXGENERAL_SOURCE_DIR "/CMakeLists.txt"));
    return QRegularExpression(R"(project\(prixgeneral\s+VERSION\s+([0-9.]+))").match(lists).captured(1);
}

class Packaging : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntryIsValid();
    void desktopEntryNamesTheProgram_data();
    void desktopEntryNamesTheProgram();
    void installPutsEveryFileInPlace();
    void commandLineWithoutDisplay_data();
    void commandLineWithoutDisplay();
    void debianPackagePassesLintian();
    void metainfoValidatesAndNamesThisRelease();
    void documentsSayWhatTheProgramDoes_data();
    void documentsSayWhatTheProgramDoes();
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
    const QString group = QString::fromUtf8(testhelpers::readBytes(desktopEntry))
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
    QCOMPARE(testhelpers::readBytes(prefix.filePath("share/applications/prixgeneral.desktop")),
             testhelpers::readBytes(desktopEntry));
    // The hicolor theme's 256x256 folder holds 256 × 256 PNG pictures only.
    QImageReader reader(prefix.filePath("share/icons/hicolor/256x256/apps/prixgeneral.png"));
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), QSize(256, 256));
    QVERIFY2(!reader.read().isNull(), qPrintable(reader.errorString()));

    QCOMPARE(testhelpers::readBytes(prefix.filePath("share/doc/prixgeneral/copyright")),
             testhelpers::readBytes(PRIXGENERAL_SOURCE_DIR "/packaging/copyright"));
    // gzip's magic number: Debian wants both compressed.
    for (const char *doc : {"share/man/man1/prixgeneral.1.gz", "share/man/fr/man1/prixgeneral.1.gz",
                            "share/doc/prixgeneral/changelog.gz"})
        QVERIFY2(testhelpers::readBytes(prefix.filePath(doc)).startsWith("\x1f\x8b"), doc);
    for (const QString &file : guideFiles()) {
        const QByteArray installed = testhelpers::readBytes(prefix.filePath("share/doc/prixgeneral/guide/" + file));
        QVERIFY2(!installed.isEmpty(), qPrintable(file));
        QCOMPARE(installed, testhelpers::readBytes(PRIXGENERAL_SOURCE_DIR "/docs/guide/" + file));
    }
    QCOMPARE(QDir(prefix.filePath("share/metainfo")).entryList({"*.metainfo.xml"}).size(), 1);
}

void Packaging::commandLineWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // patterns the whole standard output and error must match
    QTest::addColumn<QString>("err");

#ifdef Q_OS_WIN
    // The Windows program names the Qt linked into it.
    const QString version = QRegularExpression::escape(projectVersion() + " (Qt " QT_VERSION_STR ")");
#else
    const QString version = QRegularExpression::escape(projectVersion());
#endif
    QTest::newRow("--version opened the window")
        << QStringList{"--version"} << 0 << "prixgeneral " + version + "\n" << "";
    QTest::newRow("--help opened the window or spoke English")
        << QStringList{"--help"} << 0
        << R"(Utilisation\x{a0}: prixgeneral \[options\]\n(.*\n)*  -v, --version   Affiche la version du programme et quitte\.\n)"
        << "";
    QTest::newRow("unknown option ignored or refused in English")
        << QStringList{"--no-such-option"} << 1 << ""
        << "prixgeneral\u00a0: option inconnue «\u00a0no-such-option\u00a0». Essayez «\u00a0prixgeneral --help\u00a0».\n";
    QTest::newRow("--help leaves the journal out of the files or breaks its typography")
        << QStringList{"--help"} << 0 << R"((.*\n)*.*journal\.csv.*\n(.*\n)*)" << "";
    QTest::newRow("missing value refused in English")
        << QStringList{"-platform"} << 1 << ""
        << "prixgeneral\u00a0: valeur manquante après «\u00a0-platform\u00a0». Essayez «\u00a0prixgeneral --help\u00a0».\n";
    QTest::newRow("Qt's own options reported unknown")
        << QStringList{"-platform", "offscreen", "-style=fusion", "-reverse", "-v"} << 0
        << "prixgeneral " + version + "\n" << "";
}

void Packaging::commandLineWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(display);
    QTemporaryDir workDir;
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(workDir.path());
    program.start(PRIXGENERAL_EXE, arguments);
    QVERIFY(program.waitForFinished(30000));
    // Windows writes text with CR LF line ends.
    const QString standardError = QString::fromLocal8Bit(program.readAllStandardError()).replace("\r\n", "\n");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(err)).match(standardError).hasMatch(),
             qPrintable(standardError));
    const QString standardOutput = QString::fromLocal8Bit(program.readAllStandardOutput()).replace("\r\n", "\n");
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(out)).match(standardOutput).hasMatch(),
             qPrintable(standardOutput));
    QTEST(program.exitCode(), "exitCode");
    QCOMPARE(testhelpers::dirEntries(workDir.path()), QStringList());
    QCOMPARE(testhelpers::typographyFaults(standardOutput + standardError), QStringList());
}

void Packaging::debianPackagePassesLintian()
{
    const QString cpack = QStandardPaths::findExecutable("cpack");
    const QString lintian = QStandardPaths::findExecutable("lintian");
    if (cpack.isEmpty() || lintian.isEmpty())
        QSKIP("cpack or lintian is missing (Debian: cmake, lintian)");
    const QString buildDir = QFileInfo(PRIXGENERAL_EXE).absolutePath();
    QTemporaryDir packageDir;
    QString output;
    QVERIFY2(run(cpack, {"--config", buildDir + "/CPackConfig.cmake", "-B", packageDir.path()}, &output),
             qPrintable(output));
    const QStringList packages = QDir(packageDir.path()).entryList({"*.deb"});
    QCOMPARE(packages.size(), 1);

    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(lintian, {QDir(packageDir.path()).filePath(packages.first())});
    QVERIFY(check.waitForFinished(120000));
    output = QString::fromUtf8(check.readAll());
    // 0: nothing found, 2: tags found; anything else means it did not check.
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && (check.exitCode() == 0 || check.exitCode() == 2),
             qPrintable(output));
    // Only the maintainer's address may be flagged: the owner sets it with
    // PRIXGENERAL_MAINTAINER. Lines that are not tags (as root, lintian
    // warns about that) do not count.
    QStringList tags;
    const QRegularExpression tagLine(R"(^[EWIPXOC]: \S+: (\S+))", QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &tag : tagLine.globalMatch(output)) {
        // Lintian on Debian 13 runs AppStream 1.0 over the metainfo, which
        // wants a homepage; metainfoValidatesAndNamesThisRelease checks the rest.
        if (!tag.captured(1).startsWith("bogus-mail-host") && tag.captured(1) != "appstream-metadata-validation-failed")
            tags << tag.captured(0);
    }
    QVERIFY2(tags.isEmpty(), qPrintable(output));
    QCOMPARE(check.exitCode() == 2, output.contains("bogus-mail-host"));

    QVERIFY(run("dpkg-deb", {"--contents", QDir(packageDir.path()).filePath(packages.first())}, &output));
    for (const QString &file : guideFiles())
        QVERIFY2(output.contains(" ./usr/share/doc/prixgeneral/guide/" + file + '\n'), qPrintable(file + '\n' + output));
    QVERIFY2(output.contains(QRegularExpression(R"( \./usr/share/metainfo/\S+\.metainfo\.xml\n)")), qPrintable(output));
    QVERIFY2(output.contains(" ./usr/share/man/fr/man1/prixgeneral.1.gz\n"), qPrintable(output));
    // Without it Qt's own menus and dialogs speak English.
    QVERIFY(run("dpkg-deb", {"--field", QDir(packageDir.path()).filePath(packages.first()), "Depends"}, &output));
    QVERIFY2(output.contains(QRegularExpression(R"((^|, )qt6-translations-l10n(,|\s))")), qPrintable(output));
}

void Packaging::metainfoValidatesAndNamesThisRelease()
{
    const QString appstreamcli = QStandardPaths::findExecutable("appstreamcli");
    if (appstreamcli.isEmpty())
        QSKIP("appstreamcli is missing (Debian: appstream)");
    const QDir docs(QFileInfo(PRIXGENERAL_EXE).absolutePath() + "/packaging");
    const QStringList found = docs.entryList({"*.metainfo.xml"});
    QCOMPARE(found.size(), 1);
    const QString metainfo = docs.filePath(found.first());
    QString report;
    const bool valid = run(appstreamcli, {"validate", "--no-net", "--pedantic", metainfo}, &report);
    // It passes a file with warnings and notes, and a missing content rating is only a note.
    // AppStream 1.0 (Debian 13) alone adds three: it wants <developer>, which
    // 0.16 (Debian 12) does not know, for <developer_name>, and a homepage,
    // which the program does not have. Anything else still fails.
    const QStringList onlyAppStream1 = {"developer-name-tag-deprecated", "developer-info-missing",
                                        "url-homepage-missing"};
    QStringList remarks;
    const QRegularExpression remark(R"(^[EWI]: \S+ (\S+)$)", QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &line : remark.globalMatch(report)) {
        if (!onlyAppStream1.contains(line.captured(1)))
            remarks << line.captured(0);
    }
    QVERIFY2(remarks.isEmpty() && (valid || report.contains("url-homepage-missing")), qPrintable(report));

    const QString xml = QString::fromUtf8(testhelpers::readBytes(metainfo));
    QCOMPARE(QRegularExpression("<launchable type=\"desktop-id\">([^<]+)<").match(xml).captured(1),
             QFileInfo(desktopEntry).fileName());
    const QRegularExpressionMatch release = QRegularExpression("<release version=\"([^\"]+)\" date=\"([^\"]+)\"").match(xml);
    QCOMPARE(release.captured(1), projectVersion());
    const QString changelog = QString::fromUtf8(testhelpers::readBytes(docs.filePath("changelog")));
    const QString stamp = changelog.section("  ", -1).trimmed();
    const QDateTime released = QDateTime::fromString(stamp, Qt::RFC2822Date);
    QVERIFY2(released.isValid(), qPrintable(stamp));
    QCOMPARE(release.captured(2), released.date().toString(Qt::ISODate));
}

// What the guide and the man pages claim, where a test can read it: every
// file the program writes is named where they list its files, the program
// is described by the one same line, and the French is set in French.
void Packaging::documentsSayWhatTheProgramDoes_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("from"); // the part read runs from here up to `to`
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("named");
    QTest::addColumn<bool>("french");
    const QStringList files = {"save.ini", "nom_club.txt", "prixGeneral_", "journal.csv", "caisse.csv",
                               "prix_payes.csv", "bilan_", "bilan_saison_", "recuperation-1.txt"};
    const QString line = "Calcul des prix d'un prix général de tir à l'arc";
    QTest::newRow("guide's list of files leaves out the journal")
        << "docs/guide/guide.html" << "name=\"fichiers\"" << "Ce dossier de travail" << files << true;
    QTest::newRow("French man page's files leave out the journal")
        << "packaging/prixgeneral.fr.1.in" << ".SH FICHIERS" << ".SH \"CODE" << files << true;
    QTest::newRow("English man page's files leave out the journal")
        << "packaging/prixgeneral.1.in" << ".SH FILES" << ".SH EXIT" << files << false;
    QTest::newRow("guide set with breakable spaces before colons or inside quotes")
        << "docs/guide/guide.html" << "<body>" << "</body>" << QStringList() << true;
    QTest::newRow("desktop entry describes the program otherwise")
        << "packaging/prixgeneral.desktop" << "Comment[fr]=" << "\n" << QStringList{line} << true;
    QTest::newRow("software centre describes the program otherwise")
        << "packaging/prixgeneral.metainfo.xml.in" << "<summary xml:lang=\"fr\">" << "</summary>"
        << QStringList{line} << true;
    QTest::newRow("French man page describes the program otherwise")
        << "packaging/prixgeneral.fr.1.in" << "prixgeneral \\- " << "\n" << QStringList{line.toLower()} << true;
    QTest::newRow("Windows installer describes the program otherwise")
        << "cmake/windows.cmake" << "CPACK_PACKAGE_DESCRIPTION_SUMMARY \"" << "\"" << QStringList{line} << true;
}

void Packaging::documentsSayWhatTheProgramDoes()
{
    QFETCH(QString, document);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, named);
    const QString whole = QString::fromUtf8(testhelpers::readBytes(PRIXGENERAL_SOURCE_DIR "/" + document));
    QVERIFY2(whole.contains(from), qPrintable(from));
    QString part = whole.section(from, 1).section(to, 0, 0);
    // Read as a reader reads it: without the guide's tags, roff's escapes set as they print.
    const QString nbsp(QChar::Nbsp);
    part.remove(QRegularExpression("<[^>]*>")).replace("&nbsp;", nbsp).replace("\\~", nbsp);
    part.replace("\\(Fo", QString(QChar(0xab))).replace("\\(Fc", QString(QChar(0xbb))).remove(QChar('\\'));
    for (const QString &name : named)
        QVERIFY2(part.contains(name), qPrintable(name + " not in:\n" + part));
    QFETCH(bool, french);
    if (french)
        QCOMPARE(testhelpers::typographyFaults(part), QStringList());
}

QTEST_GUILESS_MAIN(Packaging)
#include "tst_packaging.moc"
