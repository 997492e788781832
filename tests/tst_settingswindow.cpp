#include "app/mainwindow.h"

#include "filesizelimit.h"
#include "randomsettingslines.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

const QString saveError = QStringLiteral("Erreur lors de la sauvegarde du fichier !");
const QString semicolonRefusal =
    QStringLiteral("Le chemin du blason ne doit pas contenir de point-virgule !");
const QString euro = QStringLiteral(" \u20AC");
const QString percent = QStringLiteral(" %");

template <typename T>
T *child(const MainWindow &w, const char *name)
{
    T *found = w.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

QSpinBox *prizeBox(const MainWindow &w, int n)
{
    return child<QSpinBox>(w, QStringLiteral("valeurPrix%1").arg(n).toLatin1().constData());
}

QLabel *prizeLabel(const MainWindow &w, int n)
{
    return child<QLabel>(w, QStringLiteral("labelPrix%1").arg(n).toLatin1().constData());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList dirEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Answers every modal message box that opens while it lives, keeping what it saw.
class MessageBoxAnswerer : public QObject
{
public:
    struct Seen
    {
        QString text;
        bool parentless;
        bool modal;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, &MessageBoxAnswerer::answer);
        timer.start(0);
    }

    QList<Seen> seen;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.append({box->text(), box->parentWidget() == nullptr, box->isModal(), box->standardButtons()});
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }

    QTimer timer;
};

// Shows the window on "Configuration", laid out, so that clicks land on real buttons.
bool showSettingsTab(MainWindow &w)
{
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    child<QTabWidget>(w, "tabWidget")->setCurrentIndex(1);
    return QTest::qWaitFor([&] { return !child<QWidget>(w, "radioFixe")->rect().isEmpty(); });
}

// On the indicator: a radio button takes clicks only on its indicator and text.
void clickRadio(const MainWindow &w, const char *name)
{
    QRadioButton *radio = child<QRadioButton>(w, name);
    const int middle = radio->height() / 2;
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(middle, middle));
}

// Rows 1 to count are shown and the others hidden.
bool rowsMatch(const MainWindow &w, int count)
{
    for (int n = 1; n <= 5; ++n) {
        const bool hidden = n > count;
        if (prizeLabel(w, n)->isHidden() != hidden || prizeBox(w, n)->isHidden() != hidden)
            return false;
    }
    return true;
}

QStringList suffixes(const MainWindow &w)
{
    QStringList all;
    for (int n = 1; n <= 5; ++n)
        all << prizeBox(w, n)->suffix();
    return all;
}

struct Stored
{
    double bet, black;
    int gain, costs, count;
    bool fixed;
    std::array<int, 5> prizes;
    QString crest;
    bool five;
};

} // namespace

Q_DECLARE_METATYPE(Stored)

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void restoresSavedFields_data();
    void restoresSavedFields();
    void clampsStoredValues_data();
    void clampsStoredValues();
    void showsRowsOfStoredPrizeCount_data();
    void showsRowsOfStoredPrizeCount();
    void keepsFormValuesWithoutValidFile_data();
    void keepsFormValuesWithoutValidFile();
    void tracesBytesRead();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void refusesSemicolonInCrestPath_data();
    void refusesSemicolonInCrestPath();
    void freshWindowsSurviveHostileFiles();
    void loaderSurvivesThousandsOfFiles();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
};

void TestSettingsWindow::init()
{
    previousDir = QDir::currentPath();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QVERIFY(QDir::setCurrent(dir->path()));
}

void TestSettingsWindow::cleanup()
{
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir::setCurrent(previousDir);
    dir.reset();
    QLoggingCategory::setFilterRules(QString());
}

void TestSettingsWindow::restoresSavedFields_data()
{
    QTest::addColumn<Stored>("stored");

    QTest::newRow("fixed, three prizes, five euros, accented crest")
        << Stored{2.5, 0.75, 5, 15, 3, true, {40, 25, 10, 7, 3}, QStringLiteral("C:/Compagnie d'arc/Écusson ñ.png"), true};
    QTest::newRow("percent, one prize, values beyond the count kept")
        << Stored{3.5, 1, 3, 10, 1, false, {50, 30, 20, 10, 5}, QStringLiteral("C:/club/blason.png"), false};
    QTest::newRow("five prizes at the top of every range")
        << Stored{99.99, 99.99, 99, 99, 5, false, {9999, 99999, 9999, 9999, 9999}, QString(), true};
    QTest::newRow("zeros everywhere")
        << Stored{0, 0, 0, 0, 2, true, {0, 0, 0, 0, 0}, QStringLiteral("/tmp/b\"l a.png"), false};
}

