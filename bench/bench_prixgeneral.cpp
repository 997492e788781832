// Timings and memory of Prix général, as medians over repeated runs:
//   start-up to the first frame, beside a bare QMainWindow (offscreen and,
//   when Xvfb is installed, under a real X server);
//   the user's actions through the real widgets;
//   the "Journée" tab and the season's statement over a season's journal;
//   peak memory of a whole run that starts, computes, prints and quits;
//   the whole job (start, load save.ini, two counts, "Calculer", "Imprimer",
//   quit) beside a bare QMainWindow that starts and quits, as whole processes.
// The same executable runs itself as the child for the per-process figures.
// Exit code 1 when a figure misses its budget.
#include "app/mainwindow.h"
#include "day/cash.h"
#include "day/sheets.h"
#include "day/statement.h"
#include "files/csv.h"
#include "journal/journal.h"
#include "report/ui/paperprinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace {

// Five percentage prizes rounded to 5 €: the heaviest "Calculer" the form allows.
const QByteArray benchSettings = "3.5;0.5;3;20;5;pourcent;30;20;15;10;5;:/blason.png;5";
const int startupRuns = 15;
// A busy season: every day of it, about fourteen categories a day.
const int seasonRows = 5000;

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return qQNaN();
    std::sort(samples.begin(), samples.end());
    const qsizetype middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A directory like a club's: "save.ini" beside the program's output, and an
// opener that only records, so no PDF viewer ever starts.
struct Workspace
{
    QTemporaryDir dir;
    QString bin;

    bool prepare()
    {
        if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("bin")))
            return false;
        bin = dir.filePath(QStringLiteral("bin"));
        const QString opener = bin + QStringLiteral("/xdg-open");
        return writeFile(dir.filePath(QStringLiteral("save.ini")), benchSettings)
            && writeFile(opener, "#!/bin/sh\nexit 0\n")
            && QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

// A journal as the program writes it: `rows` rows spread evenly over the
// `days` days from `first`, one per category a day. Rows dated `today`, if
// any, are of categories the window does not offer, so that its first
// print there asks no question of shoots.
QByteArray spreadJournal(const QDate &first, qint64 days, int rows, const QDate &today)
{
    static const char *const categories[] = {
        "arc classique", "arc poulie",         "arc droit",          "arc nu",          "arc libre",
        "arc classique jeunes", "arc poulie jeunes", "arc classique vétérans", "arc poulie vétérans",
        "arc droit vétérans",   "arc nu jeunes",     "arc classique dames",    "arc poulie dames",
        "arc libre vétérans",   "arc nu vétérans",  "arc libre jeunes",        "arc libre dames",
        "arc nu dames",
    };
    QByteArray bytes = QByteArray(csv::byteOrderMark) + journal::headerRow();
    bytes.reserve(qsizetype(rows) * 130);
    qint64 dayOfRow = -1;
    int onThatDay = 0;
    for (int i = 0; i < rows; ++i) {
        const qint64 dayIndex = qint64(i) * days / rows;
        onThatDay = dayIndex == dayOfRow ? onThatDay + 1 : 0;
        dayOfRow = dayIndex;
        journal::Entry e;
        const QDate date = first.addDays(dayIndex);
        e.printed = QDateTime(date, QTime(10 + onThatDay / 2, (onThatDay % 2) * 30));
        e.category = QString::fromUtf8(categories[onThatDay + (date == today ? 3 : 0)]);
        e.bets = 40 + (i * 37) % 211;
        e.betPrice = 3.5;
        e.receipts = int(e.bets * e.betPrice);
        e.costPercent = 20;
        e.costs = e.receipts * e.costPercent / 100;
        e.blacksPaid = (i * 13) % 90;
        e.blackPrice = 0.5;
        e.blacks = float(e.blacksPaid * e.blackPrice);
        e.pool = e.receipts - e.costs - int(e.blacks);
        e.list = prizes::ListAmounts{e.pool * 2 / 3, e.pool - e.pool * 2 / 3 - 5, 0.4f};
        e.sheet = QStringLiteral("prixGeneral_") + QString(e.category).replace(QLatin1Char(' '), QLatin1Char('_'))
            + QStringLiteral("_%1_tir1.pdf").arg(date.toString(Qt::ISODate));
        const std::optional<QByteArray> row = journal::row(e);
        if (!row)
            qFatal("journal row %d not written", i);
        bytes += *row;
    }
    return bytes;
}

// A season's journal over the season holding `today` (the one the "Bilan de
// la saison" of a fresh tab covers), from 1 September to 31 August.
QByteArray seasonJournal(const QDate &today)
{
    const QDate first = day::seasonStart(today);
    return spreadJournal(first, first.daysTo(first.addYears(1)), seasonRows, today);
}

// Twenty seasons of a busy club up to `today`: 100,000 rows.
const int seasonsKept = 20;
QByteArray seasonsJournal(const QDate &today)
{
    const QDate first = day::seasonStart(today).addYears(1 - seasonsKept);
    return spreadJournal(first, first.daysTo(today) + 1, seasonsKept * seasonRows, today);
}

