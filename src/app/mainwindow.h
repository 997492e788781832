#pragma once

#include "report/dayfigures.h"
#include "settings/settingsline.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <optional>

struct DayPage;
struct MainWindowForm;
namespace day {
struct CashCount;
struct CashRecord;
struct Sheet;
} // namespace day
namespace recovery {
class Keeper;
struct Work;
} // namespace recovery

// The one window of the program. See mainwindow.cpp for how the pieces meet.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void loadSettings();

    // The session ends (a logout, a shutdown): true when the window asks to
    // cancel it. `mayAsk`: the session lets the program ask the user.
    bool cancelsSessionEnd(bool mayAsk);

    // From now on the work that differs from the window's start is kept in
    // the working folder, and the work of a copy that stopped without being
    // closed is offered back, in a question over the window.
    void keepWorkAcrossCrashes();
    // Writes the kept work now, rather than after the pause in typing.
    void keepWorkNow();

protected:
    // Asks before typing in the prize list that no sheet shows, or settings
    // not saved, are lost.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_nbPrix_valueChanged(int count);
    void on_radioPourcent_clicked(bool checked);
    void on_radioFixe_clicked(bool checked);
    void on_commandLinkButton_2_clicked(); // "Sauvegarder"
    void on_nbMises_valueChanged(int bets);
    void on_nbNoirsPayes_valueChanged(int blacks);
    void on_commandLinkButton_clicked();   // "Calculer"
    void on_commandLinkButton_3_clicked(); // "Imprimer"
    void on_pushButton_clicked();          // "...": choose the crest file
    void on_unEuro_clicked(bool);
    void on_cinqEuro_clicked(bool);

private:
    // "Calculer" itself, once nothing typed is at stake.
    void calculate();
    // True once save.ini holds the form's settings; a failure is shown.
    bool saveSettings();
    Settings formSettings() const;
    // Typing in the list since the last "Calculer" that no sheet showed.
    bool listHoldsUnprintedTyping() const;
    // The close question, when something would be lost: true to close.
    bool mayClose();
    void refreshTotals();
    void applySettings(const Settings &settings);
    // What the window holds, and putting it back.
    recovery::Work currentWork() const;
    void restoreWork(const recovery::Work &work);
    // Anything the treasurer changed: kept after a pause.
    void workChanged();

    // The "Journée" tab: built when first shown, read again each time.
    void showDayPage();
    void buildDayPage();
    void readDay();
    // The chosen day, and `typed` in its count fields, or its last count.
    void showCountOf(const QDate &date, const day::CashCount *typed);
    void chooseDay(int index);
    void refreshCash();
    bool countUnprinted() const;
    void printDayStatement();
    void printSeasonStatement();
    void openJournal();
    // Prints `html` to `fileName` and opens it; false after a warning.
    bool printAndOpen(const QString &html, const QString &fileName);
    // What "Calculer" shares out of `pool`, with the prizes as set.
    prizes::PrizeFigures prizeFigures(int pool) const;
    // Everything a print needs, read from the widgets at once.
    DayFigures dayFigures() const;
    // Prints the sheet of `day`, opens it and records it in the journal.
    // `listModified`: the list is another one than "Calculer" makes from
    // the printed figures (typed into, or printed as it stood).
    void printSheetFile(const DayFigures &day, bool listModified);
    // A warning over the window: `text` as it always reads, `details` saying
    // which file and why.
    void warn(const QString &text, const QString &details);

    MainWindowForm *form;
    // The last "Calculer": whether the list still fits, what it pays.
    std::optional<ComputedList> computed;
    // The prize list's revision when a sheet last showed it: typing after it
    // is what closing would lose.
    int listPrintedAt = -1;
    // The settings as save.ini holds them, or the form's own without one.
    Settings settingsKept;
    // The session's end was answered "close": its closing asks no more.
    bool endingAnswered = false;
    // This copy's recovery file, and the work it started with: work equal
    // to it is nothing to keep.
    std::unique_ptr<recovery::Keeper> keeper;
    std::unique_ptr<recovery::Work> startWork;
    QTimer keepTimer;

    std::unique_ptr<DayPage> dayPage;
    std::unique_ptr<QList<day::Sheet>> daySheets;
    std::unique_ptr<QList<day::CashRecord>> cashRecords;
    // Why the journal or the cash book cannot be read; empty when they can.
    QString dayProblem;
    // The chosen day's count as its book holds it: typing beyond it is
    // what closing would lose.
    std::unique_ptr<day::CashCount> countShown;
};