void TestSettingsWindow::restoresSavedFields()
{
    QFETCH(Stored, stored);
    {
        MainWindow w;
        QVERIFY(showSettingsTab(w));
        child<QDoubleSpinBox>(w, "tarifMise")->setValue(stored.bet);
        child<QDoubleSpinBox>(w, "tarifNoir")->setValue(stored.black);
        child<QSpinBox>(w, "gainMini")->setValue(stored.gain);
        child<QSpinBox>(w, "pourcentFrais")->setValue(stored.costs);
        child<QSpinBox>(w, "nbPrix")->setValue(5);
        for (int n = 1; n <= 5; ++n)
            prizeBox(w, n)->setValue(stored.prizes[std::size_t(n - 1)]);
        child<QSpinBox>(w, "nbPrix")->setValue(stored.count);
        clickRadio(w, stored.fixed ? "radioFixe" : "radioPourcent");
        clickRadio(w, stored.five ? "cinqEuro" : "unEuro");
        child<QLineEdit>(w, "blasonPrint")->setText(stored.crest);

        MessageBoxAnswerer answerer;
        QTest::mouseClick(child<QWidget>(w, "commandLinkButton_2"), Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 0);
    }
    QCOMPARE(dirEntries(dir->path()), QStringList{"save.ini"});

    MainWindow w;
    QCOMPARE(child<QDoubleSpinBox>(w, "tarifMise")->value(), stored.bet);
    QCOMPARE(child<QDoubleSpinBox>(w, "tarifNoir")->value(), stored.black);
    QCOMPARE(child<QSpinBox>(w, "gainMini")->value(), stored.gain);
    QCOMPARE(child<QSpinBox>(w, "pourcentFrais")->value(), stored.costs);
    QCOMPARE(child<QSpinBox>(w, "nbPrix")->value(), stored.count);
    QVERIFY(rowsMatch(w, stored.count));
    QCOMPARE(child<QRadioButton>(w, "radioFixe")->isChecked(), stored.fixed);
    QCOMPARE(child<QRadioButton>(w, "radioPourcent")->isChecked(), !stored.fixed);
    QCOMPARE(suffixes(w), QStringList(5, stored.fixed ? euro : percent));
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(prizeBox(w, n)->value(), stored.prizes[std::size_t(n - 1)]);
    QCOMPARE(child<QLineEdit>(w, "blasonPrint")->text(), stored.crest);
    QCOMPARE(child<QRadioButton>(w, "cinqEuro")->isChecked(), stored.five);
    QCOMPARE(child<QRadioButton>(w, "unEuro")->isChecked(), !stored.five);
}

void TestSettingsWindow::clampsStoredValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<double>("value");

    const QByteArray line = "-5;500;1e30;-1;9;pourcent;100000;200000;-3;10000;7;;1";
    QTest::newRow("negative bet price to 0") << line << "tarifMise" << 0.0;
    QTest::newRow("black price to 99.99") << line << "tarifNoir" << 99.99;
    QTest::newRow("huge minimum gain to 99") << line << "gainMini" << 99.0;
    QTest::newRow("negative costs to 0") << line << "pourcentFrais" << 0.0;
    QTest::newRow("prize count 9 to 5") << line << "nbPrix" << 5.0;
    QTest::newRow("prize 1 stops at 9999") << line << "valeurPrix1" << 9999.0;
    QTest::newRow("prize 2 stops at 99999") << line << "valeurPrix2" << 99999.0;
    QTest::newRow("negative prize 3 to 0") << line << "valeurPrix3" << 0.0;
    QTest::newRow("prize 4 stops at 9999") << line << "valeurPrix4" << 9999.0;
    QTest::newRow("prize count 0 to 1")
        << QByteArray("3.5;1;3;10;0;fixe;1;2;3;4;5;;5") << "nbPrix" << 1.0;
    QTest::newRow("price rounded to two decimals")
        << QByteArray("3.14159;1;3;10;1;fixe;1;2;3;4;5;;5") << "tarifMise" << 3.14;
    QTest::newRow("huge negative minimum gain to 0")
        << QByteArray("3.5;1;-1e30;10;1;fixe;1;2;3;4;5;;5") << "gainMini" << 0.0;
}

