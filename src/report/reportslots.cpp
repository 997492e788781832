#include "app/mainwindow.h"

#include "form/mainwindowform.h"
#include "journal/journal.h"
#include "journal/journalfile.h"
#include "prizes/listcheck.h"
#include "prizes/totals.h"
#include "report/printing.h"
#include "report/sheet.h"

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

namespace {

// `list`: what "Calculer" makes from the printed figures, whatever the sheet shows.
journal::Entry journalEntry(const MainWindowForm &form, const prizes::Distribution &list, const QString &sheet,
                            bool listAsComputed)
{
    journal::Entry entry;
    entry.printed = QDateTime::currentDateTime();
    entry.category = form.comboBox->currentText();
    entry.bets = form.nbMises->value();
    entry.betPrice = form.tarifMise->value();
    entry.costPercent = form.pourcentFrais->value();
    entry.blacksPaid = form.nbNoirsPayes->value();
    entry.blackPrice = form.tarifNoir->value();
    const prizes::Totals totals =
        prizes::computeTotals(entry.bets, entry.blacksPaid, entry.betPrice, entry.blackPrice, entry.costPercent);
    entry.receipts = totals.receipts;
    entry.costs = totals.costs;
    entry.blacks = totals.blacks;
    entry.pool = totals.pool;
    entry.mainPrizes = list.total;
    entry.minimumGains = qint64(list.minimumGain) * list.count;
    entry.leftover = list.leftover;
    entry.listModified = !listAsComputed;
    entry.sheet = sheet;
    return entry;
}

} // namespace

// A sheet must never put a sum above a list that shares out another: when
// the list is not what "Calculer" makes from the figures shown, ask first.
void MainWindow::on_commandLinkButton_3_clicked()
{
    const bool typed = form->TextGain->document()->isModified();
    const QString mismatch = prizes::listMismatch(listComputedFor, prizeFigures(), typed);
    if (mismatch.isEmpty()) {
        printSheetFile(!typed);
        return;
    }
    QMessageBox box(this);
    box.setIcon(QMessageBox::Warning);
    box.setText(QStringLiteral("La liste des prix ne correspond plus au bilan."));
    box.setInformativeText(mismatch);
    QPushButton *recalculate = box.addButton(QStringLiteral("Recalculer et imprimer"), QMessageBox::AcceptRole);
    QPushButton *asItStands = box.addButton(QStringLiteral("Imprimer tel quel"), QMessageBox::AcceptRole);
    box.setEscapeButton(box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole));
    box.setDefaultButton(recalculate);
    box.exec();
    if (box.clickedButton() == recalculate) {
        on_commandLinkButton_clicked();
        printSheetFile(true);
    } else if (box.clickedButton() == asItStands) {
        printSheetFile(false);
    }
}

void MainWindow::printSheetFile(bool listAsComputed)
{
    SheetContent content;
    content.crestPath = form->blasonPrint->text();
    content.category = form->comboBox->currentText();
    content.poolText = form->sommePrix->text();
    content.bets = form->nbMises->value();
    content.blacksPaid = form->nbNoirsPayes->value();
    content.prizeListHtml = form->TextGain->document()->toHtml();
    const QString fileName = sheetFileName(content.category);

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool printed = printSheet(*form->TextGain->document(), sheetHtml(content), fileName, &error);
    QGuiApplication::restoreOverrideCursor();

    const QString where = QDir::current().absoluteFilePath(fileName);
    if (!printed) {
        // Opening whatever old file is there would pass a stale sheet off as today's.
        warn(QStringLiteral("Erreur lors de la création du fichier PDF !"), where + QLatin1Char('\n') + error);
        return;
    }
    // The sheet is printed whatever becomes of the journal: it is opened
    // before any word about the journal.
    QString journalError;
    const QString journalName = journal::journalFileName();
    const bool recorded = journal::recordInJournal(
        journalName, journalEntry(*form, prizes::distribute(prizeFigures()), fileName, listAsComputed), &journalError);
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
