#include "app/mainwindow.h"
#include "app/qtfrench.h"

#include "fulldisk.h"
#include "randomsettingslines.h"
#include "windowtest.h"

#include <cmath>
#include <csignal>
#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

using windowtest::child;

namespace {

const QByteArray directory = "<save.ini is a directory>";
const QByteArray namedPipe = "<save.ini is a named pipe>";
const QString defaults = QStringLiteral(
    "3.5 0.5 3 20 1 rows=+---- type=radioPourcent unit=% prizes=0,0,0,0,0 round= crest=");

// The settings as the form shows them: the five numbers, the prize rows shown
// (+), hidden (-) or half shown (?), the checked buttons and the prize unit.
QString formState(const QWidget &w)
{
    QStringList numbers, prizes, units;
    for (const char *name : {"tarifMise", "tarifNoir", "gainMini", "pourcentFrais", "nbPrix"})
        numbers << child<QWidget>(w, name)->property("value").toString();
    QString rows;
    for (int n = 1; n <= 5; ++n) {
        auto *box = child<QSpinBox>(w, qPrintable(QStringLiteral("valeurPrix%1").arg(n)));
        const bool labelShown = !child<QLabel>(w, qPrintable(QStringLiteral("labelPrix%1").arg(n)))->isHidden();
        const bool boxShown = !box->isHidden();
        rows += labelShown != boxShown ? '?' : labelShown ? '+' : '-';
        prizes << QString::number(box->value());
        units << box->suffix().trimmed();
    }
    units.removeDuplicates();
    auto checked = [&w](const char *name) { return child<QRadioButton>(w, name)->isChecked() ? name : ""; };
    return numbers.join(' ') + " rows=" + rows + " type=" + checked("radioFixe") + checked("radioPourcent")
        + " unit=" + units.join('|') + " prizes=" + prizes.join(',') + " round=" + checked("unEuro")
        + checked("cinqEuro") + " crest=" + child<QLineEdit>(w, "blasonPrint")->text();
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void restoresSavedSettings_data();
    void restoresSavedSettings();
    void appliesStoredFile_data();
    void appliesStoredFile();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void survivesHostileFiles();

private:
    std::unique_ptr<windowtest::ScratchDir> dir;
};

void TestSettingsWindow::initTestCase()
{
    installQtFrench(*qApp);
    QLoggingCategory::setFilterRules(QStringLiteral("prixgeneral.*=false"));
#ifdef Q_OS_UNIX
    // A write beyond the file size limit then fails with EFBIG instead of
    // killing the test.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void TestSettingsWindow::init()
{
    dir = std::make_unique<windowtest::ScratchDir>();
    QVERIFY(dir->isValid());
}

void TestSettingsWindow::cleanup()
{
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    dir.reset();
}

void TestSettingsWindow::restoresSavedSettings_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("state");

    QTest::newRow("fixed, three prizes, five euros, accented crest")
        << QByteArray("2.5;0.75;5;15;3;fixe;40;25;10;7;3;C:/Compagnie d'arc/Écusson ñ.png;5")
        << "2.5 0.75 42 15 3 rows=+++-- type=radioFixe unit=€ prizes=40,25,10,7,3 round=cinqEuro"
           " crest=C:/Compagnie d'arc/Écusson ñ.png";
    QTest::newRow("percent, one prize, values beyond the count kept")
        << QByteArray("3.5;1;3;10;1;pourcent;50;30;20;10;5;C:/club/blason.png;1")
        << "3.5 1 42 10 1 rows=+---- type=radioPourcent unit=% prizes=50,30,20,10,5 round=unEuro"
           " crest=C:/club/blason.png";
    QTest::newRow("five prizes at the top of every range")
        << QByteArray("99.99;99.99;99;99;5;pourcent;9999;99999;9999;9999;9999;;5")
        << "99.99 99.99 42 99 5 rows=+++++ type=radioPourcent unit=% prizes=9999,99999,9999,9999,9999"
           " round=cinqEuro crest=";
}

void TestSettingsWindow::restoresSavedSettings()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, state);
    QVERIFY(windowtest::writeBytes("save.ini", contents));
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(QFile::remove("save.ini"));
        // What is saved is what the widgets show now, not what was loaded.
        child<QSpinBox>(w, "gainMini")->setValue(42);
        QCOMPARE(formState(w), state);

        QString shown;
        windowtest::whenModal<QMessageBox>(&w, [&shown](QMessageBox *box) { shown = box->text(); box->close(); });
        windowtest::click(w, "commandLinkButton_2");
        QCOMPARE(shown, QString());
    }
    QCOMPARE(windowtest::dirEntries(dir->path()), QStringList{"save.ini"});
    QCOMPARE(formState(MainWindow()), state);
}