void TestSettingsWindow::clampsStoredValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, widget);
    QFETCH(double, value);

    QVERIFY(writeBytes("save.ini", line));
    MainWindow w;
    QCOMPARE(child<QWidget>(w, widget.toLatin1().constData())->property("value").toDouble(), value);
}

void TestSettingsWindow::showsRowsOfStoredPrizeCount_data()
{
    QTest::addColumn<int>("count");
    for (int count = 1; count <= 5; ++count)
        QTest::addRow("%d stored", count) << count;
}

void TestSettingsWindow::showsRowsOfStoredPrizeCount()
{
    QFETCH(int, count);
    QVERIFY(writeBytes("save.ini", QByteArray("3.5;1;3;10;") + QByteArray::number(count)
                                       + ";fixe;1;2;3;4;5;;5"));
    MainWindow w;
    QCOMPARE(child<QSpinBox>(w, "nbPrix")->value(), count);
    QVERIFY(rowsMatch(w, count));
    QCOMPARE(suffixes(w), QStringList(5, euro));
}

void TestSettingsWindow::keepsFormValuesWithoutValidFile_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("asDirectory");

    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray("") << false;
    QTest::newRow("twelve fields") << QByteArray("9;9;9;9;5;fixe;9;9;9;9;9;5") << false;
    QTest::newRow("fourteen fields, crest with semicolon")
        << QByteArray("9;9;9;9;5;fixe;9;9;9;9;9;C:/a;b.png;5") << false;
    QTest::newRow("save.ini is a directory") << QByteArray() << true;
}

void TestSettingsWindow::keepsFormValuesWithoutValidFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, asDirectory);
    if (asDirectory)
        QVERIFY(QDir().mkdir("save.ini"));
    else if (!contents.isNull())
        QVERIFY(writeBytes("save.ini", contents));

    MessageBoxAnswerer answerer;
    MainWindow w;
    QCOMPARE(answerer.seen.size(), 0);
    QCOMPARE(child<QDoubleSpinBox>(w, "tarifMise")->value(), 3.5);
    QCOMPARE(child<QDoubleSpinBox>(w, "tarifNoir")->value(), 0.5);
    QCOMPARE(child<QSpinBox>(w, "gainMini")->value(), 3);
    QCOMPARE(child<QSpinBox>(w, "pourcentFrais")->value(), 20);
    QCOMPARE(child<QSpinBox>(w, "nbPrix")->value(), 1);
    QVERIFY(rowsMatch(w, 1));
    QVERIFY(child<QRadioButton>(w, "radioPourcent")->isChecked());
    QVERIFY(!child<QRadioButton>(w, "radioFixe")->isChecked());
    QCOMPARE(suffixes(w), QStringList(5, percent));
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(prizeBox(w, n)->value(), 0);
    QCOMPARE(child<QLineEdit>(w, "blasonPrint")->text(), QString());
    QVERIFY(!child<QRadioButton>(w, "unEuro")->isChecked());
    QVERIFY(!child<QRadioButton>(w, "cinqEuro")->isChecked());
}

void TestSettingsWindow::tracesBytesRead()
{
    static QStringList traces;
    traces.clear();
    QVERIFY(writeBytes("save.ini", goodSettingsLine()));

    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtDebugMsg && QLatin1String(context.category) == QLatin1String("prixgeneral.settings"))
                traces << message;
        });
    { MainWindow w; }
    qInstallMessageHandler(previous);

    QCOMPARE(traces, QStringList{'"' + QString::fromLatin1(goodSettingsLine()) + '"'});
}

void TestSettingsWindow::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("save.ini is a directory") << QStringLiteral("directory");
    QTest::newRow("write fails after open") << QStringLiteral("size limit");
    QTest::newRow("read-only directory") << QStringLiteral("read-only directory");
    QTest::newRow("read-only file") << QStringLiteral("read-only file");
}