// A cash book of `rows` counts over the same days, up to three a day.
QByteArray seasonsCashBook(const QDate &today, int rows)
{
    const QDate first = day::seasonStart(today).addYears(1 - seasonsKept);
    const qint64 days = first.daysTo(today) + 1;
    QByteArray bytes = QByteArray(csv::byteOrderMark) + day::cashHeaderRow();
    day::CashCount count;
    count.openingFloat = 15000;
    count.pieces = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    count.deposit = 20000;
    count.countedBy = QStringLiteral("Jeanne Archer");
    day::Totals totals;
    totals.receipts = 70000;
    totals.blacks = 1500;
    totals.prizes = 45000;
    qint64 dayOfRow = -1;
    int number = 0;
    for (int i = 0; i < rows; ++i) {
        const qint64 dayIndex = qint64(i) * days / rows;
        number = dayIndex == dayOfRow ? number + 1 : 1;
        dayOfRow = dayIndex;
        day::CashRecord record =
            day::closing(count, totals, first.addDays(dayIndex), QDateTime(today, QTime(17, number * 10)));
        record.number = number;
        bytes += day::cashRow(record);
    }
    return bytes;
}

// This process's own peak resident size in kB. Not getrusage(): Linux
// carries the peak of the process that forked it across exec, so a child
// of a bench grown larger than itself would report the bench's.
long long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The program's trace messages cost their formatting, not a terminal.
void quietTraces(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && context.category && qstrncmp(context.category, "prixgeneral", 11) == 0)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Reports the moment the window has painted its first frame, then quits.
class FirstFrame : public QObject
{
public:
    explicit FirstFrame(std::function<void()> whenShown)
        : whenShown(std::move(whenShown))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen && event->type() == QEvent::Paint) {
            seen = true;
            // The frame reaches the screen once this paint pass is flushed.
            QTimer::singleShot(0, this, whenShown);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> whenShown;
    bool seen = false;
};

template<typename T>
T *widget(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget named %s", name);
    return found;
}

void enterCounts(QWidget &window, int bets, int blacks)
{
    widget<QSpinBox>(window, "nbMises")->setValue(bets);
    widget<QSpinBox>(window, "nbNoirsPayes")->setValue(blacks);
}

// The program's window as main() makes it, or a bare one of the same size,
// with or without one line of text.
std::unique_ptr<QMainWindow> makeWindow(const QByteArray &kind)
{
    if (kind == "program") {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvan.ico")));
        return std::make_unique<MainWindow>();
    }
    auto window = std::make_unique<QMainWindow>();
    window->resize(675, 653);
    if (kind == "label")
        window->setCentralWidget(new QLabel(QStringLiteral("Calcul Prix généraux")));
    return window;
}

// Shows the window as main() does: the program's then keeps its work
// across a crash (claims its lock, looks for work left behind) before the
// event loop starts.
void showAsMain(QMainWindow &window, const QByteArray &kind)
{
    window.show();
    if (kind == "program")
        static_cast<MainWindow &>(window).keepWorkAcrossCrashes();
}

