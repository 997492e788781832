#include "report/ui/sheetprinter.h"

#include "form/mainwindowform.h"
#include "form/messagebox.h"
#include "journal/journalfile.h"
#include "prizes/listcheck.h"
#include "prizes/totals.h"
#include "prizes/ui/prizelist.h"
#include "report/ui/printing.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

SheetPrinter::SheetPrinter(const MainWindowForm &form, prizes::PrizeList &list, QWidget *window)
    : QObject(window), form(form), list(list), window(window)
{
}

DayFigures SheetPrinter::dayFigures() const
{
    DayFigures day;
    day.crestPath = form.blasonPrint->text();
    day.category = form.comboBox->currentText();
    day.bets = form.nbMises->value();
    day.blacksPaid = form.nbNoirsPayes->value();
    day.betPrice = form.tarifMise->value();
    day.blackPrice = form.tarifNoir->value();
    day.costPercent = form.pourcentFrais->value();
    const prizes::Totals shown = prizes::totalsFromTexts(
        {form.sommeEncaisse->text(), form.montantFrais->text(), form.sommeNoirs->text(), form.sommePrix->text()});
    day.totalsShown = !form.sommePrix->text().isEmpty();
    day.receipts = shown.receipts;
    day.costs = shown.costs;
    day.blacks = shown.blacks;
    day.figures = list.figures(shown.pool);
    return day;
}

// A sheet must never put a sum above a list that shares out another: when
// the list is not what "Calculer" makes from the figures shown, ask first.
void SheetPrinter::print()
{
    const bool typed = form.TextGain->document()->isModified();
    const std::optional<prizes::ComputedList> &computed = list.computed();
    // Names typed beside a computed list keep it; all its text deleted, no
    // list is left for the sheet or the journal.
    const bool emptied = computed && form.TextGain->toPlainText().trimmed().isEmpty();
    const DayFigures day = dayFigures();
    const QString mismatch = prizes::listMismatch(computed ? std::optional(computed->figures) : std::nullopt,
                                                  day.figures, typed, emptied);
    if (mismatch.isEmpty()) {
        printSheet(day, typed);
        return;
    }
    QMessageBox box(window);
    setUpWarning(box, QStringLiteral("La liste des prix ne correspond plus au bilan."), mismatch);
    QPushButton *recalculate = box.addButton(QStringLiteral("Recalculer et imprimer"), QMessageBox::AcceptRole);
    QPushButton *asItStands = box.addButton(QStringLiteral("Imprimer tel quel"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
    // Recalculating replaces what was typed into the list: Enter keeps it.
    box.setDefaultButton(typed ? cancel : recalculate);
    box.exec();
    if (box.clickedButton() == recalculate) {
        list.calculate();
        printSheet(day, false);
    } else if (box.clickedButton() == asItStands) {
        printSheet(day, true);
    }
}

void SheetPrinter::printSheet(const DayFigures &day, bool listModified)
{
    const QTextDocument &document = *form.TextGain->document();
    const QString fileName = sheetFileName(day.category);
    if (!printFile(window, document, sheetHtml(sheetContent(day, document.toHtml())), fileName))
        return;
    list.markPrinted();
    // The sheet is printed whatever becomes of the journal: it is opened
    // before any word about the journal.
    QString journalError;
    const QString journalName = journal::journalFileName();
    // A list of another category, or none left, pays out nothing this row
    // can account for: its prize fields stay empty.
    std::optional<prizes::ComputedList> printedList = list.computed();
    if (printedList
        && (printedList->figures.category != day.category || document.toPlainText().trimmed().isEmpty()))
        printedList.reset();
    const bool recorded = journal::recordInJournal(
        journalName, journalEntry(day, printedList, listModified, QDateTime::currentDateTime()), &journalError);
    openPrinted(window, fileName);
    if (!recorded)
        warnAboutFile(window, QStringLiteral("Le journal n'a pas pu être mis à jour."), journalName, journalError);
}

void SheetPrinter::chooseCrest()
{
    // In the window's words, as the form's own texts.
    const QString caption = QCoreApplication::translate("MainWindow", "Blason à utiliser");
    const QString path = QFileDialog::getOpenFileName(window, caption, form.blasonPrint->text(),
                                                      QStringLiteral("*.png *.jpg *.gif *.jpeg *.bmp"));
    if (!path.isEmpty())
        form.blasonPrint->setText(path);
}
