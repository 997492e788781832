#pragma once

#include "day/cash.h"
#include "day/statement.h"
#include "day/typedprizes.h"
#include "day/ui/daypage.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <optional>

class QWidget;
struct MainWindowForm;

namespace day {

// The "Journée" tab: built when first shown, it reads the journal, the cash
// book and the prizes typed for hand-typed lists whenever they changed, keeps
// the count typed for the chosen day, and prints the day's and the season's
// statements, asking first where the count does not make sense.
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
    // The chosen day, and `typed` in its count fields, or the count it starts from.
    void showCountOf(const QDate &date, const CashCount *typed);
    void showStarting(const CashCount &count);
    void chooseDay(int index);
    void refreshCash();
    // True to print: the treasurer was asked where the count looks wrong.
    bool countMakesSense();
    void printDayStatement();
    void printSeasonStatement();
    void openJournal();
    void keepTypedPrizes(const Sheet &sheet, Cents prizes);
    Heading heading() const;

    // What a file was when it was last read: read again only once changed.
    struct Stamp
    {
        qint64 size = -1; // -1: missing
        QDateTime modified;
        QDateTime changed;
        friend bool operator==(const Stamp &a, const Stamp &b)
        {
            return a.size == b.size && a.modified == b.modified && a.changed == b.changed;
        }
    };
    static Stamp stampOf(const QString &fileName);

    const MainWindowForm &form;
    QWidget *window;
    bool built = false;
    DayPage page{};
    QList<Sheet> sheets; // the journal's, with the prizes typed for hand-typed lists
    QList<CashRecord> records;
    QList<TypedPrizes> typedPrizes;
    // Stamps of the files as last read; none: not read, or refused.
    std::optional<Stamp> journalRead, cashBookRead, typedRead;
    QString journalError, cashError, typedError;
    // Why a file cannot be read; empty when all can.
    QString problem;
    // The chosen day's count as its book holds it (or as it starts): typing
    // beyond it is what closing would lose.
    CashCount countShown;
    // The difference the reason was typed for: another one asks before printing.
    std::optional<Cents> reasonTypedFor;
};

} // namespace day