void TestSettingsWindow::failedSaveKeepsOldFile()
{
    QFETCH(QString, obstacle);
    if (obstacle.startsWith("read-only") && geteuid() == 0)
        QSKIP("permissions stop no write for root");

    const QByteArray old = goodSettingsLine();
    const QString kept = obstacle == "directory" ? QStringLiteral("save.ini/keep") : QStringLiteral("save.ini");
    if (obstacle == "directory")
        QVERIFY(QDir().mkdir("save.ini"));
    QVERIFY(writeBytes(kept, old));

    MainWindow w;
    QVERIFY(showSettingsTab(w));
    child<QSpinBox>(w, "gainMini")->setValue(42);
    if (obstacle == "read-only directory")
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    if (obstacle == "read-only file")
        QVERIFY(QFile::setPermissions("save.ini", QFile::ReadOwner));

    MessageBoxAnswerer answerer;
    {
        std::optional<FileSizeLimit> limit;
        if (obstacle == "size limit")
            limit.emplace(16);
        QTest::mouseClick(child<QWidget>(w, "commandLinkButton_2"), Qt::LeftButton);
    }

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].text, saveError);
    QVERIFY(answerer.seen[0].parentless);
    QVERIFY(answerer.seen[0].modal);
    QCOMPARE(answerer.seen[0].buttons, QMessageBox::Ok);
    QCOMPARE(fileBytes(kept), old);
    QCOMPARE(dirEntries(dir->path()), QStringList{"save.ini"});
    QCOMPARE(child<QSpinBox>(w, "gainMini")->value(), 42);
}

void TestSettingsWindow::refusesSemicolonInCrestPath_data()
{
    QTest::addColumn<bool>("oldFile");
    QTest::newRow("old file kept") << true;
    QTest::newRow("no file created") << false;
}

void TestSettingsWindow::refusesSemicolonInCrestPath()
{
    QFETCH(bool, oldFile);
    if (oldFile)
        QVERIFY(writeBytes("save.ini", goodSettingsLine()));

    MainWindow w;
    QVERIFY(showSettingsTab(w));
    const QString path = QStringLiteral("C:/Tir;Arc/blason.png");
    child<QLineEdit>(w, "blasonPrint")->setText(path);
    MessageBoxAnswerer answerer;
    QTest::mouseClick(child<QWidget>(w, "commandLinkButton_2"), Qt::LeftButton);

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].text, semicolonRefusal);
    QVERIFY(answerer.seen[0].parentless);
    QVERIFY(answerer.seen[0].modal);
    QCOMPARE(dirEntries(dir->path()), oldFile ? QStringList{"save.ini"} : QStringList());
    if (oldFile)
        QCOMPARE(fileBytes("save.ini"), goodSettingsLine());
    QCOMPARE(child<QLineEdit>(w, "blasonPrint")->text(), path);
}

// Every spin box in range, and the prize type and its suffixes agreeing.
bool consistent(const MainWindow &w)
{
    for (auto *box : w.findChildren<QSpinBox *>())
        if (box->value() < box->minimum() || box->value() > box->maximum())
            return false;
    for (auto *box : w.findChildren<QDoubleSpinBox *>())
        if (!std::isfinite(box->value()) || box->value() < box->minimum() || box->value() > box->maximum())
            return false;
    const bool fixed = child<QRadioButton>(w, "radioFixe")->isChecked();
    return fixed != child<QRadioButton>(w, "radioPourcent")->isChecked()
        && suffixes(w) == QStringList(5, fixed ? euro : percent);
}

// Whatever "save.ini" holds, a new window comes up consistent, with the
// rows of the prize count in use.
void TestSettingsWindow::freshWindowsSurviveHostileFiles()
{
    QLoggingCategory::setFilterRules(QStringLiteral("prixgeneral.settings.debug=false"));
    QRandomGenerator rng(4242);
    QElapsedTimer clock;
    clock.start();
    const int files = 300;
    for (int round = 0; round < files; ++round) {
        const QByteArray line = randomSettingsLine(rng);
        QVERIFY(writeBytes("save.ini", line));
        MainWindow w;
        const QByteArray what = "file (hex): " + line.toHex();
        QVERIFY2(consistent(w), what);
        QVERIFY2(rowsMatch(w, child<QSpinBox>(w, "nbPrix")->value()), what);
    }
    qDebug("%d windows in %lld ms", files, qint64(clock.elapsed()));
}

// Building a window per file is slow; the loader itself is fed thousands.
void TestSettingsWindow::loaderSurvivesThousandsOfFiles()
{
    QLoggingCategory::setFilterRules(QStringLiteral("prixgeneral.settings.debug=false"));
    QRandomGenerator rng(777);
    MainWindow w;
    QElapsedTimer clock;
    clock.start();
    const int files = 3000;
    for (int round = 0; round < files; ++round) {
        const QByteArray line = randomSettingsLine(rng);
        QVERIFY(writeBytes("save.ini", line));
        w.loadSettings();
        QVERIFY2(consistent(w), "file (hex): " + line.toHex());
    }
    qDebug("%d loads in %lld ms", files, qint64(clock.elapsed()));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
