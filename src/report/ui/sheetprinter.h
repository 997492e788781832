#pragma once

#include "report/dayfigures.h"

#include <QObject>

class QWidget;
struct MainWindowForm;

namespace prizes {
class PrizeList;
}

// "Imprimer" and the crest: the prize sheet of the figures shown, asked
// about first when the list no longer fits them, recorded in the journal
// once printed; and the choice of the crest's file.
class SheetPrinter : public QObject
{
    Q_OBJECT

public:
    SheetPrinter(const MainWindowForm &form, prizes::PrizeList &list, QWidget *window);

    // "Imprimer".
    void print();
    // "...": the crest's file, chosen in a dialog.
    void chooseCrest();

private:
    // Everything a print needs, read from the widgets at once.
    DayFigures dayFigures() const;
    // Prints the sheet of `day`, opens it and records it in the journal.
    // `listModified`: the list is another one than "Calculer" makes from
    // the printed figures (typed into, or printed as it stood).
    void printSheet(const DayFigures &day, bool listModified);

    const MainWindowForm &form;
    prizes::PrizeList &list;
    QWidget *window;
};
