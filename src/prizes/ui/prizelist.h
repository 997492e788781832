#pragma once

#include "prizes/computedlist.h"

#include <QObject>

#include <optional>

class QWidget;
struct MainWindowForm;

namespace prizes {

// The prize list of "Calcul": the totals that follow the counts and the
// tariffs, "Calculer" with its question, and what the list in "Gain" is: the
// figures "Calculer" made it for, and whether a sheet shows its typing.
class PrizeList : public QObject
{
    Q_OBJECT

public:
    PrizeList(const MainWindowForm &form, QWidget *window);

    // The four totals of the "Bilan", from the counts and the tariffs.
    void refreshTotals();
    // "Calculer": asks first when that would replace typing no sheet shows.
    void calculateAsked();
    // "Calculer" itself, once nothing typed is at stake.
    void calculate();

    // What "Calculer" shares out of `pool`, with the prizes as set.
    PrizeFigures figures(int pool) const;
    // The last "Calculer": the figures the list was made for, what it pays.
    const std::optional<ComputedList> &computed() const { return lastComputed; }

    // Typing in the list since the last "Calculer" that no sheet showed.
    bool holdsUnprintedTyping() const;
    // Whether a sheet shows the list as it stands.
    bool typingPrinted() const;
    // A sheet now shows the list as it stands.
    void markPrinted();

    // Puts a kept list back: `html` as the window gave it, the figures it
    // was computed for (none: typed by hand), typed into since, and that
    // typing on a sheet.
    void restore(const QString &html, const std::optional<PrizeFigures> &computedFor, bool typed, bool printed);

signals:
    // Something a crash would lose changed.
    void changed();
    // The list is another one: computed anew, or put back from kept work.
    void replaced();

private:
    const MainWindowForm &form;
    QWidget *window;
    std::optional<ComputedList> lastComputed;
    // The list's revision when a sheet last showed it.
    int printedAt = -1;
};

} // namespace prizes
