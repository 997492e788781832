#include "app/mainwindow.h"

#include "app/messagebox.h"
#include "form/mainwindowform.h"
#include "journal/journalfile.h"
#include "prizes/listcheck.h"
#include "prizes/totals.h"
#include "report/printing.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

DayFigures MainWindow::dayFigures() const
{
    DayFigures day;
    day.crestPath = form->blasonPrint->text();
    day.category = form->comboBox->currentText();
    day.bets = form->nbMises->value();
    day.blacksPaid = form->nbNoirsPayes->value();
    day.betPrice = form->tarifMise->value();
    day.blackPrice = form->tarifNoir->value();
    day.costPercent = form->pourcentFrais->value();
    const prizes::Totals shown = prizes::totalsFromTexts(
        {form->sommeEncaisse->text(), form->montantFrais->text(), form->sommeNoirs->text(), form->sommePrix->text()});
    day.totalsShown = !form->sommePrix->text().isEmpty();
    day.receipts = shown.receipts;
    day.costs = shown.costs;
    day.blacks = shown.blacks;
    day.figures = prizeFigures(shown.pool);
    return day;
}

// A sheet must never put a sum above a list that shares out another: when
// the list is not what "Calculer" makes from the figures shown, ask first.
void MainWindow::on_commandLinkButton_3_clicked()
{
    const bool typed = form->TextGain->document()->isModified();
    // Names typed beside a computed list keep it; all its text deleted, no
    // list is left for the sheet or the journal.
    const bool emptied = computed && form->TextGain->toPlainText().trimmed().isEmpty();
    const DayFigures day = dayFigures();
    const QString mismatch = prizes::listMismatch(computed ? std::optional(computed->figures) : std::nullopt,
                                                  day.figures, typed, emptied);
    if (mismatch.isEmpty()) {
        printSheetFile(day, typed);
        return;
    }
    QMessageBox box(this);
    setUpWarning(box, QStringLiteral("La liste des prix ne correspond plus au bilan."), mismatch);
    QPushButton *recalculate = box.addButton(QStringLiteral("Recalculer et imprimer"), QMessageBox::AcceptRole);
    QPushButton *asItStands = box.addButton(QStringLiteral("Imprimer tel quel"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
    // Recalculating replaces what was typed into the list: Enter keeps it.
    box.setDefaultButton(typed ? cancel : recalculate);
    box.exec();
    if (box.clickedButton() == recalculate) {
        calculate();
        printSheetFile(day, false);
    } else if (box.clickedButton() == asItStands) {
        printSheetFile(day, true);
    }
}

void MainWindow::printSheetFile(const DayFigures &day, bool listModified)
{
    QTextDocument *list = form->TextGain->document();
    const QString fileName = sheetFileName(day.category);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool printed = printSheet(*list, sheetHtml(sheetContent(day, list->toHtml())), fileName, &error);
    QGuiApplication::restoreOverrideCursor();

    const QString where = QDir::current().absoluteFilePath(fileName);
    if (!printed) {
        // Opening whatever old file is there would pass a stale sheet off as today's.
        warn(QStringLiteral("Erreur lors de la création du fichier PDF\u00a0!"), where + QLatin1Char('\n') + error);
        return;
    }
    listPrintedAt = list->revision();
    workChanged();
    // The sheet is printed whatever becomes of the journal: it is opened
    // before any word about the journal.
    QString journalError;
    const QString journalName = journal::journalFileName();
    // A list of another category, or none left, pays out nothing this row
    // can account for: its prize fields stay empty.
    std::optional<ComputedList> printedList = computed;
    if (printedList
        && (printedList->figures.category != day.category || list->toPlainText().trimmed().isEmpty()))
        printedList.reset();
    const bool recorded = journal::recordInJournal(
        journalName, journalEntry(day, printedList, listModified, QDateTime::currentDateTime()),
        &journalError);
    if (!openSheet(fileName, &error))
        warn(QStringLiteral("Le fichier PDF a été créé mais n'a pas pu être ouvert."),
             where + QLatin1Char('\n') + error);
    if (!recorded)
        warn(QStringLiteral("Le journal n'a pas pu être mis à jour."),
             QDir::current().absoluteFilePath(journalName) + QLatin1Char('\n') + journalError);
}

void MainWindow::on_pushButton_clicked()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Blason à utiliser"), form->blasonPrint->text(),
                                                      QStringLiteral("*.png *.jpg *.gif *.jpeg *.bmp"));
    if (!path.isEmpty())
        form->blasonPrint->setText(path);
}