// --startup-child program|bare|label: prints the monotonic clock at the
// first frame. "label" is the bare window with one line of text: the price
// of the font database, which any window with text pays and a bare one never.
int startupChild(int argc, char **argv, const QByteArray &kind)
{
    QApplication app(argc, argv);
    const std::unique_ptr<QMainWindow> window = makeWindow(kind);
    FirstFrame frame([] {
        std::printf("%lld\n", static_cast<long long>(monotonicNs()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    window->installEventFilter(&frame);
    showAsMain(*window, kind);
    return app.exec();
}

// Every child's print is the day's first shoot: the sheet a run before left
// in the journal would make it ask whether this is a new shoot.
void forgetEarlierShoots()
{
    QFile::remove(QStringLiteral("journal.csv"));
}

// --whole-run: a day at the club in one process; prints its peak RSS in kB.
int wholeRunChild(int argc, char **argv)
{
    qInstallMessageHandler(quietTraces);
    forgetEarlierShoots();
    int status = 0;
    {
        QApplication app(argc, argv);
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvan.ico")));
        MainWindow window;
        FirstFrame frame([&window] {
            enterCounts(window, 250, 120);
            widget<QAbstractButton>(window, "commandLinkButton")->click();
            widget<QAbstractButton>(window, "commandLinkButton_3")->click();
            widget<QAbstractButton>(window, "commandLinkButton_2")->click();
            window.close();
        });
        window.installEventFilter(&frame);
        showAsMain(window, "program");
        status = app.exec();
    }
    std::printf("%lld\n", peakRssKb());
    return status;
}

// --whole-job program|bare: the operator's whole job in one process, or a
// bare window shown and closed; prints its peak RSS in kB.
int wholeJobChild(int argc, char **argv, const QByteArray &kind)
{
    qInstallMessageHandler(quietTraces);
    if (kind == "program")
        forgetEarlierShoots();
    int status = 0;
    {
        QApplication app(argc, argv);
        const std::unique_ptr<QMainWindow> window = makeWindow(kind);
        QMainWindow *shown = window.get();
        FirstFrame frame([shown, &kind] {
            if (kind == "program") {
                enterCounts(*shown, 250, 120);
                widget<QAbstractButton>(*shown, "commandLinkButton")->click();
                widget<QAbstractButton>(*shown, "commandLinkButton_3")->click();
            }
            shown->close();
        });
        window->installEventFilter(&frame);
        showAsMain(*window, kind);
        status = app.exec();
    }
    std::printf("%lld\n", peakRssKb());
    return status;
}

// --season-child [FOLDER]: in a temporary folder with a season's journal,
// shows the "Journée" tab once and prints the season's statement once;
// prints both times in ms. One pass, for a profiler. The statement is
// copied into FOLDER when given, to compare one build's with another's.
int seasonChild(int argc, char **argv)
{
    qInstallMessageHandler(quietTraces);
    QApplication app(argc, argv);
    Workspace folder;
    if (!folder.prepare()
        || !writeFile(folder.dir.filePath(QStringLiteral("journal.csv")), seasonJournal(QDate::currentDate())))
        return 2;
    QDir::setCurrent(folder.dir.path());
    qputenv("PATH", (folder.bin + QLatin1Char(':')).toLocal8Bit() + qgetenv("PATH"));
    MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    qint64 before = monotonicNs();
    widget<QTabWidget>(window, "tabWidget")->setCurrentWidget(widget<QWidget>(window, "journee"));
    QCoreApplication::processEvents();
    const double shown = double(monotonicNs() - before) / 1e6;
    before = monotonicNs();
    widget<QAbstractButton>(window, "imprimerSaison")->click();
    const double printed = double(monotonicNs() - before) / 1e6;
    std::printf("%.3f %.3f\n", shown, printed);
    if (argc >= 3) {
        const QString statement = day::seasonStatementFileName(QDate::currentDate());
        QFile::remove(QDir(QString::fromLocal8Bit(argv[2])).filePath(statement));
        if (!QFile::copy(statement, QDir(QString::fromLocal8Bit(argv[2])).filePath(statement)))
            return 1;
    }
    return 0;
}

// --seasons-child: in a folder of twenty seasons, shows the "Journée" tab once
// and prints a sheet once; prints both times in ms and their page faults.
// For a profiler.
int seasonsChild(int argc, char **argv)
{
    qInstallMessageHandler(quietTraces);
    QApplication app(argc, argv);
    Workspace folder;
    const QDate today = QDate::currentDate();
    if (!folder.prepare() || !writeFile(folder.dir.filePath(QStringLiteral("journal.csv")), seasonsJournal(today))
        || !writeFile(folder.dir.filePath(QStringLiteral("caisse.csv")), seasonsCashBook(today, 20000)))
        return 2;
    QDir::setCurrent(folder.dir.path());
    qputenv("PATH", (folder.bin + QLatin1Char(':')).toLocal8Bit() + qgetenv("PATH"));
    MainWindow window;
    window.show();
    QCoreApplication::processEvents();
    // Page faults too: on a virtual machine each costs microseconds.
    const auto faults = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return qint64(usage.ru_minflt + usage.ru_majflt);
    };
    qint64 before = monotonicNs(), faultsBefore = faults();
    widget<QTabWidget>(window, "tabWidget")->setCurrentWidget(widget<QWidget>(window, "journee"));
    QCoreApplication::processEvents();
    const double shown = double(monotonicNs() - before) / 1e6;
    const qint64 shownFaults = faults() - faultsBefore;
    widget<QTabWidget>(window, "tabWidget")->setCurrentIndex(0);
    enterCounts(window, 250, 120);
    widget<QAbstractButton>(window, "commandLinkButton")->click();
    before = monotonicNs();
    faultsBefore = faults();
    widget<QAbstractButton>(window, "commandLinkButton_3")->click();
    const double printed = double(monotonicNs() - before) / 1e6;
    std::printf("%.3f %.3f ms, %lld %lld page faults\n", shown, printed, shownFaults, faults() - faultsBefore);
    return 0;
}

// --statements-child FOLDER [SHEETS [DAYS]]: writes into FOLDER the day's
// statement of a day of SHEETS sheets (6) and the season's statement of
// DAYS counted days (30), as the program prints them, to look at
// (tools/statement_pictures.sh makes pictures of them).
int statementsChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const int sheetCount = argc > 3 ? std::atoi(argv[3]) : 6, dayCount = argc > 4 ? std::atoi(argv[4]) : 30;
    const QDate today = QDate::currentDate(), first = day::seasonStart(today);
    static const char *const categories[] = {"arc classique", "arc poulie", "arc droit", "arc nu", "arc libre",
                                             "arc classique jeunes"};
    QList<day::Sheet> sheets;
    QList<day::CashRecord> records;
    day::CashCount count;
    count.openingFloat = 15000;
    count.pieces = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    count.deposit = 30000;
    count.countedBy = QStringLiteral("Jeanne Archer et Marc Dupré");
    for (int d = 0; d < dayCount; ++d) {
        const QDate date = first.addDays(qint64(d) * 7);
        const int onThatDay = d == dayCount - 1 ? sheetCount : 3 + d % 4;
        QList<day::Sheet> ofDay;
        for (int i = 0; i < onThatDay; ++i) {
            journal::Entry e;
            e.printed = csv::asWritten(date, QTime(10 + i, 5 * i));
            e.category = QString::fromUtf8(categories[i % 6]);
            if (i >= 6)
                e.category += QStringLiteral(" %1").arg(i / 6 + 1);
            e.bets = 60 + 13 * i + d;
            e.betPrice = 3.5;
            e.receipts = int(e.bets * e.betPrice);
            e.costPercent = 20;
            e.costs = e.receipts / 5;
            e.blacksPaid = 5 + i;
            e.blackPrice = 0.5;
            e.pool = e.receipts - e.costs - (e.blacksPaid + 1) / 2;
            e.list = prizes::ListAmounts{e.pool * 2 / 3, e.pool - e.pool * 2 / 3 - 2, 2};
            e.sheet = QStringLiteral("prixGeneral_x_%1.pdf").arg(i);
            ofDay << day::sheetOf(e).value();
        }
        sheets += ofDay;
        count.openingFloat = records.isEmpty() ? 15000 : day::floatKept(records.last().count);
        day::CashRecord record = day::closing(count, day::totalsOf(ofDay), date, QDateTime(date, QTime(18, 30)));
        record.number = 1;
        records << record;
    }
    const day::Heading heading{QStringLiteral(":/blason.png"), QStringLiteral("Compagnie d'arc de Castelbrune")};
    const QDate last = records.last().closed.date();
    const QByteArray dayPdf = renderPaper(day::dayStatement(heading, day::sheetsOn(sheets, last), records.last()));
    const QByteArray seasonPdf = renderPaper(day::seasonStatement(heading, last, sheets, records));
    return writeFile(folder.filePath(QStringLiteral("bilan_journee.pdf")), dayPdf)
                && writeFile(folder.filePath(QStringLiteral("bilan_saison.pdf")), seasonPdf)
               ? 0
               : 1;
}

class XServer
{
public:
    ~XServer()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
            process.waitForFinished(5000);
        }
    }

    // The display name, or nothing when Xvfb is missing or does not start.
    std::optional<QString> start()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return std::nullopt;
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                             QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("1280x1024x24")});
        QByteArray announced;
        const qint64 deadline = monotonicNs() + 20 * qint64(1000000000);
        while (!announced.contains('\n') && process.state() != QProcess::NotRunning && monotonicNs() < deadline) {
            process.waitForReadyRead(200);
            announced += process.readAllStandardOutput();
        }
        if (!announced.contains('\n'))
            return std::nullopt;
        return QLatin1Char(':') + QString::fromLatin1(announced.trimmed());
    }