void TestSettingsWindow::appliesStoredFile_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("state");

    QTest::newRow("no file") << QByteArray() << defaults;
    QTest::newRow("fourteen fields, crest with semicolon")
        << QByteArray("9;9;9;9;5;fixe;9;9;9;9;9;C:/a;b.png;5") << defaults;
    QTest::newRow("save.ini is a directory") << directory << defaults;
#ifdef Q_OS_UNIX
    QTest::newRow("save.ini as a named pipe does not hold up the start") << namedPipe << defaults;
#endif
    QTest::newRow("stored count 1 runs no handler, rows stay hidden")
        << QByteArray("1;1;1;1;1;fixe;1;2;3;4;5;;5")
        << "1 1 1 1 1 rows=+---- type=radioFixe unit=€ prizes=1,2,3,4,5 round=cinqEuro crest=";
    QTest::newRow("malformed numbers read as zero, Fixe and 5 with line end not matched")
        << QByteArray("3,5;1;7.9;7.9;2;Fixe;1;2;3;4;5;C:/a.png;5\n")
        << "0 1 7 0 2 rows=++--- type=radioPourcent unit=% prizes=1,2,3,4,5 round=unEuro crest=C:/a.png";
    QTest::newRow("out-of-range values clamped")
        << QByteArray("-5;500;1e30;-1;9;pourcent;100000;200000;-3;10000;7;;1")
        << "0 99.99 99 0 5 rows=+++++ type=radioPourcent unit=% prizes=9999,99999,0,9999,7 round=unEuro crest=";
}

void TestSettingsWindow::appliesStoredFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, state);
    if (contents == directory)
        QVERIFY(QDir().mkdir("save.ini"));
#ifdef Q_OS_UNIX
    else if (contents == namedPipe)
        QCOMPARE(mkfifo("save.ini", 0600), 0);
#endif
    else if (!contents.isNull())
        QVERIFY(windowtest::writeBytes("save.ini", contents));

    QObject watch;
    QString shown;
    windowtest::whenModal<QMessageBox>(&watch, [&shown](QMessageBox *box) { shown = box->text(); box->close(); });
    MainWindow w;
    QCOMPARE(formState(w), state);
    QCOMPARE(shown, QString());
}

void TestSettingsWindow::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("message");

    const QString saveError = QStringLiteral("Erreur lors de la sauvegarde du fichier !");
    QTest::newRow("save.ini is a directory") << "directory" << saveError;
    QTest::newRow("save.ini is a directory on a French system: Qt's reason in English")
        << "directory, French system" << saveError;
    QTest::newRow("write fails after open") << "size limit" << saveError;
    QTest::newRow("write fails on a French system: the system's reason in English")
        << "size limit, French system" << saveError;
#ifdef Q_OS_LINUX
    QTest::newRow("a real disk with no room left") << "full disk" << saveError;
#endif
#ifdef Q_OS_WIN
    // Windows ignores the read-only flag of a folder. What stops a save there
    // is a program holding save.ini open without sharing it, as editors do.
    QTest::newRow("save.ini held open by another program") << "locked" << saveError;
#else
    QTest::newRow("read-only directory") << "read-only directory" << saveError;
#endif
    QTest::newRow("read-only file") << "read-only file" << saveError;
    QTest::newRow("semicolon in crest path refused")
        << "semicolon" << "Le chemin du blason ne doit pas contenir de point-virgule\u00a0!";
}

void TestSettingsWindow::failedSaveKeepsOldFile()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, message);
    const bool french = obstacle.endsWith(", French system");
    obstacle = obstacle.section(',', 0, 0);
    std::optional<windowtest::FrenchSystem> system;
    if (french && !system.emplace().set)
        QSKIP(FRENCH_SYSTEM_MISSING);
