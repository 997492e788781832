#pragma once

#include "journal/journal.h"
#include "report/dayfigures.h"

#include <QObject>

#include <optional>

class QWidget;
struct MainWindowForm;

namespace prizes {
class PrizeList;
}

// "Imprimer" and the crest: the prize sheet of the figures shown, asked
// about first when its category already has a sheet today and when the list
// no longer fits the figures, recorded in the journal once printed; and the
// choice of the crest's file.
class SheetPrinter : public QObject
{
    Q_OBJECT

public:
    SheetPrinter(const MainWindowForm &form, prizes::PrizeList &list, QWidget *window);

    // "Imprimer".
    void print();
    // "...": the crest's file, chosen in a dialog.
    void chooseCrest();

    // The shoot whose sheet shows the list as it stands: printing it again
    // corrects that sheet without a question. None once the list is another.
    const std::optional<journal::Shoot> &printedAs() const { return listPrintedAs; }
    void setPrintedAs(const std::optional<journal::Shoot> &shoot) { listPrintedAs = shoot; }

private:
    // Everything a print needs, read from the widgets at once.
    DayFigures dayFigures() const;
    // A new shoot, or the one the sheet corrects: asked when the category
    // already has a sheet today. False when the treasurer cancels.
    bool chooseShoot(const QString &category, std::optional<journal::Shoot> *replacing);
    // Prints the sheet of `day`, opens it and records it in the journal.
    // `listModified`: the list is another one than "Calculer" makes from
    // the printed figures (typed into, or printed as it stood).
    void printSheet(const DayFigures &day, bool listModified, const std::optional<journal::Shoot> &replacing);

    const MainWindowForm &form;
    prizes::PrizeList &list;
    QWidget *window;
    std::optional<journal::Shoot> listPrintedAs;
};