private:
    QProcess process;
};

class Bench
{
public:
    int run(const QString &self);
    // The whole job of this build beside that of `other`, another build's
    // bench: in turn, each in a folder of its own.
    int against(const QString &self, const QString &other);

private:
    struct Row
    {
        QString measure;
        QString value;
        QString budget;
        std::optional<bool> met;
    };

    void add(const QString &measure, double value, const QString &unit, const QString &budgetText = QString(),
             std::optional<bool> met = std::nullopt)
    {
        rows.append({measure,
                     qIsNaN(value) ? QStringLiteral("failed") : QString::number(value, 'f', value < 10 ? 3 : 1)
                             + QLatin1Char(' ') + unit,
                     budgetText, qIsNaN(value) ? std::optional<bool>(false) : met});
    }

    QProcessEnvironment childEnvironment(const QString &platform, const QString &display) const;
    // One child run; its one line of output as a number, or NaN.
    double child(const QString &self, const QStringList &arguments, const QProcessEnvironment &env,
                 qint64 *startedAt = nullptr, const QString &folder = QString()) const;
    void startup(const QString &self, const QString &platform, const QString &display);
    void actions();
    void season();
    void twentySeasons(const QString &self);
    void peakMemory(const QString &self, const QString &platform, const QString &display);
    void wholeJob(const QString &self, const QString &platform, const QString &display);
    int print() const;

    Workspace workspace;
    QList<Row> rows;
};

QProcessEnvironment Bench::childEnvironment(const QString &platform, const QString &display) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("PATH"), workspace.bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    return env;
}

double Bench::child(const QString &self, const QStringList &arguments, const QProcessEnvironment &env,
                    qint64 *startedAt, const QString &folder) const
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder.isEmpty() ? workspace.dir.path() : folder);
    process.setStandardErrorFile(QProcess::nullDevice());
    if (startedAt)
        *startedAt = monotonicNs();
    process.start(self, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(5000);
        return qQNaN();
    }
    bool ok = false;
    const double value = process.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? value : qQNaN();
}