#ifdef Q_OS_UNIX
    if (obstacle.startsWith("read-only") && geteuid() == 0)
        QSKIP("permissions stop no write for root");
#else
    if (obstacle == "size limit")
        QSKIP("Windows has no file size limit that makes a write fail once the file is open");
#endif

#ifdef Q_OS_LINUX
    // One page, which the old file fills.
    const std::unique_ptr<fulldisk::TinyDisk> disk(
        obstacle == "full disk" ? new fulldisk::TinyDisk(dir->filePath("disk"), 4096) : nullptr);
    if (disk && !disk->why.isEmpty())
        QSKIP(qPrintable("a small tmpfs needs root: " + disk->why));
#endif
    const QString kept = obstacle == "directory" ? QStringLiteral("save.ini/keep") : QStringLiteral("save.ini");
    if (obstacle == "directory")
        QVERIFY(QDir().mkdir("save.ini"));
    QVERIFY(windowtest::writeBytes(kept, goodSettingsLine()));

    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    child<QSpinBox>(w, "gainMini")->setValue(42);
    if (obstacle == "semicolon")
        child<QLineEdit>(w, "blasonPrint")->setText(QStringLiteral("C:/Tir;Arc/blason.png"));
    if (obstacle == "read-only directory")
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    if (obstacle == "read-only file")
        QVERIFY(QFile::setPermissions("save.ini", QFile::ReadOwner));
#ifdef Q_OS_WIN
    // Readers may share it; nobody may write, replace or delete it.
    const HANDLE held = obstacle == "locked"
        ? CreateFileW(reinterpret_cast<const wchar_t *>(dir->filePath("save.ini").utf16()), GENERIC_READ,
                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
        : nullptr;
    QVERIFY(held != INVALID_HANDLE_VALUE);
    const auto release = qScopeGuard([held] {
        if (held)
            CloseHandle(held);
    });
#endif

    QString shown, reason;
    windowtest::whenModal<QMessageBox>(&w, [&shown, &reason](QMessageBox *box) {
        shown = box->text();
        reason = box->informativeText().section('\n', 1);
        box->button(QMessageBox::Ok)->click();
    });
#ifdef Q_OS_UNIX
    // A full disk, even for root: the file opens, the write itself fails.
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit previous = limit;
    if (obstacle == "size limit")
        limit.rlim_cur = 16;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
#endif
    windowtest::click(w, "commandLinkButton_2");
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &previous);
#endif

    QCOMPARE(shown, message);
    if (french)
        QVERIFY2(!reason.isEmpty() && windowtest::englishWords(reason).isEmpty(), qPrintable(reason));
    QCOMPARE(windowtest::readBytes(kept), goodSettingsLine());
    QCOMPARE(windowtest::dirEntries(QDir::currentPath()), QStringList{"save.ini"});
    QCOMPARE(child<QSpinBox>(w, "gainMini")->value(), 42);
}

// Whatever "save.ini" holds, a new window comes up with every spin box in
// range, the rows of the prize count in use, and a unit matching the type.
void TestSettingsWindow::survivesHostileFiles()
{
    QRandomGenerator rng(4242);
    for (int round = 0; round < 300; ++round) {
        const QByteArray line = randomSettingsLine(rng);
        QVERIFY(windowtest::writeBytes("save.ini", line));
        MainWindow w;
        const QByteArray what = "file (hex): " + line.toHex();
        for (auto *box : w.findChildren<QAbstractSpinBox *>()) {
            const double value = box->property("value").toDouble();
            QVERIFY2(std::isfinite(value) && value >= box->property("minimum").toDouble()
                         && value <= box->property("maximum").toDouble(),
                     what + ' ' + box->objectName().toLatin1());
        }
        const int count = child<QSpinBox>(w, "nbPrix")->value();
        const bool fixed = child<QRadioButton>(w, "radioFixe")->isChecked();
        const QString expected = QStringLiteral(" rows=%1%2 type=%3 unit=%4 ")
                                     .arg(QString(count, '+'), QString(5 - count, '-'),
                                          fixed ? "radioFixe" : "radioPourcent", fixed ? "€" : "%");
        QVERIFY2(formState(w).contains(expected), what + ' ' + formState(w).toUtf8());
    }
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
