#pragma once

#include "day/cash.h"
#include "day/ui/daypage.h"

#include <QList>
#include <QObject>

#include <optional>

class QWidget;
struct MainWindowForm;

namespace day {

// The "Journée" tab: built when first shown, it reads the journal and the
// cash book each time it is shown, keeps the count typed for the chosen day,
// and prints the day's and the season's statements.
class DayTab : public QObject
{
    Q_OBJECT

public:
    DayTab(const MainWindowForm &form, QWidget *window);

    // A count typed and not printed.
    bool countUnprinted() const;
    std::optional<CountOfDay> unprintedCount() const;
    // Puts a count typed for its day back, the tab built and that day chosen.
    void restoreCount(const CountOfDay &typed);

signals:
    // Something a crash would lose changed.
    void changed();

private:
    void show();
    void build();
    void read();
    // The chosen day, and `typed` in its count fields, or its last count.
    void showCountOf(const QDate &date, const CashCount *typed);
    void chooseDay(int index);
    void refreshCash();
    void printDayStatement();
    void printSeasonStatement();
    void openJournal();

    const MainWindowForm &form;
    QWidget *window;
    bool built = false;
    DayPage page{};
    QList<Sheet> sheets;
    QList<CashRecord> records;
    // Why the journal or the cash book cannot be read; empty when they can.
    QString problem;
    // The chosen day's count as its book holds it: typing beyond it is
    // what closing would lose.
    CashCount countShown;
};

} // namespace day