void Bench::startup(const QString &self, const QString &platform, const QString &display)
{
    const QProcessEnvironment env = childEnvironment(platform, display);
    const QStringList kinds{QStringLiteral("program"), QStringLiteral("bare"), QStringLiteral("label")};
    QList<QList<double>> samples(kinds.size());
    // Take turns, so a busy moment of the machine hits every kind alike; the
    // first round only warms the disk cache.
    for (int run = 0; run <= startupRuns; ++run) {
        for (qsizetype kind = 0; kind < kinds.size(); ++kind) {
            qint64 started = 0;
            const double frameAt = child(self, {QStringLiteral("--startup-child"), kinds[kind]}, env, &started);
            if (run > 0)
                samples[kind].append((frameAt - double(started)) / 1e6);
        }
    }
    const double programMs = median(samples[0]);
    const double bareMs = median(samples[1]);
    const double labelMs = median(samples[2]);
    const double ratio = programMs / bareMs;
    add(QStringLiteral("start-up to first frame, %1").arg(platform), programMs, QStringLiteral("ms"));
    add(QStringLiteral("  bare QMainWindow, %1").arg(platform), bareMs, QStringLiteral("ms"));
    add(QStringLiteral("  ratio program / bare, %1").arg(platform), ratio, QStringLiteral("x"),
        QStringLiteral("<= 1.5 x"), ratio <= 1.5);
    add(QStringLiteral("  bare QMainWindow + one QLabel, %1").arg(platform), labelMs, QStringLiteral("ms"));
    add(QStringLiteral("  ratio program / with label, %1").arg(platform), programMs / labelMs,
        QStringLiteral("x"));
}

// Each action timed alone, through the widget a user would press.
template<typename Action>
double timeEach(int runs, Action action)
{
    QList<double> samples;
    samples.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const qint64 before = monotonicNs();
        action(i);
        samples.append(double(monotonicNs() - before) / 1e6);
        if (i % 50 == 49)
            QCoreApplication::processEvents();
    }
    return median(samples);
}

void Bench::actions()
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workspace.dir.path());
    {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        enterCounts(window, 250, 120);
        QSpinBox *bets = widget<QSpinBox>(window, "nbMises");
        QAbstractButton *calculate = widget<QAbstractButton>(window, "commandLinkButton");
        QAbstractButton *print = widget<QAbstractButton>(window, "commandLinkButton_3");
        QAbstractButton *save = widget<QAbstractButton>(window, "commandLinkButton_2");

        const double totals = timeEach(2000, [bets](int i) { bets->setValue(250 + i % 2); });
        add(QStringLiteral("count change (totals)"), totals, QStringLiteral("ms"), QStringLiteral("< 1 ms"),
            totals < 1);
        const double calculating = timeEach(2000, [calculate](int) { calculate->click(); });
        add(QStringLiteral("\"Calculer\", five prizes"), calculating, QStringLiteral("ms"), QStringLiteral("< 1 ms"),
            calculating < 1);
        const double printing = timeEach(21, [print](int) { print->click(); });
        add(QStringLiteral("\"Imprimer\" (PDF written, opener stubbed)"), printing, QStringLiteral("ms"),
            QStringLiteral("< 500 ms"), printing < 500);
        const double saving = timeEach(200, [save](int) { save->click(); });
        add(QStringLiteral("\"Sauvegarder\""), saving, QStringLiteral("ms"));
        const double loading = timeEach(200, [&window](int) { window.loadSettings(); });
        add(QStringLiteral("loadSettings"), loading, QStringLiteral("ms"));
    }
    QDir::setCurrent(previous);
}

// The "Journée" tab and the season's statement, in a folder whose journal
// holds a whole season.
void Bench::season()
{
    QTemporaryDir folder;
    const QDate today = QDate::currentDate();
    if (!folder.isValid() || !writeFile(folder.filePath(QStringLiteral("save.ini")), benchSettings)
        || !writeFile(folder.filePath(QStringLiteral("journal.csv")), seasonJournal(today))) {
        add(QStringLiteral("\"Journée\" tab, %1-row season journal").arg(seasonRows), qQNaN(), QString());
        return;
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    // A tab that shows the journal refused, or a statement not written,
    // would time the wrong path.
    const auto checkFilled = [](QWidget &window) {
        if (widget<QWidget>(window, "problemeJournal")->isVisible()
            || widget<QComboBox>(window, "jourBilan")->count() < 300)
            qFatal("the Journée tab did not show the season's journal");
    };

    // Built and filled once per window: a window each time.
    QList<double> firstShows;
    for (int run = 0; run <= 10; ++run) {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        QTabWidget *tabs = widget<QTabWidget>(window, "tabWidget");
        QWidget *page = widget<QWidget>(window, "journee");
        const qint64 before = monotonicNs();
        tabs->setCurrentWidget(page);
        // Until the tab is on the screen, not only filled.
        QCoreApplication::processEvents();
        if (run > 0)
            firstShows.append(double(monotonicNs() - before) / 1e6);
        checkFilled(window);
    }
    const double firstShow = median(firstShows);
    add(QStringLiteral("\"Journée\" tab first shown, %1-row season").arg(seasonRows), firstShow,
        QStringLiteral("ms"), QStringLiteral("< 50 ms"), firstShow < 50);

    {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        QTabWidget *tabs = widget<QTabWidget>(window, "tabWidget");
        QWidget *page = widget<QWidget>(window, "journee");
        QWidget *prizes = tabs->widget(0);
        tabs->setCurrentWidget(page);
        QCoreApplication::processEvents();
        QList<double> reshows;
        for (int run = 0; run < 21; ++run) {
            tabs->setCurrentWidget(prizes);
            QCoreApplication::processEvents();
            const qint64 before = monotonicNs();
            tabs->setCurrentWidget(page);
            QCoreApplication::processEvents();
            reshows.append(double(monotonicNs() - before) / 1e6);
        }
        checkFilled(window);
        const double shownAgain = median(reshows);
        add(QStringLiteral("  shown again (journal read again)"), shownAgain, QStringLiteral("ms"),
            QStringLiteral("< 50 ms"), shownAgain < 50);

        const QString statement = day::seasonStatementFileName(today);
        QAbstractButton *printSeason = widget<QAbstractButton>(window, "imprimerSaison");
        const double printing = timeEach(11, [printSeason](int) { printSeason->click(); });
        const bool written = QFileInfo(statement).size() > 0;
        add(QStringLiteral("\"Bilan de la saison\" (PDF written, opener stubbed)"),
            written ? printing : qQNaN(), QStringLiteral("ms"), QStringLiteral("< 300 ms"), printing < 300);
    }
    QDir::setCurrent(previous);
}

// Twenty seasons in the folder: the start, the tab, both statements and a
// print beside the same print with an empty journal.
void Bench::twentySeasons(const QString &self)
{
    QTemporaryDir folder, empty;
    const QDate today = QDate::currentDate();
    const QByteArray journalBytes = seasonsJournal(today);
    if (!folder.isValid() || !empty.isValid() || !writeFile(folder.filePath(QStringLiteral("save.ini")), benchSettings)
        || !writeFile(empty.filePath(QStringLiteral("save.ini")), benchSettings)
        || !writeFile(folder.filePath(QStringLiteral("journal.csv")), journalBytes)
        || !writeFile(folder.filePath(QStringLiteral("caisse.csv")), seasonsCashBook(today, 20000))) {
        add(QStringLiteral("twenty seasons"), qQNaN(), QString());
        return;
    }
    const QString label = QStringLiteral("%1 seasons (%2 rows, %3 MB; 20000 counts)")
                              .arg(seasonsKept)
                              .arg(seasonsKept * seasonRows)
                              .arg(double(journalBytes.size()) / 1e6, 0, 'f', 1);
    rows.append({label, QString(), QString(), std::nullopt});

    // The start reads neither file: the same in both folders, in turn.
    const QProcessEnvironment env = childEnvironment(QStringLiteral("offscreen"), QString());
    QList<double> starts[2];
    for (int run = 0; run <= startupRuns; ++run) {
        for (int kind = 0; kind < 2; ++kind) {
            qint64 started = 0;
            const double frameAt = child(self, {QStringLiteral("--startup-child"), QStringLiteral("program")}, env,
                                         &started, kind ? folder.path() : empty.path());
            if (run > 0)
                starts[kind].append((frameAt - double(started)) / 1e6);
        }
    }
    add(QStringLiteral("  start-up to first frame, empty folder"), median(starts[0]), QStringLiteral("ms"));
    add(QStringLiteral("  start-up to first frame, twenty seasons"), median(starts[1]), QStringLiteral("ms"));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QList<double> firstShows;
    for (int run = 0; run <= 10; ++run) {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        const qint64 before = monotonicNs();
        widget<QTabWidget>(window, "tabWidget")->setCurrentWidget(widget<QWidget>(window, "journee"));
        QCoreApplication::processEvents();
        if (run > 0)
            firstShows.append(double(monotonicNs() - before) / 1e6);
        if (widget<QWidget>(window, "problemeJournal")->isVisible()
            || widget<QComboBox>(window, "jourBilan")->count() < 7000)
            qFatal("the Journée tab did not show twenty seasons");
    }
    const double firstShow = median(firstShows);
    add(QStringLiteral("  \"Journée\" tab first shown"), firstShow, QStringLiteral("ms"), QStringLiteral("< 100 ms"),
        firstShow < 100);
    {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        widget<QTabWidget>(window, "tabWidget")->setCurrentWidget(widget<QWidget>(window, "journee"));
        QCoreApplication::processEvents();
        widget<QDoubleSpinBox>(window, "fondDeCaisse")->setValue(150);
        QAbstractButton *dayStatement = widget<QAbstractButton>(window, "imprimerBilan");
        // Each click a statement of its own, numbered, and a row of the book.
        QSpinBox *coins = widget<QSpinBox>(window, "piece1e");
        const double day = timeEach(11, [dayStatement, coins](int i) {
            coins->setValue(i + 1);
            dayStatement->click();
        });
        const bool written = QFileInfo::exists(day::dayStatementFileName(today, 11));
        add(QStringLiteral("  \"Imprimer le bilan\" (PDF and its row)"), written ? day : qQNaN(), QStringLiteral("ms"),
            QStringLiteral("< 150 ms"), day < 150);
        QAbstractButton *season = widget<QAbstractButton>(window, "imprimerSaison");
        const double seasonMs = timeEach(11, [season](int) { season->click(); });
        add(QStringLiteral("  \"Bilan de la saison\""), seasonMs, QStringLiteral("ms"), QStringLiteral("< 300 ms"),
            seasonMs < 300);
    }
    // A sheet printed again, its journal of twenty seasons or none.
    double prints[2] = {0, 0};
    for (int kind = 0; kind < 2; ++kind) {
        QDir::setCurrent(kind ? folder.path() : empty.path());
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        enterCounts(window, 250, 120);
        widget<QAbstractButton>(window, "commandLinkButton")->click();
        QAbstractButton *print = widget<QAbstractButton>(window, "commandLinkButton_3");
        prints[kind] = timeEach(11, [print](int) { print->click(); });
    }
    add(QStringLiteral("  \"Imprimer\", empty journal"), prints[0], QStringLiteral("ms"));
    add(QStringLiteral("  \"Imprimer\", twenty seasons"), prints[1], QStringLiteral("ms"),
        QStringLiteral("<= +100 ms"), prints[1] - prints[0] <= 100);
    QDir::setCurrent(previous);
}

void Bench::peakMemory(const QString &self, const QString &platform, const QString &display)
{
    const QProcessEnvironment env = childEnvironment(platform, display);
    QList<double> peaks;
    for (int run = 0; run < 5; ++run)
        peaks.append(child(self, {QStringLiteral("--whole-run")}, env) / 1024);
    const double peak = median(peaks);
    add(QStringLiteral("peak RSS of a whole run, %1").arg(platform), peak, QStringLiteral("MB"),
        QStringLiteral("< 100 MB"), peak < 100);
}

void Bench::wholeJob(const QString &self, const QString &platform, const QString &display)
{
    const QProcessEnvironment env = childEnvironment(platform, display);
    const QStringList kinds{QStringLiteral("program"), QStringLiteral("bare")};
    QList<QList<double>> times(kinds.size()), peaks(kinds.size());
    for (int run = 0; run <= startupRuns; ++run) {
        for (qsizetype kind = 0; kind < kinds.size(); ++kind) {
            qint64 started = 0;
            const double peakKb = child(self, {QStringLiteral("--whole-job"), kinds[kind]}, env, &started);
            const double ms = double(monotonicNs() - started) / 1e6;
            if (run > 0 && !qIsNaN(peakKb)) {
                times[kind].append(ms);
                peaks[kind].append(peakKb / 1024);
            }
        }
    }
    const double jobMs = median(times[0]);
    const double bareMs = median(times[1]);
    add(QStringLiteral("whole job, start to exit, %1").arg(platform), jobMs, QStringLiteral("ms"));
    add(QStringLiteral("  bare QMainWindow, start to exit, %1").arg(platform), bareMs, QStringLiteral("ms"));
    add(QStringLiteral("  ratio whole job / bare, %1").arg(platform), jobMs / bareMs, QStringLiteral("x"));
    add(QStringLiteral("  peak RSS whole job, %1").arg(platform), median(peaks[0]), QStringLiteral("MB"));
    add(QStringLiteral("  peak RSS bare, %1").arg(platform), median(peaks[1]), QStringLiteral("MB"));
}

int Bench::against(const QString &self, const QString &other)
{
    Workspace otherSpace;
    if (!workspace.prepare() || !otherSpace.prepare()) {
        std::fprintf(stderr, "bench_prixgeneral: cannot prepare a temporary directory\n");
        return 2;
    }
    const QProcessEnvironment env = childEnvironment(QStringLiteral("offscreen"), QString());
    QProcessEnvironment otherEnv = env;
    otherEnv.insert(QStringLiteral("PATH"), otherSpace.bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    const int runs = 31;
    std::printf("Whole job, start to exit, offscreen: this build and %s in turn, %d runs each after one "
                "warm-up. Please wait.\n\n",
                qPrintable(other), runs);
    std::fflush(stdout);
    QList<double> ours, theirs, ratios;
    for (int run = 0; run <= runs; ++run) {
        qint64 started = 0;
        double peak = child(self, {QStringLiteral("--whole-job"), QStringLiteral("program")}, env, &started);
        const double ourMs = double(monotonicNs() - started) / 1e6;
        peak += child(other, {QStringLiteral("--whole-job"), QStringLiteral("program")}, otherEnv, &started,
                      otherSpace.dir.path());
        const double theirMs = double(monotonicNs() - started) / 1e6;
        if (qIsNaN(peak)) {
            std::fprintf(stderr, "bench_prixgeneral: a whole job failed\n");
            return 2;
        }
        if (run > 0) {
            ours.append(ourMs);
            theirs.append(theirMs);
            ratios.append(ourMs / theirMs);
        }
    }
    const auto range = [](QList<double> samples, const char *unit) {
        std::sort(samples.begin(), samples.end());
        return QStringLiteral("%1 / %2 / %3 %4")
            .arg(samples.first(), 0, 'f', 3)
            .arg(median(samples), 0, 'f', 3)
            .arg(samples.last(), 0, 'f', 3)
            .arg(QLatin1String(unit));
    };
    std::printf("min / median / max\n");
    std::printf("this build     %s\n", qPrintable(range(ours, "ms")));
    std::printf("other build    %s\n", qPrintable(range(theirs, "ms")));
    std::printf("ratio, run by run, this / other    %s\n", qPrintable(range(ratios, "x")));

    // The "Journée" tab and the season's statement, when the other build's
    // bench has them: the times each child prints, in turn.
    const auto season = [&env](const QString &bench, QList<double> *tab, QList<double> *statement) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(bench, {QStringLiteral("--season-child")});
        const QList<QByteArray> times = process.waitForFinished(60000) && process.exitCode() == 0
            ? process.readAllStandardOutput().simplified().split(' ')
            : QList<QByteArray>();
        if (times.size() != 2)
            return false;
        tab->append(times[0].toDouble());
        statement->append(times[1].toDouble());
        return true;
    };
    QList<double> ourTab, ourStatement, theirTab, theirStatement;
    const int seasonRuns = 11;
    for (int run = 0; run < seasonRuns; ++run) {
        if (!season(self, &ourTab, &ourStatement) || !season(other, &theirTab, &theirStatement)) {
            std::printf("\nThe other build has no season's figures.\n");
            return 0;
        }
    }
    QList<double> tabRatios, statementRatios;
    for (int run = 0; run < seasonRuns; ++run) {
        tabRatios.append(ourTab[run] / theirTab[run]);
        statementRatios.append(ourStatement[run] / theirStatement[run]);
    }
    std::printf("\n\"Journée\" tab first shown, %d-row season, in turn, %d runs each (the first of a process)\n",
                seasonRows, seasonRuns);
    std::printf("this build     %s\n", qPrintable(range(ourTab, "ms")));
    std::printf("other build    %s\n", qPrintable(range(theirTab, "ms")));
    std::printf("ratio, run by run, this / other    %s\n", qPrintable(range(tabRatios, "x")));
    std::printf("\n\"Bilan de la saison\", the first of a process\n");
    std::printf("this build     %s\n", qPrintable(range(ourStatement, "ms")));
    std::printf("other build    %s\n", qPrintable(range(theirStatement, "ms")));
    std::printf("ratio, run by run, this / other    %s\n", qPrintable(range(statementRatios, "x")));
    return 0;
}

int Bench::print() const
{
    int width = 0;
    for (const Row &row : rows)
        width = std::max(width, int(row.measure.size()));
    std::printf("%-*s  %12s  %10s  %s\n", width, "measure (median)", "value", "budget", "");
    bool allMet = true;
    for (const Row &row : rows) {
        const char *verdict = !row.met ? "" : *row.met ? "ok" : "MISSED";
        allMet = allMet && row.met.value_or(true);
        std::printf("%-*s  %12s  %10s  %s\n", width, qPrintable(row.measure), qPrintable(row.value),
                    qPrintable(row.budget), verdict);
    }
    return allMet ? 0 : 1;
}

int Bench::run(const QString &self)
{
    if (!workspace.prepare()) {
        std::fprintf(stderr, "bench_prixgeneral: cannot prepare a temporary directory\n");
        return 2;
    }
    // The prints in this process open their PDF with the stub too.
    qputenv("PATH", (workspace.bin + QLatin1Char(':')).toLocal8Bit() + qgetenv("PATH"));
    std::printf("Prix général benchmark: %d start-ups of each kind, 2000 count changes and \"Calculer\" presses,\n"
                "21 prints, 200 saves and loads, a %d-row season's tab and statement, 5 whole runs,\n"
                "%d whole jobs. Please wait.\n\n",
                startupRuns, seasonRows, startupRuns);
    std::fflush(stdout);

    startup(self, QStringLiteral("offscreen"), QString());
    XServer x;
    const std::optional<QString> display = x.start();
    if (display)
        startup(self, QStringLiteral("xcb"), *display);
    else
        rows.append({QStringLiteral("start-up under Xvfb"), QStringLiteral("skipped"),
                     QStringLiteral("(no Xvfb)"), std::nullopt});
    actions();
    season();
    twentySeasons(self);
    peakMemory(self, QStringLiteral("offscreen"), QString());
    if (display)
        peakMemory(self, QStringLiteral("xcb"), *display);
    wholeJob(self, QStringLiteral("offscreen"), QString());
    return print();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && qstrcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv, QByteArray(argv[2]));
    if (argc >= 2 && qstrcmp(argv[1], "--whole-run") == 0)
        return wholeRunChild(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--whole-job") == 0)
        return wholeJobChild(argc, argv, QByteArray(argv[2]));
    if (argc >= 2 && qstrcmp(argv[1], "--seasons-child") == 0)
        return seasonsChild(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--statements-child") == 0)
        return statementsChild(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--season-child") == 0)
        return seasonChild(argc, argv);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietTraces);
    QApplication app(argc, argv);
    Bench bench;
    if (argc >= 3 && qstrcmp(argv[1], "--against") == 0)
        return bench.against(QCoreApplication::applicationFilePath(), QString::fromLocal8Bit(argv[2]));
    return bench.run(QCoreApplication::applicationFilePath());
}
